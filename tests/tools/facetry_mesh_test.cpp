// Runs facetry-mesh and checks what it prints and how it exits.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;  // exit status
  std::string out;  // standard output
  std::string err;  // standard error
};

std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string Slurp(const fs::path& p) {
  std::string text;
  if (FILE* f = std::fopen(p.c_str(), "rb")) {
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
    std::fclose(f);
  }
  return text;
}

class FacetryMesh : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("facetry_mesh_test_" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  ToolRun Tool(const std::string& args) {
    const fs::path err_file = dir / "stderr.txt";
    const std::string cmd = Quoted(FACETRY_MESH_BIN) + " " + args + " 2>" + Quoted(err_file);
    ToolRun r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
    const int w = pclose(p);
    r.status = WIFEXITED(w) ? WEXITSTATUS(w) : -1;
    r.err = Slurp(err_file);
    return r;
  }

  static std::string Sample(const char* name) {
    const fs::path p = fs::path(FACETRY_SAMPLES_DIR) / "x" / name;
    return fs::exists(p) ? p.string() : std::string();
  }
  static std::string Sample3ds(const char* name) {
    const fs::path p = fs::path(FACETRY_SAMPLES_DIR) / "3ds" / name;
    return fs::exists(p) ? p.string() : std::string();
  }
  // The info lines before the box.
  static std::string Counts(const std::string& info) { return info.substr(0, info.find("bbox:")); }
  static std::string Box(const std::string& info) {
    const size_t at = info.find("bbox:");
    return at == std::string::npos ? std::string() : info.substr(at);
  }

  fs::path dir;
};

#define REQUIRE_SAMPLE(var, name)                           \
  const std::string var = Sample(name);                     \
  if (var.empty()) GTEST_SKIP() << name << " is not present"

#define REQUIRE_SAMPLE_3DS(var, name)      \
  const std::string var = Sample3ds(name); \
  if (var.empty()) GTEST_SKIP() << name << " is not present"

TEST_F(FacetryMesh, InfoPrintsTheFileCounts) {
  REQUIRE_SAMPLE(tiger, "dxsdk_tiger.x");
  const ToolRun r = Tool("info " + Quoted(tiger));
  EXPECT_EQ(r.status, 0) << r.err;
  // Three quads among the triangles, one material for every face.
  EXPECT_EQ(r.out.substr(0, r.out.find("bbox:")),
            "vertices: 303\nfaces: 599\ntriangles: 602\ngroups: 1\nmaterials: 1\n");
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("\nbbox: "), std::string::npos) << r.out;
}

TEST_F(FacetryMesh, ConvertRoundTripsKeepTheInfo) {
  REQUIRE_SAMPLE(tiger, "dxsdk_tiger.x");
  const ToolRun original = Tool("info " + Quoted(tiger));
  ASSERT_EQ(original.status, 0) << original.err;
  for (const char* option : {"", "--binary", "--text"}) {
    const fs::path out = dir / "tiger_out.x";
    const ToolRun conv = Tool("convert " + Quoted(tiger) + " " + Quoted(out) + " " + option);
    ASSERT_EQ(conv.status, 0) << option << ": " << conv.err;
    const std::string head = Slurp(out).substr(0, 16);
    EXPECT_EQ(head.substr(8, 4), std::string(option) == "--text" ? "txt " : "bin ") << head;
    const ToolRun back = Tool("info " + Quoted(out));
    EXPECT_EQ(back.out, original.out) << option;
    // And once more from the converted file: nothing is lost on the second pass.
    const fs::path again = dir / "tiger_again.x";
    ASSERT_EQ(Tool("convert " + Quoted(out) + " " + Quoted(again) + " " + option).status, 0);
    EXPECT_EQ(Tool("info " + Quoted(again)).out, original.out) << option;
  }
}

TEST_F(FacetryMesh, BadFilesGiveOneLineAndStatusOne) {
  const fs::path missing = dir / "no_such.x";
  const ToolRun m = Tool("info " + Quoted(missing));
  EXPECT_EQ(m.status, 1);
  EXPECT_EQ(m.out, "");
  EXPECT_EQ(m.err, "facetry-mesh: " + missing.string() + ": cannot open: No such file or directory\n");

  // A failed conversion leaves no output behind.
  const fs::path out = dir / "out.x";
  EXPECT_EQ(Tool("convert " + Quoted(missing) + " " + Quoted(out)).status, 1);
  EXPECT_FALSE(fs::exists(out));

  REQUIRE_SAMPLE(empty, "assimp_invalid_empty.x");
  const ToolRun e = Tool("info " + Quoted(empty));
  EXPECT_EQ(e.status, 1);
  EXPECT_EQ(e.out, "");
  EXPECT_EQ(e.err, "facetry-mesh: " + empty + ": not a valid .x file (D3DRMERR_BADFILE)\n");
}

TEST_F(FacetryMesh, UsageErrorsGiveStatusTwo) {
  for (const char* args : {"", "info", "info a b", "convert a", "convert a b --zip", "inspect a"}) {
    const ToolRun r = Tool(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.err.rfind("usage: facetry-mesh", 0), 0u) << args;
    EXPECT_EQ(r.out, "") << args;
  }
}

// ---- .3ds ---------------------------------------------------------------------------------

TEST_F(FacetryMesh, InfoOnThreeDsFilesPrintsTheStoredCounts) {
  struct Case {
    const char* file;
    const char* counts;
  };
  // Faces are triangles, all in one group; materials as the file defines them.
  const Case cases[] = {
      {"assimp_CameraRollAnim.3ds", "vertices: 26\nfaces: 12\ntriangles: 12\ngroups: 1\nmaterials: 0\n"},
      {"assimp_RotatingCube.3DS", "vertices: 26\nfaces: 12\ntriangles: 12\ngroups: 1\nmaterials: 0\n"},
      {"assimp_cube_with_diffuse_texture.3DS",
       "vertices: 32\nfaces: 12\ntriangles: 12\ngroups: 1\nmaterials: 1\n"},
      {"assimp_cubes_with_alpha.3DS", "vertices: 130\nfaces: 60\ntriangles: 60\ngroups: 1\nmaterials: 5\n"},
      {"assimp_fels.3ds", "vertices: 386\nfaces: 768\ntriangles: 768\ngroups: 1\nmaterials: 1\n"},
      {"assimp_test1.3ds", "vertices: 288\nfaces: 108\ntriangles: 108\ngroups: 1\nmaterials: 3\n"},
      {"irrlicht_room.3ds", "vertices: 116\nfaces: 156\ntriangles: 156\ngroups: 1\nmaterials: 1\n"},
  };
  for (const Case& c : cases) {
    REQUIRE_SAMPLE_3DS(path, c.file);
    const ToolRun r = Tool("info " + Quoted(path));
    EXPECT_EQ(r.status, 0) << c.file << ": " << r.err;
    EXPECT_EQ(Counts(r.out), c.counts) << c.file;
    EXPECT_EQ(r.err, "") << c.file;
  }
  REQUIRE_SAMPLE_3DS(room, "irrlicht_room.3ds");
  EXPECT_EQ(Box(Tool("info " + Quoted(room)).out),
            "bbox: -406.989 -349.043 -0.00024 402.391 351.917 503.77\n");
}

TEST_F(FacetryMesh, BadThreeDsFilesGiveOneLineAndStatusOne) {
  REQUIRE_SAMPLE_3DS(empty, "assimp_invalid_empty.3ds");
  REQUIRE_SAMPLE(tiger, "dxsdk_tiger.x");
  REQUIRE_SAMPLE_3DS(fels, "assimp_fels.3ds");
  const fs::path foreign = dir / "tiger.3ds";
  fs::copy_file(tiger, foreign);
  // Cut inside the vertex list: the count promises more than is left.
  const fs::path cut = dir / "cut.3DS";
  {
    const std::string bytes = Slurp(fels);
    FILE* f = std::fopen(cut.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, 2000, f);
    std::fclose(f);
  }
  const fs::path missing = dir / "none.3ds";
  const std::pair<std::string, std::string> cases[] = {
      {empty, "not a valid .3ds file (empty)"},
      {foreign.string(), "not a valid .3ds file (no 3DS main chunk)"},
      {cut.string(), "not a valid .3ds file (damaged)"},
      {missing.string(), "cannot open: No such file or directory"},
      {dir.string() + "/d.3ds", "cannot open: Is a directory"},
  };
  fs::create_directory(dir / "d.3ds");
  for (const auto& [file, problem] : cases) {
    const ToolRun r = Tool("info " + Quoted(file));
    EXPECT_EQ(r.status, 1) << file;
    EXPECT_EQ(r.out, "") << file;
    EXPECT_EQ(r.err, "facetry-mesh: " + file + ": " + problem + "\n");
    // Nor does a conversion from it write anything.
    const fs::path out = dir / "out.x";
    EXPECT_EQ(Tool("convert " + Quoted(file) + " " + Quoted(out)).status, 1) << file;
    EXPECT_FALSE(fs::exists(out)) << file;
  }
}

TEST_F(FacetryMesh, ConvertXToThreeDsAndBackKeepsPositionsAndTriangles) {
  REQUIRE_SAMPLE(tiger, "dxsdk_tiger.x");
  const ToolRun original = Tool("info " + Quoted(tiger));
  ASSERT_EQ(original.status, 0) << original.err;

  const fs::path first = dir / "tiger.3ds";
  ASSERT_EQ(Tool("convert " + Quoted(tiger) + " " + Quoted(first)).status, 0);
  // The three quads are fanned: 602 triangles over the same 303 vertices.
  const ToolRun as3ds = Tool("info " + Quoted(first));
  EXPECT_EQ(Counts(as3ds.out), "vertices: 303\nfaces: 602\ntriangles: 602\ngroups: 1\nmaterials: 0\n");
  EXPECT_EQ(Box(as3ds.out), Box(original.out));

  for (const char* option : {"", "--text"}) {
    const fs::path x = dir / "back.x";
    ASSERT_EQ(Tool("convert " + Quoted(first) + " " + Quoted(x) + " " + option).status, 0) << option;
    EXPECT_EQ(Slurp(x).substr(8, 4), std::string(option).empty() ? "bin " : "txt ") << option;
    const ToolRun back = Tool("info " + Quoted(x));
    EXPECT_EQ(Counts(back.out), "vertices: 303\nfaces: 602\ntriangles: 602\ngroups: 1\nmaterials: 0\n")
        << option;
    EXPECT_EQ(Box(back.out), Box(original.out)) << option;
  }
  // Through the binary encoding every position survives bit for bit and every triangle
  // keeps its corners: the second 3DS file is the first one's twin.
  const fs::path x = dir / "back.x";
  const fs::path second = dir / "again.3DS";
  ASSERT_EQ(Tool("convert " + Quoted(first) + " " + Quoted(x)).status, 0);
  ASSERT_EQ(Tool("convert " + Quoted(x) + " " + Quoted(second)).status, 0);
  EXPECT_EQ(Slurp(second), Slurp(first));
}

// A text .x mesh of `points` vertices at the origin and one triangle.
std::string PointCloud(size_t points) {
  std::string text = "xof 0302txt 0032\nMesh {\n" + std::to_string(points) + ";\n";
  for (size_t i = 0; i < points; ++i) text += i + 1 < points ? "0;0;0;,\n" : "0;0;0;;\n";
  return text + "1;\n3;0,1,2;;\n}\n";
}

TEST_F(FacetryMesh, ThreeDsOutputRefusesMoreThan65535Points) {
  const fs::path fits = dir / "fits.x";
  const fs::path too_many = dir / "too_many.x";
  {
    std::FILE* f = std::fopen(fits.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const std::string text = PointCloud(65535);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    f = std::fopen(too_many.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const std::string more = PointCloud(65536);
    std::fwrite(more.data(), 1, more.size(), f);
    std::fclose(f);
  }
  const fs::path out = dir / "out.3ds";
  ASSERT_EQ(Tool("convert " + Quoted(fits) + " " + Quoted(out)).status, 0);
  EXPECT_EQ(Counts(Tool("info " + Quoted(out)).out),
            "vertices: 65535\nfaces: 1\ntriangles: 1\ngroups: 1\nmaterials: 0\n");

  // Refused, and the file already there stays as it was.
  const std::string before = Slurp(out);
  const ToolRun r = Tool("convert " + Quoted(too_many) + " " + Quoted(out));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "facetry-mesh: " + out.string() + ": A 3DS file holds at most 65535 points and 65535 faces.\n");
  EXPECT_EQ(Slurp(out), before);
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++files;
  EXPECT_EQ(files, 4u) << "no temporary file left behind (stderr.txt, the two inputs, out.3ds)";
}

}  // namespace
