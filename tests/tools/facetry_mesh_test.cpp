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

  fs::path dir;
};

#define REQUIRE_SAMPLE(var, name)                           \
  const std::string var = Sample(name);                     \
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

}  // namespace
