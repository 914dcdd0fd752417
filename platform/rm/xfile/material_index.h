// Resolves material-list references to the file's named materials through hash tables
// built once, so a file of many references costs one lookup each.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/rm/xfile/scene.h"

namespace xfile {

class MaterialIndex {
 public:
  explicit MaterialIndex(const std::vector<NamedMaterial>& materials);

  // A reference with a GUID takes the first material of that GUID; failing that (or
  // without a GUID) a named reference takes the first material of exactly that name, then
  // the first whose name differs only in ASCII case. Null when none fits.
  const NamedMaterial* Find(const MaterialSlot& slot) const;

 private:
  const std::vector<NamedMaterial>& materials_;
  // Each maps a key to the first material that has it.
  std::unordered_map<std::string, size_t> by_guid_;
  std::unordered_map<std::string, size_t> by_name_;
  std::unordered_map<std::string, size_t> by_folded_name_;
};

}  // namespace xfile
