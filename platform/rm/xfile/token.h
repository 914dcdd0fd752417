// Tokens shared by the text and the binary encodings of .x files.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/rm/types.h"

namespace xfile {

enum class TokenKind {
  kEnd,  // no more input
  kName,
  kString,
  kGuid,
  kNumber,  // a stray value (text number, binary integer or list) met outside a member list
  kKeyword,
  kOBrace,
  kCBrace,
  kOParen,
  kCParen,
  kOBracket,
  kCBracket,
  kOAngle,
  kCAngle,
  kDot,
  kComma,
  kSemicolon,
};

// Reserved words of template declarations. The binary encoding has a token for most; the
// text encoding spells them as names compared without case.
enum class Keyword {
  kNone,
  kTemplate,
  kArray,
  kWord,
  kDword,
  kFloat,
  kDouble,
  kChar,
  kUchar,
  kSword,
  kSdword,
  kVoid,
  kString,
  kUnicode,
  kCstring,
  kUlonglong,
  kBinary,
  kBinaryResource,
};

struct Token {
  TokenKind kind = TokenKind::kEnd;
  Keyword keyword = Keyword::kNone;
  std::string_view text;  // name or string contents; points into the input
  uint32_t integer = 0;   // an integer number token (template array dimensions)
  bool is_integer = false;
  GUID guid{};
};

// Case-insensitive ASCII comparison, the rule for template names and keywords.
bool EqualNoCase(std::string_view a, std::string_view b);
// The keyword a text name spells, or Keyword::kNone.
Keyword KeywordOfName(std::string_view name);
// The keyword a token stands for in either encoding.
Keyword KeywordOf(const Token& token);

}  // namespace xfile
