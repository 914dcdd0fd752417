// The .x reader on crafted input, and writer round trips.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/rm/xfile/xfile.h"

namespace {

HRESULT ReadString(const std::string& s, MeshData* out) {
  return xfile::Read(reinterpret_cast<const unsigned char*>(s.data()), s.size(), out);
}

MeshData ReadOk(const std::string& s) {
  MeshData m;
  EXPECT_EQ(ReadString(s, &m), D3DRM_OK) << s;
  return m;
}

// A bad file fails and leaves what was already there.
void ExpectRejected(const std::string& s) {
  MeshData m;
  m.positions = {{5, 5, 5}};
  EXPECT_EQ(ReadString(s, &m), D3DRMERR_BADFILE) << s;
  ASSERT_EQ(m.positions.size(), 1u) << s;
  EXPECT_EQ(m.positions[0].x, 5) << s;
  EXPECT_TRUE(m.face_sizes.empty()) << s;
}

const std::string kText = "xof 0303txt 0032\n";

// One triangle and one quad over five vertices, with whatever children are given.
std::string TextMesh(const std::string& children) {
  return kText +
         "Mesh m {\n 5;\n 0;0;0;, 1;0;0;, 0;1;0;, 1;1;0;, 2;2;0;;\n"
         " 2;\n 3;0,1,2;, 4;1,3,4,2;;\n" +
         children + "}\n";
}

// Binary token helpers for crafted binary files.
struct Bin {
  std::string s;
  Bin& Word(uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
    return *this;
  }
  Bin& Dword(uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return *this;
  }
  Bin& Name(const std::string& n) {
    Word(1).Dword(static_cast<uint32_t>(n.size()));
    s += n;
    return *this;
  }
  Bin& Ints(const std::vector<uint32_t>& v) {
    Word(6).Dword(static_cast<uint32_t>(v.size()));
    for (uint32_t x : v) Dword(x);
    return *this;
  }
  Bin& Floats(const std::vector<float>& v) {
    Word(7).Dword(static_cast<uint32_t>(v.size()));
    for (float f : v) {
      uint32_t bits;
      std::memcpy(&bits, &f, 4);
      Dword(bits);
    }
    return *this;
  }
  Bin& Doubles(const std::vector<double>& v) {
    Word(7).Dword(static_cast<uint32_t>(v.size()));
    for (double d : v) {
      uint64_t bits;
      std::memcpy(&bits, &d, 8);
      Dword(static_cast<uint32_t>(bits)).Dword(static_cast<uint32_t>(bits >> 32));
    }
    return *this;
  }
  Bin& Open() { return Word(10); }
  Bin& Close() { return Word(11); }
};

// A mesh using everything the writer knows: mixed polygon sizes, separate normals,
// texture coordinates, vertex colours, two materials with texture names.
MeshData FullMesh() {
  MeshData m;
  m.positions = {{0, 0, 0}, {1.5f, 0, 0}, {0, 2.25f, 0}, {1.0f / 3, 1e-7f, -123456.789f}, {-0.1f, 0.2f, 0.3f}};
  m.face_sizes = {3, 4};
  m.face_indices = {0, 1, 2, 1, 3, 4, 2};
  m.normals = {{0, 0, 1}, {0, 0.6f, 0.8f}};
  m.normal_indices = {0, 0, 0, 1, 1, 0, 1};
  m.texcoords = {0, 0, 1, 0, 0, 1, 0.123456789f, -7.5f, 0.5f, 0.5f};
  m.vertex_colors = {0xFFFF0000u, 0x80102030u, 0xFFFFFFFFu, 0x00000000u, 0x7F7F7F7Fu};
  MeshMaterial a;
  a.r = 0.25f, a.g = 0.5f, a.b = 0.75f, a.a = 1, a.power = 12.5f, a.sr = 0.1f, a.er = 0.3f;
  a.texture = "C:\\textures\\\\share\\brick.bmp";
  MeshMaterial b;
  b.r = 1, b.g = 0, b.b = 0;
  m.materials = {a, b};
  m.face_materials = {1, 0};
  return m;
}

void ExpectSameMesh(const MeshData& a, const MeshData& b) {
  ASSERT_EQ(a.positions.size(), b.positions.size());
  for (size_t i = 0; i < a.positions.size(); ++i) {
    const D3DVECTOR &p = a.positions[i], &q = b.positions[i];
    EXPECT_TRUE(p.x == q.x && p.y == q.y && p.z == q.z) << "position " << i;
  }
  EXPECT_EQ(a.face_sizes, b.face_sizes);
  EXPECT_EQ(a.face_indices, b.face_indices);
  ASSERT_EQ(a.normals.size(), b.normals.size());
  for (size_t i = 0; i < a.normals.size(); ++i)
    EXPECT_TRUE(a.normals[i].y == b.normals[i].y && a.normals[i].z == b.normals[i].z) << "normal " << i;
  EXPECT_EQ(a.normal_indices, b.normal_indices);
  EXPECT_EQ(a.texcoords, b.texcoords);
  EXPECT_EQ(a.vertex_colors, b.vertex_colors);
  ASSERT_EQ(a.materials.size(), b.materials.size());
  for (size_t i = 0; i < a.materials.size(); ++i) {
    const MeshMaterial &x = a.materials[i], &y = b.materials[i];
    EXPECT_TRUE(x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a && x.power == y.power) << i;
    EXPECT_TRUE(x.sr == y.sr && x.sg == y.sg && x.sb == y.sb && x.er == y.er && x.eg == y.eg && x.eb == y.eb)
        << i;
    EXPECT_EQ(x.texture, y.texture) << i;
  }
  EXPECT_EQ(a.face_materials, b.face_materials);
}

std::string Save(const MeshData& m, D3DRMXOFFORMAT format, D3DRMSAVEOPTIONS options) {
  std::string out;
  EXPECT_EQ(xfile::Write(m, format, options, &out), D3DRM_OK);
  return out;
}

// --- Reading text -----------------------------------------------------------------------

TEST(XFileTextRead, NestedFramesMultiplyAndNormalsUseInverseTranspose) {
  // Outer frame translates by (1, 2, 3); the inner one scales x by 2.
  MeshData m = ReadOk(kText +
                      "Frame outer { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 1,2,3,1;; }\n"
                      " Frame inner { FrameTransformMatrix { 2,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }\n"
                      "  Mesh { 2; 1;0;0;, 0;1;0;; 1; 2;0,1;;\n"
                      "   MeshNormals { 1; 0.70710678;0.70710678;0;; 1; 2;0,0;; } } } }\n"
                      "Mesh { 1; 1;1;1;; 1; 1;0;; }\n");
  ASSERT_EQ(m.positions.size(), 3u);
  EXPECT_FLOAT_EQ(m.positions[0].x, 3);
  EXPECT_FLOAT_EQ(m.positions[0].y, 2);
  EXPECT_FLOAT_EQ(m.positions[1].x, 1);
  EXPECT_FLOAT_EQ(m.positions[1].y, 3);
  // A top-level mesh is not moved.
  EXPECT_FLOAT_EQ(m.positions[2].x, 1);
  // Stretching x halves the normal's x before renormalising: (0.5, 1, 0) / |..|.
  EXPECT_NEAR(m.normals[0].x, 0.5 / std::sqrt(1.25), 1e-6);
  EXPECT_NEAR(m.normals[0].y, 1 / std::sqrt(1.25), 1e-6);
  // The second mesh had no normals: it gets its face's normal, kept aligned per corner.
  ASSERT_EQ(m.normal_indices.size(), m.face_indices.size());
}

TEST(XFileTextRead, MeshesWithAndWithoutOptionalDataStayAligned) {
  MeshData m = ReadOk(kText +
                      "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n"
                      "Mesh { 3; 0;0;1;, 1;0;1;, 0;1;1;; 1; 3;0,2,1;;\n"
                      " MeshTextureCoords { 3; 0.5;0.5;, 1;0;, 0;1;; }\n"
                      " MeshVertexColors { 1; 2;1;0;0;1;;; }\n"
                      " MeshMaterialList { 1; 1; 0;; Material { 0;0;1;1;; 0; 0;0;0;; 0;0;0;; } } }\n");
  ASSERT_EQ(m.texcoords.size(), 12u);
  EXPECT_EQ(m.texcoords[0], 0);
  EXPECT_EQ(m.texcoords[6], 0.5f);
  ASSERT_EQ(m.vertex_colors.size(), 6u);
  EXPECT_EQ(m.vertex_colors[0], 0xFFFFFFFFu);
  EXPECT_EQ(m.vertex_colors[5], 0xFFFF0000u);
  // The first mesh gets a white material; the second mesh's index is offset past it.
  ASSERT_EQ(m.materials.size(), 2u);
  EXPECT_EQ(m.materials[0].b, 1);
  EXPECT_EQ(m.materials[0].r, 1);
  EXPECT_EQ(m.materials[1].r, 0);
  EXPECT_EQ(m.face_materials, (std::vector<uint32_t>{0, 1}));
  EXPECT_EQ(m.face_indices, (std::vector<uint32_t>{0, 1, 2, 3, 5, 4}));
}

// --- Damage -----------------------------------------------------------------------------

TEST(XFileReject, BadHeaders) {
  ExpectRejected("");
  ExpectRejected("xof 0304txt 0032 Mesh { 0; 0; }");
  ExpectRejected("xof 0303txt 0016 Mesh { 0; 0; }");
  ExpectRejected("xof 0303zip 0032 Mesh { 0; 0; }");
}

TEST(XFileReject, IndicesOutOfRange) {
  ExpectRejected(kText + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,3;; }");
  ExpectRejected(TextMesh("MeshNormals { 1; 0;0;1;; 1; 3;0,0,0;; }"));            // face count
  ExpectRejected(TextMesh("MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; }"));  // corner count
  ExpectRejected(TextMesh("MeshMaterialList { 1; 2; 0, 1;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } }"));
  ExpectRejected(TextMesh("MeshMaterialList { 1; 1; 0;; { Missing } }"));
}

TEST(XFileReject, StructuralDamage) {
  ExpectRejected(TextMesh(""). substr(0, 40));
  ExpectRejected(kText + "Mesh { 1; 0;0;0;; 1; 1;0;; ");                // no closing brace
  ExpectRejected(kText + "Mesh { 1; 0;0;0;; 1; 0;; }");                 // empty face
  ExpectRejected(kText + "Mesh { 1; 0;0;0;; 1; 1;4294967296;; }");      // beyond a DWORD
  ExpectRejected(kText + "template Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> DWORD n; }\n" +
                 TextMesh("").substr(kText.size()));
  std::string deep = kText;
  for (int i = 0; i < 100; ++i) deep += "Frame {";
  for (int i = 0; i < 100; ++i) deep += "}";
  ExpectRejected(deep);
}

TEST(XFileReject, HostileCountsFailWithoutAllocating) {
  ExpectRejected(kText + "Mesh { 4000000000; 1;2;3;; 1; 1;0;; }");
  ExpectRejected(TextMesh("MeshNormals { 3000000000; 0;0;1;; }"));
  ExpectRejected(kText + "Mesh { 1; 0;0;0;; 1; 4000000000;0;; }");
  Bin b;
  b.s = "xof 0303bin 0032";
  b.Name("Mesh").Open().Word(6).Dword(0xFFFFFFF0u).Dword(3);
  ExpectRejected(b.s);
  Bin c;
  c.s = "xof 0303bin 0032";
  c.Name("Mesh").Open().Ints({0xFFFFFFF0u}).Floats({1, 2, 3});
  ExpectRejected(c.s);
  // A compressed body that claims 4 GiB from a few bytes.
  ExpectRejected(std::string("xof 0303bzip0032") + std::string("\xff\xff\xff\xff\x10\x00\x08\x00" "CK", 10) +
                 std::string(6, '\0'));
}

// --- Reading binary ---------------------------------------------------------------------

TEST(XFileBinaryRead, ValuesFlowAcrossListBoundariesAndDoubles) {
  Bin b;
  b.s = "xof 0303bin 0064";
  b.Name("Frame").Name("f").Open();
  b.Name("FrameTransformMatrix").Open().Doubles({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 0, 0, 1}).Close();
  // nVertices and two coordinates in one list each way, split where the writer liked.
  b.Name("Mesh").Name("").Open().Ints({2}).Doubles({1, 2}).Doubles({3, 4, 5, 6});
  b.Word(19).Word(3).Dword(1).Ints({3, 0, 1, 1}).Word(20);  // INTEGER token, separators
  b.Name("MeshMaterialList").Open().Ints({1, 1, 0});
  b.Name("Material").Open().Doubles({0.5, 0.5, 0.5, 1, 2, 0, 0, 0, 0, 0, 0});
  b.Name("TextureFilename").Open().Word(2).Dword(5).s += "a.bmp";
  b.Word(20).Close().Close().Close();
  b.Close().Close();
  MeshData m = ReadOk(b.s);
  ASSERT_EQ(m.positions.size(), 2u);
  EXPECT_EQ(m.positions[0].x, 11);
  EXPECT_EQ(m.positions[1].z, 6);
  EXPECT_EQ(m.face_indices, (std::vector<uint32_t>{0, 1, 1}));
  ASSERT_EQ(m.materials.size(), 1u);
  EXPECT_EQ(m.materials[0].texture, "a.bmp");
  EXPECT_EQ(m.materials[0].power, 2);
}

// --- Writing ----------------------------------------------------------------------------

TEST(XFileWrite, TextAndBinaryRoundTripsAreExactAndStable) {
  MeshData m = FullMesh();
  std::string text = Save(m, D3DRMXOF_TEXT, D3DRMXOFSAVE_ALL);
  EXPECT_EQ(text.rfind("xof 0302txt 0032\n", 0), 0u);
  EXPECT_NE(text.find("0;0;0;,"), std::string::npos);  // strict separators
  MeshData back = ReadOk(text);
  ExpectSameMesh(m, back);
  // text -> binary -> text gives the same text.
  MeshData again = ReadOk(Save(back, D3DRMXOF_BINARY, D3DRMXOFSAVE_ALL));
  ExpectSameMesh(m, again);
  EXPECT_EQ(Save(again, D3DRMXOF_TEXT, D3DRMXOFSAVE_ALL), text);
}

TEST(XFileWrite, CompressedRoundTripAcrossBlocks) {
  // Enough vertices for several 32 KiB blocks, so history must carry over between them.
  MeshData m;
  for (uint32_t i = 0; i < 9000; ++i) {
    m.positions.push_back({static_cast<float>(i % 17), static_cast<float>(i) * 0.5f, 1.0f / (i + 1)});
  }
  for (uint32_t i = 0; i + 2 < 9000; i += 3) {
    m.face_sizes.push_back(3);
    m.face_indices.insert(m.face_indices.end(), {i, i + 1, i + 2});
  }
  std::string packed = Save(m, D3DRMXOF_COMPRESSED, D3DRMXOFSAVE_ALL);
  EXPECT_EQ(packed.substr(8, 4), "bzip");
  std::string plain = Save(m, D3DRMXOF_BINARY, D3DRMXOFSAVE_ALL);
  EXPECT_GT(plain.size(), 3u * 32768);
  EXPECT_LT(packed.size(), plain.size());
  ExpectSameMesh(m, ReadOk(packed));
}

TEST(XFileWrite, OptionsLeaveOutWhatIsNotAsked) {
  MeshData m = FullMesh();
  MeshData bare = ReadOk(Save(m, D3DRMXOF_BINARY, 0));
  EXPECT_EQ(bare.positions.size(), 5u);
  EXPECT_EQ(bare.face_indices, m.face_indices);
  EXPECT_TRUE(bare.normals.empty());
  EXPECT_TRUE(bare.texcoords.empty());
  EXPECT_TRUE(bare.materials.empty());
  EXPECT_EQ(bare.vertex_colors, m.vertex_colors);  // written whenever present

  MeshData no_names = ReadOk(Save(m, D3DRMXOF_TEXT, D3DRMXOFSAVE_MATERIALS));
  ASSERT_EQ(no_names.materials.size(), 2u);
  EXPECT_TRUE(no_names.materials[0].texture.empty());
  EXPECT_EQ(no_names.face_materials, m.face_materials);
}

TEST(XFileWrite, InconsistentDataIsRefused) {
  std::string out = "kept";
  MeshData m = FullMesh();
  m.face_indices[0] = 99;
  EXPECT_EQ(xfile::Write(m, D3DRMXOF_BINARY, D3DRMXOFSAVE_ALL, &out), D3DRMERR_BADVALUE);
  m = FullMesh();
  m.materials[0].texture = "a\"b";
  EXPECT_EQ(xfile::Write(m, D3DRMXOF_TEXT, D3DRMXOFSAVE_ALL, &out), D3DRMERR_BADVALUE);
  EXPECT_EQ(out, "kept");
}

}  // namespace
