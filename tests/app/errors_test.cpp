#include "app/errors.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct Box {
  std::string caption;
  std::string text;
};

// Captures every box Msg shows; restores the default sink afterwards.
class MsgCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMsgSink([this](const std::string& caption, const std::string& text) { boxes.push_back({caption, text}); });
  }
  void TearDown() override { SetMsgSink(nullptr); }
  std::vector<Box> boxes;
};

HRESULT Dd(uint32_t n) { return static_cast<HRESULT>(0x88760000u + n); }

TEST(ErrorToString, KnownCodesGiveTheirTexts) {
  const std::pair<HRESULT, std::string> cases[] = {
      {0, "No error."},
      {Dd(787), "The file was not found."},
      {Dd(788), "D3DRMERR_BADFILE"},
      {Dd(727), "D3DERR_TEXTURELOCKED"},
      {Dd(728), "D3DERR_TEXTURE_NOT_LOCKED"},
      {DDERR_UNSUPPORTED, "Action not supported."},
      {DDERR_GENERIC, "Generic failure."},
      {DDERR_INVALIDPARAMS, "One or more of the parameters passed to the function are incorrect."},
      {Dd(5), "This object is already initialized."},
      {Dd(589), "The surface being used is not a palette-based surface."},
      {Dd(700), "D3DERR_BADMAJORVERSION"},
      {Dd(793), "D3DRMERR_UNABLETOEXECUTE"},
      {Dd(180), "Operation could not be carried out because there is no alpha accleration hardware present or "
                "available."},
      {Dd(584), "Surface was not locked.  An attempt to unlock a surface that was not locked at all, or by this "
                "process, has been attempted."},
      {Dd(215), "Surface doesn't currently have a color key"},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(D3DRMErrorToString(code), text) << std::hex << code;
}

TEST(ErrorToString, CodesAsWrittenByTheHeaderAgree) {
  EXPECT_STREQ(D3DRMErrorToString(static_cast<HRESULT>(0x88760313u)), "The file was not found.");
  EXPECT_STREQ(D3DRMErrorToString(static_cast<HRESULT>(0x88760314u)), "D3DRMERR_BADFILE");
  EXPECT_STREQ(D3DRMErrorToString(D3DRMERR_FILENOTFOUND), "The file was not found.");
  EXPECT_STREQ(D3DRMErrorToString(D3DRMERR_BADOBJECT), "D3DRMERR_BADOBJECT");
}

TEST(ErrorToString, SharedTextForVideoAndSystemMemory) {
  EXPECT_STREQ(D3DRMErrorToString(Dd(380)), D3DRMErrorToString(DDERR_OUTOFMEMORY));
  EXPECT_STREQ(D3DRMErrorToString(Dd(380)), "DirectDraw does not have enough memory to perform the operation.");
}

TEST(ErrorToString, UnknownCodesAreUnrecognized) {
  // Neighbours of listed codes, the bare facility, and the facility numbers without it.
  for (HRESULT code : {Dd(1), Dd(0), Dd(726), Dd(794), Dd(780), 787, 1, -1, static_cast<HRESULT>(0x80004002u),
                       static_cast<HRESULT>(0x7fffffff), static_cast<HRESULT>(0xffffffffu)})
    EXPECT_STREQ(D3DRMErrorToString(code), "Unrecognized error value.") << std::hex << code;
}

TEST_F(MsgCapture, FormatsAndAppendsCarriageReturnLineFeed) {
  Msg("Failed to load %s.\n%s", "tiger.x", D3DRMErrorToString(D3DRMERR_BADFILE));
  Msg("%d faces\n", 12);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "D3DRM Example Message");
  EXPECT_EQ(boxes[0].text, "Failed to load tiger.x.\nD3DRMERR_BADFILE\r\n");
  // A format ending in a new line leaves an empty last line.
  EXPECT_EQ(boxes[1].text, "12 faces\n\r\n");
}

TEST_F(MsgCapture, LongTextsPassWhole) {
  const std::string name(1000, 'n');
  Msg("Cannot open %s", name.c_str());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Cannot open " + name + "\r\n");
  Msg("%s", "");
  EXPECT_EQ(boxes[1].text, "\r\n");
}

TEST_F(MsgCapture, GenericErrorShowsTwoBoxesInOrder) {
  generic_error();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "An error occurred while building the scene.\n\r\n");
  EXPECT_EQ(boxes[1].text, "returned with an error\r\n");
  EXPECT_EQ(boxes[1].caption, "D3DRM Example Message");
}

TEST(MsgDefaultSink, WritesToStandardError) {
  SetMsgSink([](const std::string&, const std::string&) { FAIL() << "replaced sink still installed"; });
  SetMsgSink(nullptr);
  ::testing::internal::CaptureStderr();
  Msg("disk %d full", 3);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("D3DRM Example Message"), std::string::npos);
  EXPECT_NE(err.find("disk 3 full\r\n"), std::string::npos);
}

}  // namespace
