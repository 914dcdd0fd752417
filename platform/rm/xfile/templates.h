// Template declarations: the standard set built in, and those a file declares.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/rm/types.h"
#include "platform/rm/xfile/lexer.h"

namespace xfile {

struct TemplateMember {
  Keyword type = Keyword::kNone;  // a primitive type, or kNone for a template-typed member
  std::string type_name;          // the template of a template-typed member
  std::string name;               // may be empty for a non-array member
  bool is_array = false;
  // Array dimensions: a fixed size, or (when `ref` is set) the value of an earlier member.
  struct Dim {
    uint32_t size = 0;
    std::string ref;
  };
  std::vector<Dim> dims;
};

struct Template {
  enum class Restriction { kClosed, kOpen, kRestricted };
  std::string name;
  GUID guid{};
  std::vector<TemplateMember> members;
  Restriction restriction = Restriction::kClosed;
  std::vector<std::string> allowed;  // child templates of a restricted template
};

// Templates by name, compared without case; a later declaration replaces an earlier one.
class TemplateTable {
 public:
  const Template* Find(std::string_view name) const;
  void Add(Template t);
  const std::vector<Template>& all() const { return templates_; }

 private:
  std::vector<Template> templates_;
};

// The declarations of the standard templates as a text body, in dependency order.
std::string_view StandardTemplateText();
const TemplateTable& StandardTemplates();

// Parses a declaration after its `template` keyword.
bool ParseTemplate(Lexer& lexer, Template* out);

// The reader interprets some standard templates with their fixed layout. A file that
// declares one of them with another layout cannot be read that way.
bool KeepsStandardLayout(const Template& t);

}  // namespace xfile
