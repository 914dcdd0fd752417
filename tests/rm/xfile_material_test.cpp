// .x material lists: counts the file cannot back, and which named material a reference
// resolves to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/rm/xfile/material_index.h"
#include "platform/rm/xfile/xfile.h"

namespace {

const std::string kHeader = "xof 0302txt 0032\n";
// One triangle; `list` goes inside the mesh.
std::string Triangle(const std::string& list) {
  return "Mesh {3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n" + list + "}\n";
}
std::string Material(const std::string& name, float red, const std::string& guid = "") {
  return "Material " + name + " {" + guid + " " + std::to_string(red) + ";0;0;1;; 0; 0;0;0;; 0;0;0;; }\n";
}

HRESULT ReadText(const std::string& text, MeshData* out) {
  return xfile::Read(reinterpret_cast<const unsigned char*>(text.data()), text.size(), out);
}

// ---- counts -----------------------------------------------------------------------------

TEST(XFileMaterialCount, ListsTogetherCountNoMoreMaterialsThanTheFileHolds) {
  // `lists` lists each counting `each`; blank space after them gives each list on its own
  // bytes enough after it.
  const auto file = [](int lists, size_t each, size_t blank) {
    std::string body;
    for (int i = 0; i < lists; ++i)
      body += Triangle("MeshMaterialList {" + std::to_string(each) + "; 1; 0;; }");
    return kHeader + body + std::string(blank, ' ');
  };
  const size_t bytes = file(4, 100, 2000).size();
  const struct {
    std::string file;
    HRESULT result;
    size_t materials;
  } cases[] = {
      {file(1, 2000000, 0), D3DRMERR_BADFILE, 0},
      {file(1, 500000000, 0), D3DRMERR_BADFILE, 0},
      {file(1, 4000000000, 0), D3DRMERR_BADFILE, 0},
      {file(4, bytes / 5, 2000), D3DRM_OK, 4 * (bytes / 5)},
      {file(4, bytes * 2 / 5, 2000), D3DRMERR_BADFILE, 0},
  };
  for (const auto& c : cases) {
    MeshData out;
    if (c.result != D3DRM_OK) out.positions = {{7, 8, 9}};
    EXPECT_EQ(ReadText(c.file, &out), c.result) << c.file.substr(0, 120);
    EXPECT_EQ(out.materials.size(), c.materials) << c.file.substr(0, 120);
    EXPECT_EQ(out.positions.size(), c.result == D3DRM_OK ? 12u : 1u);  // a failed read changes nothing
  }
}

TEST(XFileMaterialCount, AListMayCountMoreMaterialsThanItGives) {
  MeshData out;
  ASSERT_EQ(ReadText(kHeader + Triangle("MeshMaterialList {3; 1; 1;; " + Material("", 0.5f) + "}"), &out),
            D3DRM_OK);
  ASSERT_EQ(out.materials.size(), 3u);
  EXPECT_FLOAT_EQ(out.materials[0].r, 0.5f);
  EXPECT_FLOAT_EQ(out.materials[1].r, 1.0f);
  EXPECT_FLOAT_EQ(out.materials[2].g, 1.0f);
  EXPECT_EQ(out.face_materials, std::vector<uint32_t>{1});
}

// ---- references -------------------------------------------------------------------------

// The red value of the material each reference resolves to, or -1 when the file fails.
float ResolvedRed(const std::string& materials, const std::string& reference) {
  MeshData out;
  if (ReadText(kHeader + materials + Triangle("MeshMaterialList {1; 1; 0;; {" + reference + "} }"), &out) !=
      D3DRM_OK)
    return -1;
  return out.materials.empty() ? -2 : out.materials[0].r;
}

const std::string kGuidA = "<11111111-2222-3333-4444-555555555555>";
const std::string kGuidB = "<11111111-2222-3333-4444-555555555556>";

TEST(XFileMaterialReferences, WhichMaterialANameOrGuidFinds) {
  struct Case {
    const char* what;
    std::string materials;
    std::string reference;
    float red;
  };
  const Case cases[] = {
      {"the first of two with one name", Material("Red", 0.1f) + Material("Red", 0.2f), "Red", 0.1f},
      {"an exact name before a case-blind one", Material("RED", 0.1f) + Material("Red", 0.2f), "Red", 0.2f},
      {"the first case-blind one", Material("RED", 0.1f) + Material("rEd", 0.2f), "red", 0.1f},
      {"a GUID before a name", Material("A", 0.1f, kGuidA) + Material("B", 0.2f), "B " + kGuidA, 0.1f},
      {"the first of two with one GUID", Material("A", 0.1f, kGuidA) + Material("C", 0.3f, kGuidA), kGuidA,
       0.1f},
      {"a name when the GUID is unknown", Material("A", 0.1f, kGuidA) + Material("B", 0.2f), "B " + kGuidB,
       0.2f},
      {"nothing for an unknown GUID alone", Material("A", 0.1f, kGuidA), kGuidB, -1},
      {"nothing for an unknown name", Material("A", 0.1f), "Z", -1},
      {"nothing for a longer name", Material("Red", 0.1f), "Reds", -1},
  };
  for (const Case& c : cases) EXPECT_FLOAT_EQ(ResolvedRed(c.materials, c.reference), c.red) << c.what;
}

TEST(XFileMaterialReferences, ThousandsOfReferencesEachFindTheirOwn) {
  const int n = 3000;
  std::string materials, refs;
  std::vector<int> order(n);
  for (int i = 0; i < n; ++i) {
    materials += Material("M" + std::to_string(i), static_cast<float>(i));
    order[i] = i;
  }
  std::shuffle(order.begin(), order.end(), std::mt19937(5));
  for (int i : order) refs += "{m" + std::to_string(i) + "}\n";
  MeshData out;
  ASSERT_EQ(ReadText(kHeader + materials +
                         Triangle("MeshMaterialList {" + std::to_string(n) + "; 1; 0;;\n" + refs + "}"),
                     &out),
            D3DRM_OK);
  ASSERT_EQ(out.materials.size(), static_cast<size_t>(n));
  for (int k = 0; k < n; ++k) ASSERT_EQ(out.materials[k].r, static_cast<float>(order[k])) << k;
}

// The index against the plain search it replaces: a pass for the GUID, one for the exact
// name, one for the name ignoring ASCII case, each taking the first that fits.
const xfile::NamedMaterial* PlainSearch(const std::vector<xfile::NamedMaterial>& all,
                                        const xfile::MaterialSlot& slot) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  const std::string& name = slot.reference_name;
  const std::function<bool(const xfile::NamedMaterial&)> passes[] = {
      [&](const auto& m) {
        return slot.reference_has_guid && m.has_guid &&
               !std::memcmp(&m.guid, &slot.reference_guid, sizeof(GUID));
      },
      [&](const auto& m) { return !name.empty() && m.name == name; },
      [&](const auto& m) { return !name.empty() && std::ranges::equal(m.name, name, {}, lower, lower); },
  };
  for (const auto& pass : passes)
    for (const auto& m : all)
      if (pass(m)) return &m;
  return nullptr;
}

TEST(XFileMaterialReferences, TheIndexFindsWhatAPlainSearchFinds) {
  const std::string names[] = {"", "a", "A", "b", "B", "ab", "aB", "Ab", "[", "{", "\xC4", "\xE4"};
  GUID guids[3] = {};
  for (int g = 0; g < 3; ++g) guids[g].Data4[7] = static_cast<uint8_t>(g);
  guids[2].Data1 = 1;
  std::mt19937 random(42);
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 300; ++round) {
    std::vector<xfile::NamedMaterial> all(static_cast<size_t>(pick(8)));
    for (auto& m : all) {
      m.name = names[pick(12)];
      m.has_guid = pick(2) == 0;
      m.guid = guids[pick(3)];
    }
    const xfile::MaterialIndex index(all);
    for (int q = 0; q < 20; ++q) {
      xfile::MaterialSlot slot;
      slot.is_reference = true;
      slot.reference_name = names[pick(12)];
      slot.reference_has_guid = pick(2) == 0;
      slot.reference_guid = guids[pick(3)];
      ASSERT_EQ(index.Find(slot), PlainSearch(all, slot)) << "round " << round << " query " << q;
    }
  }
}

}  // namespace
