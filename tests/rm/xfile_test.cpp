// The .x reader on crafted input, and writer round trips.
#include "platform/rm/xfile/xfile.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace {

HRESULT ReadString(const std::string& s, MeshData* out) {
  return xfile::Read(reinterpret_cast<const unsigned char*>(s.data()), s.size(), out);
}

MeshData ReadOk(const std::string& s) {
  MeshData m;
  EXPECT_EQ(ReadString(s, &m), D3DRM_OK) << s;
  return m;
}

const std::string kText = "xof 0303txt 0032\n";

// One triangle and one quad over five vertices, with whatever children are given.
std::string TextMesh(const std::string& children) {
  return kText +
         "Mesh m {\n 5;\n 0;0;0;, 1;0;0;, 0;1;0;, 1;1;0;, 2;2;0;;\n"
         " 2;\n 3;0,1,2;, 4;1,3,4,2;;\n" +
         children + "}\n";
}

// Binary tokens, little-endian, for crafted binary files.
struct Bin {
  explicit Bin(const char* header) : s(header) {}
  std::string s;
  Bin& Bytes(uint64_t v, int n) {
    for (int i = 0; i < n; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
    return *this;
  }
  Bin& Word(uint16_t v) { return Bytes(v, 2); }
  Bin& Dword(uint32_t v) { return Bytes(v, 4); }
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
  // Floats or doubles, as the header's float size says.
  template <class Real>
  Bin& Reals(const std::vector<Real>& v) {
    Word(7).Dword(static_cast<uint32_t>(v.size()));
    for (Real x : v)
      Bytes(std::bit_cast<std::conditional_t<sizeof(Real) == 4, uint32_t, uint64_t>>(x), sizeof(Real));
    return *this;
  }
  Bin& Open() { return Word(10); }
  Bin& Close() { return Word(11); }
};

// A mesh using everything the writer knows: mixed polygon sizes, separate normals,
// texture coordinates, vertex colours, two materials with texture names.
MeshData FullMesh() {
  MeshData m;
  m.positions = {
      {0, 0, 0}, {1.5f, 0, 0}, {0, 2.25f, 0}, {1.0f / 3, 1e-7f, -123456.789f}, {-0.1f, 0.2f, 0.3f}};
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

// Every coordinate, so a round trip that loses a component fails.
std::vector<float> Coordinates(const std::vector<D3DVECTOR>& v) {
  std::vector<float> out;
  for (const D3DVECTOR& p : v) out.insert(out.end(), {p.x, p.y, p.z});
  return out;
}

void ExpectSameMesh(const MeshData& a, const MeshData& b) {
  EXPECT_EQ(Coordinates(a.positions), Coordinates(b.positions));
  EXPECT_EQ(a.face_sizes, b.face_sizes);
  EXPECT_EQ(a.face_indices, b.face_indices);
  EXPECT_EQ(Coordinates(a.normals), Coordinates(b.normals));
  EXPECT_EQ(a.normal_indices, b.normal_indices);
  EXPECT_EQ(a.texcoords, b.texcoords);
  EXPECT_EQ(a.vertex_colors, b.vertex_colors);
  const auto fields = [](const MeshMaterial& x) {
    return std::tie(x.r, x.g, x.b, x.a, x.power, x.sr, x.sg, x.sb, x.er, x.eg, x.eb, x.texture);
  };
  ASSERT_EQ(a.materials.size(), b.materials.size());
  for (size_t i = 0; i < a.materials.size(); ++i)
    EXPECT_TRUE(fields(a.materials[i]) == fields(b.materials[i])) << i;
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
  // The inner frame applies first; a top-level mesh is not moved.
  EXPECT_EQ(Coordinates(m.positions), (std::vector<float>{3, 2, 3, 1, 3, 3, 1, 1, 1}));
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

TEST(XFileTextRead, NormalsThatDoNotFitTheMeshAreDroppedAndTheMeshKept) {
  const std::string normals[] = {
      "MeshNormals { 1; 0;0;1;; 1; 3;0,0,0;; }",                // face count
      "MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; }",      // corner count
      "MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 4;0,0,1,0;; }",    // index
  };
  for (const std::string& n : normals) {
    // What follows the dropped block is still read.
    const MeshData m = ReadOk(TextMesh(n + "MeshTextureCoords { 5; 0;0;, 1;0;, 0;1;, 1;1;, 2;2;; }"));
    EXPECT_EQ(m.positions.size(), 5u) << n;
    EXPECT_EQ(m.face_indices, (std::vector<uint32_t>{0, 1, 2, 1, 3, 4, 2})) << n;
    EXPECT_TRUE(m.normals.empty() && m.normal_indices.empty()) << n;
    EXPECT_EQ(m.texcoords.size(), 10u) << n;
  }
}

// Every number comes out as the library's own exact conversion reads it, bit for bit: the
// reader's quick path for plain decimals must agree with it where rounding is close (two
// roundings in a row, halfway cases, 2^53 and 2^24 neighbours), at chunk and digit-count
// limits, in exponent and sign forms, and at the very end of the input.
TEST(XFileTextRead, NumbersAreTheExactlyRoundedFloats) {
  const std::vector<std::string> tokens = {
      "0", "-0", "-0.0", ".5", "-.5", "5.", "+5.", "+.25", "1e5", "1E-5", "1e+05", "-1.5e-3", "2.e3",
      "0.1", "0.3", "7.863969e-05", "0.012515979", "-0.9999217", "1e22", "1e23", "1e-22", "1e-23",
      "3.4e38", "12345678", "123456789", "0.12345678", "0.123456789", "4294967296", "16777217",
      "9007199254740992", "9007199254740993", "1234567890123456789", "123456789012345678901234",
      "00000000000000000001.5", "0.000000000000000000000000123", "1.000000059604644775390625",
      "1.00000005960464477539062500001", "0.8554217517375946", "6.104167997837067e-01",
      "3.567447215318680e-01", "5.285356007516384e-02", "1.388242319226265e-01", "-2.826240211725235e-01",
      "5.707915544509888", "-13.530511379241943", "7.423212289810181", "-1e-5", "1.5e-0010",
  };
  ASSERT_EQ(tokens.size() % 3, 0u);
  std::string list;
  for (const std::string& t : tokens) list += t + ";";
  // The second mesh's values end within eight bytes of the end of the file.
  const MeshData m = ReadOk(kText + "Mesh { " + std::to_string(tokens.size() / 3) + "; " + list + "; 0; }\n" +
                            "Mesh { 1; 5.;-.5;6.104167997837067e-01;; 0;}");
  std::vector<std::string> all = tokens;
  all.insert(all.end(), {"5.", "-.5", "6.104167997837067e-01"});
  const std::vector<float> read = Coordinates(m.positions);
  ASSERT_EQ(read.size(), all.size());
  for (size_t i = 0; i < all.size(); ++i) {
    const std::string& t = all[i];
    float want = 0;
    const char* first = t.data() + (t[0] == '+' ? 1 : 0);
    ASSERT_EQ(std::from_chars(first, t.data() + t.size(), want).ec, std::errc()) << t;
    EXPECT_EQ(std::bit_cast<uint32_t>(read[i]), std::bit_cast<uint32_t>(want)) << t << " read as " << read[i];
  }
  // Some writers print NaN this way; it reads as zero.
  EXPECT_EQ(ReadOk(kText + "Mesh { 1; 1.#IND00;-1.#QNAN0;2;; 0; }").positions[0].x, 0);
  // Tokens that only start like a number are damage, not a number followed by a name.
  for (const char* bad : {"0x10", "0x1p3", "1e", "1e+", "1.5.5", "--1", "1f", ".", "1e5x", "12345678a"}) {
    MeshData out;
    EXPECT_EQ(ReadString(kText + "Mesh { 1; " + bad + ";0;0;; 0; }", &out), D3DRMERR_BADFILE) << bad;
  }
}

// --- Damage -----------------------------------------------------------------------------

TEST(XFileReject, DamagedFilesFailAndChangeNothing) {
  std::string deep = kText;
  for (int i = 0; i < 100; ++i) deep += "Frame {";
  deep += std::string(100, '}');
  const std::string cases[] = {
      // Headers.
      "",
      "xof 0304txt 0032 Mesh { 0; 0; }",
      "xof 0303txt 0016 Mesh { 0; 0; }",
      "xof 0303zip 0032 Mesh { 0; 0; }",
      // Indices out of range.
      kText + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,3;; }",
      TextMesh("MeshMaterialList { 1; 2; 0, 1;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } }"),
      // Structure.
      TextMesh("").substr(0, 40),
      kText + "Mesh { 1; 0;0;0;; 1; 1;0;; ",            // no closing brace
      kText + "Mesh { 1; 0;0;0;; 1; 0;; }",             // empty face
      kText + "Mesh { 1; 0;0;0;; 1; 1;4294967296;; }",  // beyond a DWORD
      kText + "template Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> DWORD n; }\n" +
          TextMesh("").substr(kText.size()),
      deep,
      // Hostile counts, which must fail without allocating.
      kText + "Mesh { 4000000000; 1;2;3;; 1; 1;0;; }",
      TextMesh("MeshNormals { 3000000000; 0;0;1;; }"),
      kText + "Mesh { 1; 0;0;0;; 1; 4000000000;0;; }",
      Bin("xof 0303bin 0032").Name("Mesh").Open().Word(6).Dword(0xFFFFFFF0u).Dword(3).s,
      Bin("xof 0303bin 0032").Name("Mesh").Open().Ints({0xFFFFFFF0u}).Reals<float>({1, 2, 3}).s,
      // A compressed body that claims 4 GiB from a few bytes.
      std::string("xof 0303bzip0032\xff\xff\xff\xff\x10\x00\x08\x00\x43K\0\0\0\0\0\0", 32),
  };
  for (const std::string& file : cases) {
    MeshData m;
    m.positions = {{5, 5, 5}};
    EXPECT_EQ(ReadString(file, &m), D3DRMERR_BADFILE) << file;
    ASSERT_EQ(m.positions.size(), 1u) << file;
    EXPECT_EQ(m.positions[0].x, 5) << file;
    EXPECT_TRUE(m.face_sizes.empty()) << file;
  }
}

// --- Reading binary ---------------------------------------------------------------------

TEST(XFileBinaryRead, ValuesFlowAcrossListBoundariesAndDoubles) {
  Bin b("xof 0303bin 0064");
  b.Name("Frame").Name("f").Open();
  b.Name("FrameTransformMatrix")
      .Open()
      .Reals<double>({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 0, 0, 1})
      .Close();
  // nVertices and two coordinates in one list each way, split where the writer liked.
  b.Name("Mesh").Name("").Open().Ints({2}).Reals<double>({1, 2}).Reals<double>({3, 4, 5, 6});
  b.Word(19).Word(3).Dword(1).Ints({3, 0, 1, 1}).Word(20);  // INTEGER token, separators
  b.Name("MeshMaterialList").Open().Ints({1, 1, 0});
  b.Name("Material").Open().Reals<double>({0.5, 0.5, 0.5, 1, 2, 0, 0, 0, 0, 0, 0});
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
