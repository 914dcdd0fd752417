#include "platform/rm/xfile/token.h"

#include <array>

namespace xfile {

namespace {

struct KeywordName {
  std::string_view name;
  Keyword keyword;
};

constexpr std::array<KeywordName, 18> kKeywordNames = {{
    {"template", Keyword::kTemplate},   {"array", Keyword::kArray},
    {"WORD", Keyword::kWord},           {"DWORD", Keyword::kDword},
    {"FLOAT", Keyword::kFloat},         {"DOUBLE", Keyword::kDouble},
    {"CHAR", Keyword::kChar},           {"UCHAR", Keyword::kUchar},
    {"SWORD", Keyword::kSword},         {"SDWORD", Keyword::kSdword},
    {"VOID", Keyword::kVoid},           {"STRING", Keyword::kString},
    {"LPSTR", Keyword::kString},        {"UNICODE", Keyword::kUnicode},
    {"CSTRING", Keyword::kCstring},     {"ULONGLONG", Keyword::kUlonglong},
    {"BINARY", Keyword::kBinary},       {"BINARY_RESOURCE", Keyword::kBinaryResource},
}};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

Keyword KeywordOfName(std::string_view name) {
  for (const KeywordName& k : kKeywordNames) {
    if (EqualNoCase(k.name, name)) return k.keyword;
  }
  return Keyword::kNone;
}

Keyword KeywordOf(const Token& token) {
  if (token.kind == TokenKind::kKeyword) return token.keyword;
  if (token.kind == TokenKind::kName) return KeywordOfName(token.text);
  return Keyword::kNone;
}

}  // namespace xfile
