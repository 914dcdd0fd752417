// Runs facetry-mesh and checks what it prints and how it exits.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;  // exit status
  std::string out, err;
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

void Spill(const fs::path& p, const std::string& bytes) {
  if (FILE* f = std::fopen(p.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

// The info lines before the box, and the box.
std::string Counts(unsigned vertices, unsigned faces, unsigned triangles, unsigned materials) {
  return "vertices: " + std::to_string(vertices) + "\nfaces: " + std::to_string(faces) +
         "\ntriangles: " + std::to_string(triangles) +
         "\ngroups: 1\nmaterials: " + std::to_string(materials) + "\n";
}
std::string Counts(const std::string& info) { return info.substr(0, info.find("bbox:")); }
std::string Box(const std::string& info) { return info.substr(std::min(info.find("bbox:"), info.size())); }

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
  ToolRun Info(const fs::path& file) { return Tool("info " + Quoted(file)); }
  int Convert(const fs::path& in, const fs::path& out, const std::string& option = "") {
    return Tool("convert " + Quoted(in) + " " + Quoted(out) + " " + option).status;
  }

  fs::path dir;
};

// `name` under the sample folder, e.g. "x/dxsdk_tiger.x".
#define REQUIRE_SAMPLE(var, name)                                            \
  const std::string var = (fs::path(FACETRY_SAMPLES_DIR) / (name)).string(); \
  if (!fs::exists(var)) GTEST_SKIP() << (name) << " is not present"

TEST_F(FacetryMesh, InfoPrintsTheStoredCounts) {
  struct Case {
    const char* file;
    unsigned vertices, faces, triangles, materials;
  };
  // .x: three quads among the triangles, one material for every face. .3ds: faces are
  // triangles, all in one group; materials as the file defines them.
  const Case cases[] = {
      {"x/dxsdk_tiger.x", 303, 599, 602, 1},
      {"3ds/assimp_CameraRollAnim.3ds", 26, 12, 12, 0},
      {"3ds/assimp_RotatingCube.3DS", 26, 12, 12, 0},
      {"3ds/assimp_cube_with_diffuse_texture.3DS", 32, 12, 12, 1},
      {"3ds/assimp_cubes_with_alpha.3DS", 130, 60, 60, 5},
      {"3ds/assimp_fels.3ds", 386, 768, 768, 1},
      {"3ds/assimp_test1.3ds", 288, 108, 108, 3},
      {"3ds/irrlicht_room.3ds", 116, 156, 156, 1},
  };
  for (const Case& c : cases) {
    REQUIRE_SAMPLE(path, c.file);
    const ToolRun r = Info(path);
    EXPECT_EQ(r.status, 0) << c.file << ": " << r.err;
    EXPECT_EQ(Counts(r.out), Counts(c.vertices, c.faces, c.triangles, c.materials)) << c.file;
    EXPECT_EQ(r.err, "") << c.file;
  }
  REQUIRE_SAMPLE(room, "3ds/irrlicht_room.3ds");
  EXPECT_EQ(Box(Info(room).out), "bbox: -406.989 -349.043 -0.00024 402.391 351.917 503.77\n");
}

TEST_F(FacetryMesh, ConvertRoundTripsKeepTheInfo) {
  REQUIRE_SAMPLE(tiger, "x/dxsdk_tiger.x");
  const ToolRun original = Info(tiger);
  ASSERT_EQ(original.status, 0) << original.err;
  for (const char* option : {"", "--binary", "--text"}) {
    const fs::path out = dir / "tiger_out.x", again = dir / "tiger_again.x";
    ASSERT_EQ(Convert(tiger, out, option), 0) << option;
    EXPECT_EQ(Slurp(out).substr(8, 4), std::string(option) == "--text" ? "txt " : "bin ") << option;
    EXPECT_EQ(Info(out).out, original.out) << option;
    // And once more from the converted file: nothing is lost on the second pass.
    ASSERT_EQ(Convert(out, again, option), 0);
    EXPECT_EQ(Info(again).out, original.out) << option;
  }
}

TEST_F(FacetryMesh, BadFilesGiveOneLineAndStatusOneAndConvertToNothing) {
  REQUIRE_SAMPLE(empty_x, "x/assimp_invalid_empty.x");
  REQUIRE_SAMPLE(empty_3ds, "3ds/assimp_invalid_empty.3ds");
  REQUIRE_SAMPLE(tiger, "x/dxsdk_tiger.x");
  REQUIRE_SAMPLE(fels, "3ds/assimp_fels.3ds");
  fs::copy_file(tiger, dir / "tiger.3ds");
  Spill(dir / "cut.3DS", Slurp(fels).substr(0, 2000));  // inside the vertex list
  fs::create_directory(dir / "d.3ds");
  const std::pair<std::string, std::string> cases[] = {
      {(dir / "none.x").string(), "cannot open: No such file or directory"},
      {empty_x, "not a valid .x file (D3DRMERR_BADFILE)"},
      {(dir / "none.3ds").string(), "cannot open: No such file or directory"},
      {(dir / "d.3ds").string(), "cannot open: Is a directory"},
      {empty_3ds, "not a valid .3ds file (empty)"},
      {(dir / "tiger.3ds").string(), "not a valid .3ds file (no 3DS main chunk)"},
      {(dir / "cut.3DS").string(), "not a valid .3ds file (damaged)"},
  };
  for (const auto& [file, problem] : cases) {
    const ToolRun r = Info(file);
    EXPECT_EQ(r.status, 1) << file;
    EXPECT_EQ(r.out, "") << file;
    EXPECT_EQ(r.err, "facetry-mesh: " + file + ": " + problem + "\n");
    EXPECT_EQ(Convert(file, dir / "out.x"), 1) << file;
    EXPECT_FALSE(fs::exists(dir / "out.x")) << file;
  }
}

TEST_F(FacetryMesh, UsageErrorsGiveStatusTwoAndSayWhatIsWrong) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "no command given"},
      {"info", "info takes one file"},
      {"info a b", "info takes one file"},
      {"check a -o b", "check writes no file"},
      {"convert a", "convert takes an input and an output file"},
      {"convert a b -o c", "convert takes an input and an output file"},
      {"convert a -o b -o c", "more than one output named"},
      {"convert a b --zip", "unknown option --zip"},
      {"convert a b --text --binary", "--text and --binary together"},
      {"info a --text", "--text and --binary are options of convert"},
      {"convert a b --size 10x10", "--size is an option of render"},
      {"render a -o", "-o needs a value"},
      {"inspect a", "unknown command inspect"},
  };
  for (const auto& [args, problem] : cases) {
    const ToolRun r = Tool(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.err.rfind("facetry-mesh: " + std::string(problem) + "\nusage: facetry-mesh", 0), 0u)
        << args << ": " << r.err;
    EXPECT_EQ(r.out, "") << args;
  }
  // Help and the version are answers, not errors, wherever they stand.
  for (const char* args : {"--help", "convert a --zip -h", "info --help"}) {
    const ToolRun r = Tool(args);
    EXPECT_EQ(r.status, 0) << args;
    EXPECT_NE(r.out.find("Exit status:\n  0  done"), std::string::npos) << args;
    EXPECT_NE(r.out.find("  2  the command line was wrong"), std::string::npos) << args;
    EXPECT_EQ(r.err, "") << args;
  }
  const ToolRun version = Tool("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "facetry-mesh " FACETRY_VERSION "\n");
}

TEST_F(FacetryMesh, OptionsStandAnywhereAndDashOTakesTheOutput) {
  REQUIRE_SAMPLE(cube, "x/assimp_test_cube_text.x");
  const std::string expected = Info(cube).out;
  // Each spelling must write a text-encoded copy of the cube to out.x.
  for (const char* line : {"convert --text IN OUT", "convert IN OUT --text", "--text convert IN OUT",
                                  "convert IN --text -o OUT", "convert -o OUT IN --text",
                                  "convert --output OUT --text -- IN"}) {
    const fs::path out = dir / "out.x";
    fs::remove(out);
    std::string args = line;
    args.replace(args.find("IN"), 2, Quoted(cube));
    args.replace(args.find("OUT"), 3, Quoted(out));
    const ToolRun r = Tool(args);
    ASSERT_EQ(r.status, 0) << line << ": " << r.err;
    EXPECT_EQ(Slurp(out).substr(8, 4), "txt ") << line;
    EXPECT_EQ(Info(out).out, expected) << line;
  }
  // After "--" a name may start with a dash.
  fs::copy_file(cube, dir / "-cube.x");
  const fs::path cwd = fs::current_path();
  fs::current_path(dir);
  const ToolRun named = Tool("info -- -cube.x"), refused = Tool("info -cube.x");
  fs::current_path(cwd);
  EXPECT_EQ(named.status, 0) << named.err;
  EXPECT_EQ(named.out, expected);
  EXPECT_EQ(refused.status, 2);
}

// Corners, by index: v6 lies on v2 and v8 is used by no face.
//   f0 (0 1 2), f1 (1 0 3), f2 (0 1 4)  three faces on the edge v0-v1
//   f3 (2 2 3)                           two distinct corners
//   f4 (2 3 6)                           two distinct positions
//   f5 (3 5 7)                           three corners on the z axis: no area
constexpr const char* kFaultyMesh =
    "xof 0302txt 0032\nMesh {\n9;\n"
    "0;0;0;,\n1;0;0;,\n0;1;0;,\n0;0;1;,\n0;-1;0;,\n0;0;2;,\n0;1;0;,\n0;0;3;,\n5;5;5;;\n"
    "6;\n3;0,1,2;,\n3;1,0,3;,\n3;0,1,4;,\n3;2,2,3;,\n3;2,3,6;,\n3;3,5,7;;\n}\n";

constexpr const char* kTetrahedron =
    "xof 0302txt 0032\nMesh {\n4;\n0;0;0;,\n1;0;0;,\n0;1;0;,\n0;0;1;;\n"
    "4;\n3;0,2,1;,\n3;0,1,3;,\n3;0,3,2;,\n3;1,2,3;;\n}\n";

TEST_F(FacetryMesh, CheckCountsDegenerateFacesOverusedEdgesAndLooseVertices) {
  Spill(dir / "faulty.x", kFaultyMesh);
  Spill(dir / "tetra.x", kTetrahedron);
  ASSERT_EQ(Convert(dir / "faulty.x", dir / "faulty.3ds"), 0);

  // The 3DS copy holds the same triangles over the same vertices, so it reports the same.
  for (const char* name : {"faulty.x", "faulty.3ds"}) {
    const ToolRun r = Tool("check " + Quoted(dir / name));
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_EQ(r.out,
              "vertices: 9\nfaces: 6\nedges: 10\ndegenerate_faces: 3\nnonmanifold_edges: 1\n"
              "unreferenced_vertices: 1\n")
        << name;
    EXPECT_EQ(r.err, "") << name;
  }
  const ToolRun clean = Tool("check " + Quoted(dir / "tetra.x"));
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_EQ(clean.out,
            "vertices: 4\nfaces: 4\nedges: 6\ndegenerate_faces: 0\nnonmanifold_edges: 0\n"
            "unreferenced_vertices: 0\n");
  // A file that cannot be read is a failure too, with the one-line report.
  const ToolRun missing = Tool("check " + Quoted(dir / "none.3ds"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "facetry-mesh: " + (dir / "none.3ds").string() + ": cannot open: No such file or directory\n");
}

TEST_F(FacetryMesh, ConvertXToThreeDsAndBackKeepsPositionsAndTriangles) {
  REQUIRE_SAMPLE(tiger, "x/dxsdk_tiger.x");
  const std::string box = Box(Info(tiger).out);
  const fs::path first = dir / "tiger.3ds", x = dir / "back.x", second = dir / "again.3DS";
  ASSERT_EQ(Convert(tiger, first), 0);
  ASSERT_EQ(Convert(first, x, "--text"), 0);
  EXPECT_EQ(Slurp(x).substr(8, 4), "txt ");
  // The three quads are fanned: 602 triangles over the same 303 vertices.
  for (const fs::path& file : {first, x}) {
    const ToolRun r = Info(file);
    EXPECT_EQ(Counts(r.out), Counts(303, 602, 602, 0)) << file;
    EXPECT_EQ(Box(r.out), box) << file;
  }
  // Through the binary encoding every position survives bit for bit and every triangle
  // keeps its corners: the second 3DS file is the first one's twin.
  ASSERT_EQ(Convert(first, x), 0);
  EXPECT_EQ(Slurp(x).substr(8, 4), "bin ");
  ASSERT_EQ(Convert(x, second), 0);
  EXPECT_EQ(Slurp(second), Slurp(first));
}

// A text .x mesh of `points` vertices at the origin and one triangle.
std::string PointCloud(size_t points) {
  std::string text = "xof 0302txt 0032\nMesh {\n" + std::to_string(points) + ";\n";
  for (size_t i = 0; i < points; ++i) text += i + 1 < points ? "0;0;0;,\n" : "0;0;0;;\n";
  return text + "1;\n3;0,1,2;;\n}\n";
}

TEST_F(FacetryMesh, ThreeDsOutputRefusesMoreThan65535Points) {
  Spill(dir / "fits.x", PointCloud(65535));
  Spill(dir / "too_many.x", PointCloud(65536));
  const fs::path out = dir / "out.3ds";
  ASSERT_EQ(Convert(dir / "fits.x", out), 0);
  EXPECT_EQ(Counts(Info(out).out), Counts(65535, 1, 1, 0));

  // Refused, and the file already there stays as it was.
  const std::string before = Slurp(out);
  const ToolRun r = Tool("convert " + Quoted(dir / "too_many.x") + " " + Quoted(out));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "facetry-mesh: " + out.string() + ": A 3DS file holds at most 65535 points and 65535 faces.\n");
  EXPECT_EQ(Slurp(out), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 4)
      << "no temporary file left behind (stderr.txt, the two inputs, out.3ds)";
}

}  // namespace
