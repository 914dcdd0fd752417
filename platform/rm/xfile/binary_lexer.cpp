#include "platform/rm/xfile/binary_lexer.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>

namespace xfile {

namespace {

enum TokenId : int {
  kIdName = 1,
  kIdString = 2,
  kIdInteger = 3,
  kIdGuid = 5,
  kIdIntegerList = 6,
  kIdFloatList = 7,
  kIdOBrace = 10,
  kIdCBrace = 11,
  kIdOParen = 12,
  kIdCParen = 13,
  kIdOBracket = 14,
  kIdCBracket = 15,
  kIdOAngle = 16,
  kIdCAngle = 17,
  kIdDot = 18,
  kIdComma = 19,
  kIdSemicolon = 20,
  kIdTemplate = 31,
  kIdWord = 40,
  kIdArray = 52,
};

// Keywords of ids kIdWord ... kIdArray in order.
constexpr Keyword kKeywordOfId[] = {
    Keyword::kWord,  Keyword::kDword,  Keyword::kFloat, Keyword::kDouble,  Keyword::kChar,
    Keyword::kUchar, Keyword::kSword,  Keyword::kSdword, Keyword::kVoid,   Keyword::kString,
    Keyword::kUnicode, Keyword::kCstring, Keyword::kArray,
};

uint32_t LoadDword(const unsigned char* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

uint16_t LoadWord(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

float FiniteOrZero(double d) {
  if (!std::isfinite(d) || std::fabs(d) > FLT_MAX) return 0;
  return static_cast<float>(d);
}

}  // namespace

int BinaryLexer::PeekId() const {
  if (end_ - p_ < 2) return -1;
  return LoadWord(p_);
}

void BinaryLexer::SkipSeparatorTokens() {
  for (;;) {
    int id = PeekId();
    if (id != kIdComma && id != kIdSemicolon) return;
    p_ += 2;
  }
}

void BinaryLexer::DropList() {
  size_t width = list_ == ListKind::kFloats ? float_size_ : 4;
  p_ += list_left_ * width;
  list_ = ListKind::kNone;
  list_left_ = 0;
}

bool BinaryLexer::ReadDword(uint32_t* v) {
  if (end_ - p_ < 4) return false;
  *v = LoadDword(p_);
  p_ += 4;
  return true;
}

// Reads a list header (the id already checked) and makes its values current.
bool BinaryLexer::StartList(ListKind kind) {
  const unsigned char* start = p_;
  p_ += 2;
  uint32_t n;
  size_t width = kind == ListKind::kFloats ? float_size_ : 4;
  if (!ReadDword(&n) || n > Remaining() / width) {
    p_ = start;
    return false;
  }
  list_ = kind;
  list_left_ = n;
  return true;
}

bool BinaryLexer::Next(Token* token) {
  DropList();
  *token = Token{};
  int id = PeekId();
  if (id < 0) return p_ == end_;  // a single stray byte is damage
  p_ += 2;
  switch (id) {
    case kIdName:
    case kIdString: {
      uint32_t n;
      if (!ReadDword(&n) || n > Remaining()) return false;
      token->kind = id == kIdName ? TokenKind::kName : TokenKind::kString;
      token->text = std::string_view(reinterpret_cast<const char*>(p_), n);
      p_ += n;
      return true;
    }
    case kIdInteger:
      token->kind = TokenKind::kNumber;
      token->is_integer = true;
      return ReadDword(&token->integer);
    case kIdGuid:
      if (end_ - p_ < 16) return false;
      token->kind = TokenKind::kGuid;
      token->guid.Data1 = LoadDword(p_);
      token->guid.Data2 = LoadWord(p_ + 4);
      token->guid.Data3 = LoadWord(p_ + 6);
      std::memcpy(token->guid.Data4, p_ + 8, 8);
      p_ += 16;
      return true;
    case kIdIntegerList:
    case kIdFloatList: {
      p_ -= 2;
      bool floats = id == kIdFloatList;
      if (!StartList(floats ? ListKind::kFloats : ListKind::kIntegers)) return false;
      token->kind = TokenKind::kNumber;
      // A one-element integer list can stand for an array dimension.
      if (!floats && list_left_ == 1) {
        token->is_integer = true;
        token->integer = LoadDword(p_);
      }
      DropList();
      return true;
    }
    case kIdOBrace: token->kind = TokenKind::kOBrace; return true;
    case kIdCBrace: token->kind = TokenKind::kCBrace; return true;
    case kIdOParen: token->kind = TokenKind::kOParen; return true;
    case kIdCParen: token->kind = TokenKind::kCParen; return true;
    case kIdOBracket: token->kind = TokenKind::kOBracket; return true;
    case kIdCBracket: token->kind = TokenKind::kCBracket; return true;
    case kIdOAngle: token->kind = TokenKind::kOAngle; return true;
    case kIdCAngle: token->kind = TokenKind::kCAngle; return true;
    case kIdDot: token->kind = TokenKind::kDot; return true;
    case kIdComma: token->kind = TokenKind::kComma; return true;
    case kIdSemicolon: token->kind = TokenKind::kSemicolon; return true;
    case kIdTemplate:
      token->kind = TokenKind::kKeyword;
      token->keyword = Keyword::kTemplate;
      return true;
    default:
      if (id >= kIdWord && id <= kIdArray) {
        token->kind = TokenKind::kKeyword;
        token->keyword = kKeywordOfId[id - kIdWord];
        return true;
      }
      return false;
  }
}

bool BinaryLexer::TryGuid(GUID* guid) {
  if (list_left_ > 0) return false;
  SkipSeparatorTokens();
  if (PeekId() != kIdGuid) return false;
  Token token;
  if (!Next(&token)) return false;
  *guid = token.guid;
  return true;
}

bool BinaryLexer::ReadUInts(uint32_t* out, size_t count) {
  while (count > 0) {
    if (list_left_ > 0) {
      if (list_ != ListKind::kIntegers) return false;
      size_t m = count < list_left_ ? count : list_left_;
      if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, p_, m * 4);
      } else {
        for (size_t i = 0; i < m; ++i) out[i] = LoadDword(p_ + 4 * i);
      }
      p_ += m * 4;
      out += m;
      count -= m;
      list_left_ -= m;
      continue;
    }
    list_ = ListKind::kNone;
    SkipSeparatorTokens();
    int id = PeekId();
    if (id == kIdIntegerList) {
      if (!StartList(ListKind::kIntegers)) return false;
    } else if (id == kIdInteger) {
      if (end_ - p_ < 6) return false;
      *out++ = LoadDword(p_ + 2);
      p_ += 6;
      --count;
    } else {
      return false;
    }
  }
  return true;
}

bool BinaryLexer::ReadFloats(float* out, size_t count) {
  while (count > 0) {
    if (list_left_ > 0) {
      if (list_ != ListKind::kFloats) return false;
      size_t m = count < list_left_ ? count : list_left_;
      if (float_size_ == 4) {
        for (size_t i = 0; i < m; ++i) {
          uint32_t bits = LoadDword(p_ + 4 * i);
          // NaN and infinity carry no position; they become 0.
          if ((bits & 0x7f800000u) == 0x7f800000u) bits = 0;
          out[i] = std::bit_cast<float>(bits);
        }
      } else {
        for (size_t i = 0; i < m; ++i) {
          uint64_t bits = uint64_t{LoadDword(p_ + 8 * i)} | (uint64_t{LoadDword(p_ + 8 * i + 4)} << 32);
          out[i] = FiniteOrZero(std::bit_cast<double>(bits));
        }
      }
      p_ += m * float_size_;
      out += m;
      count -= m;
      list_left_ -= m;
      continue;
    }
    list_ = ListKind::kNone;
    SkipSeparatorTokens();
    if (PeekId() != kIdFloatList || !StartList(ListKind::kFloats)) return false;
  }
  return true;
}

bool BinaryLexer::ReadString(std::string* out) {
  if (list_left_ > 0) return false;
  SkipSeparatorTokens();
  if (PeekId() != kIdString) return false;
  Token token;
  if (!Next(&token)) return false;
  out->assign(token.text);
  // The terminator belongs to the string; a missing one is tolerated.
  SkipSeparatorTokens();
  return true;
}

bool BinaryLexer::AtFloat() {
  if (list_left_ > 0) return list_ == ListKind::kFloats;
  SkipSeparatorTokens();
  return PeekId() == kIdFloatList;
}

bool BinaryLexer::AtCloseBrace() {
  if (list_left_ > 0) return false;
  SkipSeparatorTokens();
  return PeekId() == kIdCBrace;
}

}  // namespace xfile
