// The .bmp decoder and texture loading through the root object and the builder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/rm/d3drm.h"

namespace {

namespace fs = std::filesystem;

// Little-endian, as every field of the format.
void Put(std::vector<unsigned char>& b, size_t at, uint32_t v, int bytes = 4) {
  for (int i = 0; i < bytes; ++i) b[at + i] = (v >> (8 * i)) & 0xff;
}

// The colour a test picture has at (x, y), top row first.
uint32_t Expected(int x, int y) {
  return 0xff000000u | (uint32_t(x * 40 & 0xff) << 16) | (uint32_t(y * 37 & 0xff) << 8) | uint32_t(x + y);
}

// Writes a picture of Expected() colours the way a paint program would: bottom-up unless
// top_down, rows padded to four bytes, 8-bit pictures through a palette of colors_used
// entries (one per pixel, so each index is distinct).
std::vector<unsigned char> MakeBmp(int bits, int w, int h, bool top_down, uint32_t info_size = 40,
                                   uint32_t compression = 0) {
  const uint32_t palette = bits == 8 ? uint32_t(w * h) : 0;
  const uint32_t masks = compression == 3 && info_size == 40 ? 12 : 0;
  const uint32_t stride = (uint32_t(w) * bits + 31) / 32 * 4;
  const uint32_t offset = 14 + info_size + masks + 4 * palette;
  std::vector<unsigned char> b(offset + stride * h, 0);
  Put(b, 0, 'B' | 'M' << 8, 2);
  Put(b, 2, uint32_t(b.size()));
  Put(b, 10, offset);
  Put(b, 14, info_size);
  Put(b, 18, uint32_t(w));
  Put(b, 22, uint32_t(top_down ? -h : h));
  Put(b, 26, 1, 2);
  Put(b, 28, uint32_t(bits), 2);
  Put(b, 30, compression);
  Put(b, 46, palette);
  if (compression == 3)
    for (int i = 0; i < 3; ++i) Put(b, 54 + 4 * i, 0x00ff0000u >> (8 * i));
  for (int y = 0; y < h; ++y) {
    const int file_row = top_down ? y : h - 1 - y;
    for (int x = 0; x < w; ++x) {
      const uint32_t c = Expected(x, y);
      if (bits == 8) {
        const uint32_t index = uint32_t(y * w + x);
        b[offset + file_row * stride + x] = static_cast<unsigned char>(index);
        Put(b, 14 + info_size + masks + 4 * index, c & 0xffffff);
      } else {
        // The unused fourth byte must not become alpha.
        Put(b, offset + file_row * stride + x * (bits / 8), (c & 0xffffff) | 0x12000000u, bits / 8);
      }
    }
  }
  return b;
}

HRESULT Decode(const std::vector<unsigned char>& b, int* w, int* h, std::vector<uint32_t>* px, int* bits) {
  return DecodeBmp(b.data(), b.size(), w, h, px, bits);
}

struct Layout {
  int bits, w, h;
  bool top_down;
  uint32_t info_size, compression;
};

TEST(DecodeBmpTest, DecodesEveryAcceptedLayoutToExactPixels) {
  const Layout layouts[] = {
      {24, 3, 2, false, 40, 0},  {24, 5, 3, true, 40, 0},   {8, 5, 3, false, 40, 0},
      {8, 3, 4, true, 40, 0},    {32, 3, 2, false, 40, 0},  {32, 2, 3, true, 40, 3},
      {24, 7, 2, false, 124, 0}, {32, 1, 1, false, 108, 3}, {8, 1, 7, false, 40, 0},
  };
  for (const Layout& l : layouts) {
    SCOPED_TRACE(::testing::Message() << l.bits << " bits " << l.w << "x" << l.h
                                      << (l.top_down ? " top-down" : "") << " header " << l.info_size);
    int w = 0, h = 0, bits = 0;
    std::vector<uint32_t> px;
    ASSERT_EQ(Decode(MakeBmp(l.bits, l.w, l.h, l.top_down, l.info_size, l.compression), &w, &h, &px, &bits),
              D3DRM_OK);
    EXPECT_TRUE(w == l.w && h == l.h && bits == l.bits) << w << "x" << h << " " << bits;
    ASSERT_EQ(px.size(), size_t(l.w * l.h));
    for (int y = 0; y < l.h; ++y)
      for (int x = 0; x < l.w; ++x) EXPECT_EQ(px[y * l.w + x], Expected(x, y)) << "at " << x << "," << y;
  }
}

TEST(DecodeBmpTest, EveryTruncationIsRefusedAndLeavesTheOutputsAlone) {
  const std::vector<unsigned char> full = MakeBmp(8, 3, 3, false);
  for (size_t n = 0; n < full.size(); ++n) {
    const std::vector<unsigned char> cut(full.begin(), full.begin() + n);
    int w = -1, h = -1, bits = -1;
    std::vector<uint32_t> px{7};
    ASSERT_EQ(Decode(cut, &w, &h, &px, &bits), D3DRMERR_BADFILE) << n << " bytes";
    EXPECT_EQ(w, -1);
    EXPECT_EQ(px, std::vector<uint32_t>{7});
  }
}

TEST(DecodeBmpTest, DamagedAndUnsupportedHeadersAreRefused) {
  struct Damage {
    const char* what;
    int bits;  // of the picture damaged
    uint32_t compression;
    size_t at;
    uint32_t value;
    int bytes;
  };
  const Damage cases[] = {
      {"magic", 24, 0, 0, 'X', 2},
      {"run-length compression", 24, 0, 30, 1, 4},
      {"zero width", 24, 0, 18, 0, 4},
      {"absurd width", 24, 0, 18, 20000, 4},
      {"pixels past the end", 24, 0, 10, 0xfffffff0u, 4},
      {"height beyond the bytes present", 24, 0, 22, 16000, 4},
      {"palette longer than 256", 8, 0, 46, 300, 4},
  };
  for (const Damage& d : cases) {
    std::vector<unsigned char> b = MakeBmp(d.bits, 3, 2, false, 40, d.compression);
    Put(b, d.at, d.value, d.bytes);
    int w, h, bits;
    std::vector<uint32_t> px;
    EXPECT_EQ(Decode(b, &w, &h, &px, &bits), D3DRMERR_BADFILE) << d.what;
  }
}

// Damage anywhere in the headers must give a clean answer; the sanitizers catch any read
// outside the buffer.
TEST(DecodeBmpTest, RandomHeaderDamageGivesACleanAnswer) {
  const std::vector<unsigned char> good = MakeBmp(8, 5, 3, false);
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int round = 0; round < 3000; ++round) {
    std::vector<unsigned char> b = good;
    for (int k = 0; k < 3; ++k) b[(next() >> 8) % 70] = static_cast<unsigned char>(next() >> 24);
    int w = 0, h = 0, bits = 0;
    std::vector<uint32_t> px;
    const HRESULT r = Decode(b, &w, &h, &px, &bits);
    ASSERT_TRUE(r == D3DRM_OK || r == D3DRMERR_BADFILE);
    ASSERT_TRUE(r == D3DRMERR_BADFILE || px.size() == size_t(w) * size_t(h));
  }
}

class TextureFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "facetry-texture-XXXXXX").string();
    const char* made = mkdtemp(pattern.data());
    ASSERT_NE(made, nullptr);
    dir_ = made;
    ASSERT_EQ(Direct3DRMCreate(&rm_), D3DRM_OK);
    ASSERT_EQ(rm_->SetSearchPath(dir_.c_str()), D3DRM_OK);
  }
  void TearDown() override {
    if (rm_) rm_->Release();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  void Write(const std::string& name, const std::vector<unsigned char>& bytes) {
    std::ofstream(dir_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  fs::path dir_;
  IDirect3DRM* rm_ = nullptr;
};

TEST_F(TextureFilesTest, LoadTextureFindsTheFileAndTakesTheDefaults) {
  Write("wood.bmp", MakeBmp(24, 5, 3, false));
  Write("broken.bmp", {'B', 'M', 0, 0});
  ASSERT_EQ(rm_->SetDefaultTextureShades(32), D3DRM_OK);
  IDirect3DRMTexture* texture = nullptr;
  ASSERT_EQ(rm_->LoadTexture("wood.bmp", &texture), D3DRM_OK);
  EXPECT_TRUE(texture->Width() == 5 && texture->Height() == 3);
  EXPECT_EQ(texture->Pixels()[2 * 5 + 4], Expected(4, 2));
  EXPECT_EQ(texture->GetShades(), 32u);
  texture->Release();
  texture = nullptr;
  EXPECT_EQ(rm_->LoadTexture("nothing.bmp", &texture), D3DRMERR_FILENOTFOUND);
  EXPECT_EQ(rm_->LoadTexture("broken.bmp", &texture), D3DRMERR_BADFILE);
  EXPECT_EQ(texture, nullptr);
}

// A triangle whose material names a texture; the .bmp lies beside the file.
constexpr char kTexturedX[] =
    "xof 0302txt 0032\n"
    "Mesh {\n"
    " 3; 0.0;0.0;0.0;, 0.0;1.0;0.0;, 1.0;0.0;0.0;;\n"
    " 1; 3;0,1,2;;\n"
    " MeshMaterialList {\n"
    "  1; 1; 0;;\n"
    "  Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;;\n"
    "   TextureFilename { \"skin.bmp\"; }\n"
    "  }\n"
    " }\n"
    " MeshTextureCoords { 3; 0.0;0.0;, 0.0;1.0;, 1.0;0.0;; }\n"
    "}\n";

TEST_F(TextureFilesTest, BuilderLoadsTheTexturesItsMaterialsName) {
  const std::string text = kTexturedX;
  Write("tri.x", std::vector<unsigned char>(text.begin(), text.end()));
  Write("skin.bmp", MakeBmp(8, 2, 2, true));
  IDirect3DRMMeshBuilder* builder = nullptr;
  ASSERT_EQ(rm_->CreateMeshBuilder(&builder), D3DRM_OK);
  ASSERT_EQ(builder->Load("tri.x", nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr), D3DRM_OK);
  IDirect3DRMMesh* mesh = nullptr;
  ASSERT_EQ(builder->CreateMesh(&mesh), D3DRM_OK);
  IDirect3DRMTexture* texture = nullptr;
  ASSERT_EQ(mesh->GetGroupTexture(0, &texture), D3DRM_OK);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->Pixels()[3], Expected(1, 1));
  texture->Release();
  mesh->Release();
  builder->Release();
}

}  // namespace
