#include "platform/rm/xfile/material_index.h"

namespace xfile {

namespace {

// Two GUIDs give the same key exactly when all their fields are equal.
std::string GuidKey(const GUID& g) {
  std::string key;
  key.reserve(16);
  for (int i = 0; i < 4; ++i) key += static_cast<char>((g.Data1 >> (8 * i)) & 0xFF);
  for (int i = 0; i < 2; ++i) key += static_cast<char>((g.Data2 >> (8 * i)) & 0xFF);
  for (int i = 0; i < 2; ++i) key += static_cast<char>((g.Data3 >> (8 * i)) & 0xFF);
  for (uint8_t b : g.Data4) key += static_cast<char>(b);
  return key;
}

// Names that compare equal ignoring ASCII case fold to the same string; other bytes stay.
std::string Folded(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

const NamedMaterial* Lookup(const std::unordered_map<std::string, size_t>& map, const std::string& key,
                            const std::vector<NamedMaterial>& materials) {
  const auto it = map.find(key);
  return it == map.end() ? nullptr : &materials[it->second];
}

}  // namespace

MaterialIndex::MaterialIndex(const std::vector<NamedMaterial>& materials) : materials_(materials) {
  // emplace leaves an existing key alone, so each key keeps its first material.
  for (size_t i = 0; i < materials.size(); ++i) {
    const NamedMaterial& m = materials[i];
    if (m.has_guid) by_guid_.emplace(GuidKey(m.guid), i);
    by_name_.emplace(m.name, i);
    by_folded_name_.emplace(Folded(m.name), i);
  }
}

const NamedMaterial* MaterialIndex::Find(const MaterialSlot& slot) const {
  if (slot.reference_has_guid) {
    if (const NamedMaterial* m = Lookup(by_guid_, GuidKey(slot.reference_guid), materials_)) return m;
  }
  if (slot.reference_name.empty()) return nullptr;
  if (const NamedMaterial* m = Lookup(by_name_, slot.reference_name, materials_)) return m;
  return Lookup(by_folded_name_, Folded(slot.reference_name), materials_);
}

}  // namespace xfile
