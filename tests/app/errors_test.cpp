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

// Codes written as the headers write them, as offsets in the facility, and shared texts.
TEST(ErrorToString, KnownCodesGiveTheirTexts) {
  const char* out_of_memory = "DirectDraw does not have enough memory to perform the operation.";
  const std::pair<HRESULT, std::string> cases[] = {
      {0, "No error."},
      {Dd(787), "The file was not found."},
      {D3DRMERR_FILENOTFOUND, "The file was not found."},
      {static_cast<HRESULT>(0x88760314u), "D3DRMERR_BADFILE"},
      {D3DRMERR_BADOBJECT, "D3DRMERR_BADOBJECT"},
      {Dd(727), "D3DERR_TEXTURELOCKED"},
      {Dd(728), "D3DERR_TEXTURE_NOT_LOCKED"},
      {DDERR_UNSUPPORTED, "Action not supported."},
      {DDERR_INVALIDPARAMS, "One or more of the parameters passed to the function are incorrect."},
      {Dd(5), "This object is already initialized."},
      {Dd(793), "D3DRMERR_UNABLETOEXECUTE"},
      {Dd(215), "Surface doesn't currently have a color key"},
      {Dd(380), out_of_memory},
      {DDERR_OUTOFMEMORY, out_of_memory},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(D3DRMErrorToString(code), text) << std::hex << code;
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
