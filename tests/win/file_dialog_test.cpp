// The file dialogs answered through the responder: what the request gets back on success,
// on cancel and on failure, and how Qt's dialog would show a request.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <memory>
#include <optional>
#include <string>

#include "platform/win/qt_access.h"
#include "platform/win/win.h"

namespace {

constexpr char kFilter[] = "DirectX\0*.X\0_3D Studio\0*.3DS;*.prj\0\0";

class FileDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    request = OPENFILENAMEA();
    request.lpstrFilter = kFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = file;
    request.nMaxFile = sizeof file;
    request.lpstrFileTitle = title;
    request.nMaxFileTitle = sizeof title;
    std::strcpy(file, "/home/u/old.x");
  }
  void TearDown() override { SetModalResponder({}); }

  // Answers with `path`; records what the responder saw.
  BOOL Answer(bool save, std::optional<std::string> path) {
    ModalResponder responder;
    responder.answer_file = [&, path](bool asked_save, const OPENFILENAMEA& asked) {
      seen_save = asked_save;
      seen_file = asked.lpstrFile;
      return path;
    };
    SetModalResponder(responder);
    return save ? GetSaveFileNameA(&request) : GetOpenFileNameA(&request);
  }

  OPENFILENAMEA request;
  char file[64] = {};
  char title[8] = {};
  bool seen_save = false;
  std::string seen_file;
};

TEST_F(FileDialogTest, AChosenFileFillsPathNameOffsetsAndTheFilterThatTakesIt) {
  ASSERT_TRUE(Answer(false, "/home/u/Scenes/Cube.3ds"));
  EXPECT_FALSE(seen_save);
  EXPECT_EQ(seen_file, "/home/u/old.x");  // the responder sees the request as made
  EXPECT_STREQ(file, "/home/u/Scenes/Cube.3ds");
  EXPECT_STREQ(title, "Cube.3d");  // cut to nMaxFileTitle
  EXPECT_EQ(request.nFileOffset, 15);
  EXPECT_EQ(request.nFileExtension, 20);
  EXPECT_EQ(request.nFilterIndex, 2u);  // *.3DS takes .3ds
  EXPECT_EQ(CommDlgExtendedError(), 0u);

  request.nFilterIndex = 2;
  ASSERT_TRUE(Answer(true, "plain"));  // no filter takes it: the offered one stays
  EXPECT_TRUE(seen_save);
  EXPECT_EQ(request.nFilterIndex, 2u);
  EXPECT_EQ(request.nFileOffset, 0);
  EXPECT_EQ(request.nFileExtension, 0);
}

TEST_F(FileDialogTest, TheDefaultExtensionGoesOnlyOnNamesWithoutOne) {
  request.lpstrDefExt = "X";
  struct Row {
    const char* chosen;
    const char* path;
    WORD extension;
  };
  for (const Row& row : {Row{"/tmp/a", "/tmp/a.X", 7}, Row{"/tmp/a.b/c", "/tmp/a.b/c.X", 11},
                         Row{"/tmp/a.3ds", "/tmp/a.3ds", 7}, Row{"/tmp/a.", "/tmp/a.", 7}}) {
    ASSERT_TRUE(Answer(true, row.chosen)) << row.chosen;
    EXPECT_STREQ(file, row.path);
    EXPECT_EQ(request.nFileExtension, row.extension) << row.chosen;
  }
}

TEST_F(FileDialogTest, CancelIsNoErrorButBadRequestsNamesAndShortBuffersAre) {
  EXPECT_FALSE(Answer(true, std::nullopt));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_STREQ(file, "/home/u/old.x");
  for (const char* empty : {"", "/tmp/"}) {
    EXPECT_FALSE(Answer(true, empty));
    EXPECT_EQ(CommDlgExtendedError(), FNERR_INVALIDFILENAME);
  }
  // 16 characters and the terminator: a byte short fails and the first two bytes tell the
  // size needed; a fit succeeds and clears the error.
  request.nMaxFile = 16;
  EXPECT_FALSE(Answer(false, "/tmp/long-name.x"));
  EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
  EXPECT_EQ(static_cast<unsigned char>(file[0]) | static_cast<unsigned char>(file[1]) << 8, 17);
  std::strcpy(file, "a.x");
  request.nMaxFile = 17;
  EXPECT_TRUE(Answer(false, "/tmp/long-name.x"));
  EXPECT_EQ(CommDlgExtendedError(), 0u);

  seen_file = "unasked";
  request.nMaxFile = 2;  // the initial path is not terminated inside the buffer
  EXPECT_FALSE(Answer(false, "/tmp/a.x"));
  EXPECT_EQ(CommDlgExtendedError(), FNERR_INVALIDFILENAME);
  EXPECT_EQ(seen_file, "unasked");
  request.lStructSize = 0;
  EXPECT_FALSE(Answer(false, "/tmp/a.x"));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
  EXPECT_FALSE(GetOpenFileNameA(nullptr));

  // Headless with nobody to answer: cancelled, and said so.
  SetUp();
  SetModalResponder({});
  testing::internal::CaptureStderr();
  EXPECT_FALSE(GetSaveFileNameA(&request));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Save As: save-file dialog cancelled, nobody to answer it\n");
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

TEST_F(FileDialogTest, QtsDialogShowsTheRequestAndLeavesOverwritingToTheProgram) {
  const std::string folder = QDir::tempPath().toStdString();
  std::snprintf(file, sizeof file, "%s/scene.x", folder.c_str());
  request.nFilterIndex = 2;
  request.lpstrDefExt = "3DS";
  std::unique_ptr<QFileDialog> save(MakeFileDialog(true, request));
  EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_TRUE(save->testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(save->nameFilters(), QStringList({"DirectX (*.X)", "_3D Studio (*.3DS *.prj)"}));
  EXPECT_EQ(save->selectedNameFilter(), "_3D Studio (*.3DS *.prj)");
  EXPECT_EQ(save->defaultSuffix(), "3DS");
  EXPECT_EQ(save->directory().absolutePath(), QDir(QDir::tempPath()).absolutePath());
  EXPECT_FALSE(save->filter() & QDir::CaseSensitive);
  EXPECT_EQ(save->windowTitle(), "Save As");

  request.Flags = OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST;
  request.lpstrTitle = "Merge";
  std::unique_ptr<QFileDialog> open(MakeFileDialog(false, request));
  EXPECT_EQ(open->acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
  EXPECT_FALSE(open->testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(open->windowTitle(), "Merge");
}

}  // namespace
