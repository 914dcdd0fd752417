// The File and Shape menus in the running editor: saving and opening .x and .3ds files,
// the questions asked before a file is replaced or changes are lost, merging, saves that
// cannot be written, the shape library, and the real files of other programs.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/shell.h"
#include "platform/rm/file_replace.h"
#include "tests/app/pointer_scenario.h"

namespace {

namespace fs = std::filesystem;

constexpr int kNew = 201, kOpen = 202, kSave = 203, kSaveAs = 204, kMerge = 228;

class Documents : public PointerScenario {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("facetry-documents-" + std::to_string(getpid()));
    fs::create_directories(dir);
    PointerScenario::SetUp();
  }
  void TearDown() override {
    PointerScenario::TearDown();
    fs::remove_all(dir);
  }
  void Run(int command) {
    app.PostCommand(command);
    ASSERT_TRUE(app.Turn());
  }
  std::string Path(const char* name) const { return (dir / name).string(); }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // The points' positions, sorted, so files that list them in another order compare.
  static std::vector<std::tuple<float, float, float>> Positions() {
    std::vector<std::tuple<float, float, float>> out;
    for (int i = 0; i < polygoner.num_points; ++i) {
      const D3DVECTOR& p = polygoner.pointdata[i].point;
      out.emplace_back(p.x, p.y, p.z);
    }
    std::sort(out.begin(), out.end());
    return out;
  }
  static void ExpectNear(const std::vector<std::tuple<float, float, float>>& a,
                         const std::vector<std::tuple<float, float, float>>& b, const std::string& what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    for (size_t i = 0; i < a.size(); ++i) {
      EXPECT_NEAR(std::get<0>(a[i]), std::get<0>(b[i]), 1e-4) << what << " " << i;
      EXPECT_NEAR(std::get<1>(a[i]), std::get<1>(b[i]), 1e-4) << what << " " << i;
      EXPECT_NEAR(std::get<2>(a[i]), std::get<2>(b[i]), 1e-4) << what << " " << i;
    }
  }
  static void ExpectSound(const std::string& after) {
    const auto violation = polygoner.CheckInvariants();
    EXPECT_FALSE(violation.has_value()) << after << ": " << *violation;
  }
  // Whether a message box said `text` (the program's messages end in a line break).
  bool Told(const std::string& text) const {
    for (const RecordedBox& box : app.boxes)
      if (box.text == text || box.text == text + "\r\n") return true;
    return false;
  }

  fs::path dir;
};

TEST_F(Documents, SavedFilesOpenAsTheSameMeshInBothFormats) {
  DrawTriangle();
  const auto drawn = Positions();
  for (const char* name : {"mesh.x", "mesh.3ds"}) {
    app.files = {Path(name)};
    Run(kSaveAs);
    ASSERT_TRUE(fs::exists(Path(name))) << name;
    EXPECT_FALSE(polygoner.changed) << name;
    EXPECT_EQ(app.Title(), "Facetry -  " + Path(name));
  }
  EXPECT_EQ(Bytes(Path("mesh.3ds")).substr(0, 2), "MM") << "a 3DS file, not an .x one";

  for (const char* name : {"mesh.x", "mesh.3ds"}) {
    Run(kNew);
    ASSERT_EQ(polygoner.num_points, 0) << name;
    app.files = {Path(name)};
    Run(kOpen);
    EXPECT_EQ(polygoner.num_faces, 1) << name;
    EXPECT_EQ(polygoner.num_wireframes, 3) << name;
    ExpectNear(Positions(), drawn, name);
    EXPECT_EQ(app.StatusText(0), "Ready");
    ExpectSound(name);
  }
  ASSERT_EQ(app.file_dialogs.size(), 4u);
  EXPECT_TRUE(app.file_dialogs[0].save);
  EXPECT_EQ(app.file_dialogs[0].filter_first_description, "DirectX");
  EXPECT_EQ(app.file_dialogs[0].def_ext, "X");
  EXPECT_FALSE(app.file_dialogs[2].save);
}

// facetry FILE: the file opens as File > Open opens it, named by its full path; a file
// that cannot be read gives Open's message and leaves an empty, untitled document.
TEST_F(Documents, AFileNamedOnTheCommandLineOpensAsOpenDoes) {
  DrawTriangle();
  const auto drawn = Positions();
  app.files = {Path("named.3ds")};
  Run(kSaveAs);
  Run(kNew);
  ASSERT_EQ(polygoner.num_points, 0);

  // Named relative to the working directory, as a shell passes it.
  const fs::path cwd = fs::current_path();
  fs::current_path(dir);
  polygoner.OpenNamed(app.main(), "named.3ds");
  fs::current_path(cwd);
  EXPECT_TRUE(app.boxes.empty()) << app.boxes.front().text;
  EXPECT_EQ(polygoner.num_faces, 1);
  ExpectNear(Positions(), drawn, "named.3ds");
  EXPECT_STREQ(polygoner.sztitlename, Path("named.3ds").c_str());
  EXPECT_EQ(app.Title(), "Facetry -  " + Path("named.3ds"));
  EXPECT_EQ(app.file_dialogs.size(), 1u) << "no dialog besides the Save As";
  ExpectSound("named");

  Run(kNew);
  std::ofstream(Path("broken.x")) << "not a mesh";
  polygoner.OpenNamed(app.main(), Path("broken.x").c_str());
  EXPECT_TRUE(Told("Could not open File"));
  EXPECT_EQ(polygoner.num_points, 0);
  EXPECT_STREQ(polygoner.sztitlename, "UNTITLED") << "Save must not write over the refused file";
}

TEST_F(Documents, ReplacingAFileAsksFirstAndCancelLeavesItAlone) {
  DrawTriangle();
  const std::string target = Path("old.3ds");
  std::ofstream(target) << "keep me";

  app.drive = [](HWND dialog) { EXPECT_TRUE(ClickDlgButton(dialog, IDCANCEL)); };
  app.files = {target};
  Run(kSaveAs);
  EXPECT_EQ(app.dialogs, std::vector<std::string>{"Replace File"});
  EXPECT_EQ(Bytes(target), "keep me");
  EXPECT_TRUE(polygoner.changed);
  EXPECT_STREQ(polygoner.sztitlename, "UNTITLED") << "the document keeps its name";

  // Save on an untitled document asks for a name first; YES replaces.
  app.drive = [](HWND dialog) { EXPECT_TRUE(ClickDlgButton(dialog, IDOK)); };
  app.files = {target};
  Run(kSave);
  EXPECT_EQ(Bytes(target).substr(0, 2), "MM");
  EXPECT_FALSE(polygoner.changed);
  // A plain Save of a named document writes without asking.
  app.dialogs.clear();
  polygoner.changed = true;
  Run(kSave);
  EXPECT_TRUE(app.dialogs.empty());
  EXPECT_FALSE(polygoner.changed);
}

TEST_F(Documents, ASaveThatCannotBeWrittenChangesNothingOnDisk) {
  DrawTriangle();
  // A directory where the file should go, and a file in a directory that does not exist.
  fs::create_directories(Path("taken.3ds"));
  app.drive = [](HWND dialog) { EXPECT_TRUE(ClickDlgButton(dialog, IDOK)); };
  app.files = {Path("taken.3ds")};
  Run(kSaveAs);
  EXPECT_TRUE(Told("THE FILE IS NULL"));
  EXPECT_TRUE(fs::is_directory(Path("taken.3ds")));

  app.files = {Path("missing/mesh.x")};
  Run(kSaveAs);
  EXPECT_TRUE(Told("Save failed"));
  EXPECT_FALSE(fs::exists(Path("missing")));
  EXPECT_TRUE(polygoner.changed) << "the changes are still unsaved";
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "no stray temporary file";

  // Saves over files already there that meet a read-only folder, a full disk part-way or a
  // refused rename: each says so, and the old file stays byte for byte.
  app.drive = [](HWND dialog) { EXPECT_TRUE(ClickDlgButton(dialog, IDOK)); };
  for (const char* name : {"kept.x", "kept.3ds"}) {
    app.files = {Path(name)};
    Run(kSaveAs);
    const std::string saved = Bytes(Path(name));
    ASSERT_FALSE(saved.empty()) << name;
    SaveFaults cannot_create, disk_full, rename_refused;
    cannot_create.cannot_create = true;
    disk_full.disk_full_after = saved.size() / 2;
    rename_refused.rename_refused = true;
    for (const SaveFaults& fault : {cannot_create, disk_full, rename_refused}) {
      app.boxes.clear();
      SetSaveFaults(fault);
      polygoner.changed = true;
      Run(kSave);
      SetSaveFaults({});
      EXPECT_TRUE(Told(std::string(name).ends_with(".x") ? "Save failed" : "THE FILE IS NULL")) << name;
      EXPECT_EQ(Bytes(Path(name)), saved) << name;
      EXPECT_TRUE(polygoner.changed) << name;
    }
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3) << "no stray temporary file";
}

TEST_F(Documents, MergeAddsTheFileSelectedAndKeepsTheDocumentsName) {
  DrawTriangle();
  app.files = {Path("part.3ds")};
  Run(kSaveAs);
  app.files = {Path("part.3ds")};
  Run(kMerge);
  EXPECT_EQ(polygoner.num_faces, 2);
  EXPECT_EQ(polygoner.num_points, 6) << "a merged file's points are its own";
  int active = 0;
  for (int i = 0; i < polygoner.num_points; ++i) active += polygoner.pointdata[i].active;
  EXPECT_EQ(active, 3) << "the merged part is selected, ready to move";
  EXPECT_EQ(app.Title(), "Facetry -  " + Path("part.3ds"));
  EXPECT_TRUE(polygoner.changed) << "the merge is unsaved";
  ExpectSound("merge");
}

TEST_F(Documents, ShapeMenuMergesTheChosenPrimitiveScaledAboutItsCentre) {
  app.drive = [](HWND dialog) {
    EXPECT_TRUE(SelectDlgComboItem(dialog, 101, "Sphere"));
    EXPECT_TRUE(SelectDlgListItem(dialog, 102, "8"));
    EXPECT_TRUE(ClickDlgButton(dialog, IDOK));
  };
  Run(280);
  EXPECT_EQ(app.dialogs, std::vector<std::string>{"Create Shape"});
  EXPECT_EQ(polygoner.shape, 1);
  // Eight segments, four rings: 8 + 8 triangles at the poles and 2 x 8 quads between.
  ASSERT_EQ(polygoner.num_faces, 48);
  EXPECT_EQ(polygoner.num_points, 26);
  // A sphere one unit across, scaled by 0.5 x 5 + 1 on every axis.
  float lo = 1e9f, hi = -1e9f;
  for (int i = 0; i < polygoner.num_points; ++i) {
    lo = std::min(lo, polygoner.pointdata[i].point.x);
    hi = std::max(hi, polygoner.pointdata[i].point.x);
  }
  EXPECT_NEAR(hi - lo, 3.5f, 1e-3);
  ExpectSound("shape");
}

TEST_F(Documents, EverySampleFileOpensOrIsRefusedWithTheMeshLeftAsItWas) {
  DrawTriangle();
  // Nothing to save: every Open goes straight to the file.
  polygoner.changed = false;
  for (const char* folder : {"x", "3ds"}) {
    for (const auto& entry : fs::directory_iterator(fs::path(FACETRY_SAMPLES_DIR) / folder)) {
      const std::string name = entry.path().filename().string();
      const int faces_before = polygoner.num_faces;
      app.boxes.clear();
      app.files = {entry.path().string()};
      Run(kOpen);
      if (Told("Could not open File")) {
        EXPECT_EQ(polygoner.num_faces, faces_before) << name << " was refused, yet the mesh changed";
      } else {
        EXPECT_GT(polygoner.num_faces, 0) << name;
        EXPECT_TRUE(app.boxes.empty()) << name << ": " << app.boxes[0].text;
      }
      ExpectSound(name);
    }
  }
}

TEST_F(Documents, ClosingWithChangesAndYesSavesAndStaysOpen) {
  DrawTriangle();
  app.answers = {IDYES};
  app.files = {Path("closing.x")};
  app.Send(app.main(), WM_CLOSE, 0, 0);
  ASSERT_EQ(app.boxes.size(), 1u);
  EXPECT_EQ(app.boxes[0].text, "Save current changes in UNTITLED?");
  EXPECT_TRUE(fs::exists(Path("closing.x")));
  EXPECT_FALSE(myglobs.bQuit);
  EXPECT_TRUE(app.Turn()) << "still running";
}

}  // namespace
