// facetry-mesh render, called as the tool's dispatcher calls it.
#include "tools/render_command.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/png_file.h"

namespace {

class RenderCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = ::testing::TempDir() + "facetry-render-XXXXXX";
    ASSERT_NE(mkdtemp(name.data()), nullptr);
    dir_ = name;
  }
  void TearDown() override {
    for (const std::string& f : made_) std::remove(f.c_str());
    rmdir(dir_.c_str());
  }

  std::string Out(const std::string& name) {
    made_.push_back(dir_ + "/" + name);
    return made_.back();
  }

  static int Run(std::vector<std::string> args) {
    args.insert(args.begin(), "render");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    return RunRenderCommand(int(argv.size()), argv.data());
  }

  std::string dir_;
  std::vector<std::string> made_;
};

const std::string kCube = std::string(FACETRY_SAMPLES_DIR) + "/x/assimp_test_cube_text.x";
const std::string kCube3ds = std::string(FACETRY_SAMPLES_DIR) + "/3ds/assimp_RotatingCube.3DS";

// Lit pixels inside the image's middle, and a margin left around the framed mesh; a 3DS
// file as an .x file.
TEST_F(RenderCommand, FramesTheMeshInTheMiddleOfTheImage) {
  for (const std::string& in : {kCube, kCube3ds}) {
    for (const char* view : {"front", "side", "top"}) {
      const std::string out = Out(std::string(view) + ".png");
      ASSERT_EQ(Run({in, out, "--size", "120x90", "--view", view}), 0) << in << " " << view;
      int w = 0, h = 0;
      std::vector<uint32_t> px;
      ASSERT_EQ(ReadPng(out, &w, &h, &px), "");
      ASSERT_EQ(w, 120);
      ASSERT_EQ(h, 90);
      EXPECT_NE(px[45 * 120 + 60] & 0xFFFFFF, 0u) << in << " " << view;
      for (int x = 0; x < w; ++x) {
        EXPECT_EQ(px[x] & 0xFFFFFF, 0u) << in << " " << view << " top row";
        EXPECT_EQ(px[size_t(h - 1) * w + x] & 0xFFFFFF, 0u) << in << " " << view << " bottom row";
      }
    }
  }
}

TEST_F(RenderCommand, WireframeDrawsFewerPixelsThanSolid) {
  auto lit = [](const std::string& file) {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    EXPECT_EQ(ReadPng(file, &w, &h, &px), "");
    size_t n = 0;
    for (uint32_t c : px) n += (c & 0xFFFFFF) != 0;
    return n;
  };
  const std::string solid = Out("solid.png"), wire = Out("wire.png"), points = Out("points.png");
  ASSERT_EQ(Run({kCube, solid, "--size", "80x60"}), 0);
  ASSERT_EQ(Run({kCube, wire, "--size", "80x60", "--mode", "wireframe"}), 0);
  ASSERT_EQ(Run({kCube, points, "--size", "80x60", "--mode", "points"}), 0);
  EXPECT_GT(lit(solid), lit(wire));
  EXPECT_GT(lit(wire), lit(points));
  EXPECT_GT(lit(points), 0u);
}

TEST_F(RenderCommand, ReportsBadInputAndUsage) {
  const std::string out = Out("never.png");
  EXPECT_EQ(Run({dir_ + "/missing.x", out}), 1);
  EXPECT_EQ(Run({std::string(FACETRY_SAMPLES_DIR) + "/x/assimp_invalid_empty.x", out}), 1);
  EXPECT_EQ(Run({std::string(FACETRY_SAMPLES_DIR) + "/3ds/assimp_invalid_empty.3ds", out}), 1);
  EXPECT_EQ(Run({dir_ + "/missing.3ds", out}), 1);
  EXPECT_EQ(access(out.c_str(), F_OK), -1);
  EXPECT_EQ(Run({kCube, dir_ + "/no/such/dir/out.png"}), 1);
  EXPECT_EQ(Run({kCube}), 2);
  EXPECT_EQ(Run({kCube, out, "--size", "0x10"}), 2);
  EXPECT_EQ(Run({kCube, out, "--size", "64"}), 2);
  EXPECT_EQ(Run({kCube, out, "--view", "back"}), 2);
  EXPECT_EQ(Run({kCube, out, "--mode"}), 2);
  EXPECT_EQ(Run({kCube, out, "--colour"}), 2);
}

}  // namespace
