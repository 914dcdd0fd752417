#include "platform/rm/xfile/text_lexer.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace xfile {

namespace {

enum CharClass : uint8_t {
  kOther = 0,
  kSpace = 1,      // blanks and line ends
  kSeparator = 2,  // ',' and ';'
  kHash = 4,       // '#' starts a comment
  kSlash = 8,      // '/' starts a comment when doubled
  kNameChar = 16,  // letters, digits, '_', '-' and '.' inside a name
  kDigit = 32,
};

constexpr std::array<uint8_t, 256> MakeClasses() {
  std::array<uint8_t, 256> t{};
  t[' '] = t['\t'] = t['\r'] = t['\n'] = t['\f'] = t['\v'] = kSpace;
  t[','] = t[';'] = kSeparator;
  t['#'] = kHash;
  t['/'] = kSlash;
  for (int c = 'a'; c <= 'z'; ++c) t[c] = kNameChar;
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = kNameChar;
  for (int c = '0'; c <= '9'; ++c) t[c] = kNameChar | kDigit;
  t['_'] = t['-'] = t['.'] = kNameChar;
  return t;
}

constexpr std::array<uint8_t, 256> kClass = MakeClasses();

inline uint8_t ClassOf(char c) { return kClass[static_cast<unsigned char>(c)]; }

// Up to eight decimal digits starting at `q`, which must have eight readable bytes: how
// many lead, and their value. Eight bytes at a time with no branch per digit, because a
// branch on where each number ends mispredicts on nearly every value of a mesh.
inline int LeadingDigits(const char* q, uint32_t* value) {
  uint64_t x;
  std::memcpy(&x, q, 8);
  if constexpr (std::endian::native != std::endian::little) x = __builtin_bswap64(x);
  // High nibble of a byte is non-zero where the byte is not '0'..'9'. A carry out of
  // a byte of 0xFA..0xFF only reaches later bytes, after the first non-digit.
  const uint64_t non_digit = ((x & 0xF0F0F0F0F0F0F0F0u) ^ 0x3030303030303030u) |
                             (((x + 0x0606060606060606u) & 0xF0F0F0F0F0F0F0F0u) ^ 0x3030303030303030u);
  const int n = std::countr_zero(non_digit) / 8;
  // The digits moved to the top bytes, so the bytes below act as leading zeros; then
  // pairs, quads and the eight combine by multiplication. No digits give zero.
  uint64_t v = ((x & 0x0F0F0F0F0F0F0F0Fu) << ((8 * (8 - n)) & 63)) & (uint64_t{0} - (n != 0));
  v = (v * 10) + (v >> 8);
  v = (((v & 0x000000FF000000FFu) * (100 + (1000000ull << 32))) +
       (((v >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32)))) >>
      32;
  *value = static_cast<uint32_t>(v);
  return n;
}

constexpr uint64_t kIntegerPowers[9] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
constexpr double kExactPowers[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                     1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// FastDecimal for the usual shape, up to 7 digits, a point and up to 15 digits, read in
// three chunks with no branch on the lengths, which vary from value to value. Needs 24
// readable bytes from `q`, past any sign.
bool FixedPointDecimal(const char* q, bool negative, float* out, const char** stop) {
  uint32_t whole, high, low;
  const int nw = LeadingDigits(q, &whole);
  if (nw == 8 || q[nw] != '.') return false;
  const char* f = q + nw + 1;
  const int nh = LeadingDigits(f, &high);
  int nl = LeadingDigits(f + 8, &low);
  nl = nh == 8 ? nl : 0;
  low = nh == 8 ? low : 0;
  const int fraction = nh + nl;
  const char* after = f + fraction;
  if (nl == 8 || nw + fraction == 0 || *after == 'e' || *after == 'E') return false;
  // Twenty digits or more might not fit the 64-bit significand; they go the long way.
  if (nw + fraction > 19) return false;
  const uint64_t significand = (uint64_t{whole} * kIntegerPowers[nh] + high) * kIntegerPowers[nl] + low;
  if (significand > (uint64_t{1} << 53)) return false;
  const double d = static_cast<double>(static_cast<int64_t>(significand)) / kExactPowers[fraction];
  if ((std::bit_cast<uint64_t>(d) & 0x1FFFFFFFu) == 0x10000000u) [[unlikely]] return false;
  const float v = static_cast<float>(d);
  *out = negative ? -v : v;
  *stop = after;
  return true;
}

// The value of a plain decimal (`-`, digits, `.`, digits, an exponent) in the common case
// where it can be found exactly and quickly; false leaves the token to std::from_chars.
// The result is the same float from_chars gives: with at most 2^53 as significand and
// a power of ten of at most 22, both are exact doubles and one multiply or divide rounds
// once. Rounding that double again to float is right unless the double landed exactly
// halfway between two floats, where the decimal may have been on either side: those few
// go to from_chars. `stop` is where from_chars would stop too.
bool FastDecimal(const char* q, const char* end, float* out, const char** stop) {
  const bool negative = q < end && *q == '-';
  if (negative) ++q;
  // Room for the three chunks of the usual shape; its point is within the first eight bytes.
  if (end - q >= 24 && FixedPointDecimal(q, negative, out, stop)) return true;
  uint64_t significand = 0;
  // Eight digits at a time; the input's last few bytes one at a time.
  auto scan = [&]() {
    int count = 0;
    for (;;) {
      uint32_t chunk = 0;
      int n = 0;
      if (end - q >= 8) {
        n = LeadingDigits(q, &chunk);
      } else {
        while (q + n < end && n < 8 && (ClassOf(q[n]) & kDigit))
          chunk = chunk * 10 + static_cast<uint32_t>(q[n++] - '0');
      }
      significand = significand * kIntegerPowers[n] + chunk;
      count += n;
      q += n;
      if (n < 8 || count > 19) return count;
    }
  };
  int digits = scan(), fraction = 0;
  if (q < end && *q == '.') {
    ++q;
    fraction = scan();
  }
  digits += fraction;
  // No digits at all (".", "inf", "nan"), or more than a 64-bit significand holds.
  if (digits == 0 || digits > 19) return false;
  int exponent = 0;
  if (q < end && (*q == 'e' || *q == 'E')) [[unlikely]] {
    const char* e = q + 1;
    const bool minus = e < end && *e == '-';
    if (e < end && (*e == '-' || *e == '+')) ++e;
    const char* first = e;
    while (e < end && (ClassOf(*e) & kDigit)) {
      if (e - first == 4) return false;
      exponent = exponent * 10 + (*e++ - '0');
    }
    // "1e" and "1e+" end before the 'e', as from_chars reads them.
    if (e != first) {
      q = e;
      if (minus) exponent = -exponent;
    }
  }
  exponent -= fraction;
  if (significand > (uint64_t{1} << 53) || exponent < -22 || exponent > 22) return false;
  double d = static_cast<double>(static_cast<int64_t>(significand));
  d = exponent < 0 ? d / kExactPowers[-exponent] : d * kExactPowers[exponent];
  // A double exactly halfway between two floats has its 29 bits below float precision
  // equal to 1000...0; everything in this range is a normal number in both widths.
  if ((std::bit_cast<uint64_t>(d) & 0x1FFFFFFFu) == 0x10000000u) [[unlikely]] return false;
  const float f = static_cast<float>(d);
  *out = negative ? -f : f;
  *stop = q;
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

void TextLexer::SkipSpace() {
  while (p_ < end_) {
    uint8_t c = ClassOf(*p_);
    if (c & kSpace) {
      ++p_;
    } else if ((c & kHash) || ((c & kSlash) && p_ + 1 < end_ && p_[1] == '/')) {
      const void* eol = std::memchr(p_, '\n', static_cast<size_t>(end_ - p_));
      p_ = eol ? static_cast<const char*>(eol) + 1 : end_;
    } else {
      return;
    }
  }
}

void TextLexer::SkipSeparators() {
  // A local cursor: through the char reads the compiler would otherwise store p_ and
  // reload end_ at every byte.
  const char* p = p_;
  const char* const end = end_;
  while (p < end) {
    uint8_t c = ClassOf(*p);
    if (c & (kSpace | kSeparator)) {
      ++p;
    } else if ((c & kHash) || ((c & kSlash) && p + 1 < end && p[1] == '/')) {
      const void* eol = std::memchr(p, '\n', static_cast<size_t>(end - p));
      p = eol ? static_cast<const char*>(eol) + 1 : end;
    } else {
      break;
    }
  }
  p_ = p;
}

bool TextLexer::ParseFloat(float* out) {
  const char* q = p_;
  if (q < end_ && *q == '+') ++q;
  float v = 0;
  const char* ptr;
  if (!FastDecimal(q, end_, &v, &ptr)) {
    auto [stop, ec] = std::from_chars(q, end_, v, std::chars_format::general);
    if (ec == std::errc::invalid_argument) return false;
    // Overflow and underflow both leave v unset; either way the value is not usable.
    if (ec == std::errc::result_out_of_range) v = 0;
    ptr = stop;
  }
  // Some exporters print NaN as "1.#IND00" or "1.#QNAN0"; the digits before '#' are noise.
  if (ptr + 1 < end_ && ptr[0] == '.' && ptr[1] == '#') ++ptr;
  if (ptr < end_ && *ptr == '#') {
    while (ptr < end_ && (ClassOf(*ptr) & kNameChar || *ptr == '#')) ++ptr;
    v = 0;
  }
  if (ptr < end_ && (ClassOf(*ptr) & kNameChar) && *ptr != '-') return false;
  if (!std::isfinite(v)) v = 0;
  *out = v;
  p_ = ptr;
  return true;
}

bool TextLexer::ParseUInt(uint32_t* out) {
  const char* q = p_;
  if (q < end_ && *q == '+') ++q;
  const char* digits = q;
  uint64_t v = 0;
  if (end_ - q >= 8) {
    uint32_t chunk = 0;
    const int n = LeadingDigits(q, &chunk);
    v = chunk;
    q += n;
    // Up to eight digits cannot overflow; longer numbers go on one digit at a time.
    if (n < 8) {
      if (n == 0) return false;
      if (q < end_ && (ClassOf(*q) & kNameChar) && *q != '-') return false;
      *out = chunk;
      p_ = q;
      return true;
    }
  }
  while (q < end_ && (ClassOf(*q) & kDigit)) {
    v = v * 10 + static_cast<uint64_t>(*q - '0');
    if (v > UINT32_MAX) return false;
    ++q;
  }
  if (q == digits) return false;
  if (q < end_ && (ClassOf(*q) & kNameChar) && *q != '-') return false;
  *out = static_cast<uint32_t>(v);
  p_ = q;
  return true;
}

bool TextLexer::ParseGuid(GUID* guid) {
  // <XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX>
  constexpr size_t kLength = 38;
  if (static_cast<size_t>(end_ - p_) < kLength || p_[0] != '<' || p_[kLength - 1] != '>') return false;
  uint8_t bytes[16];
  size_t n = 0;
  for (size_t i = 1; i < kLength - 1;) {
    if (i == 9 || i == 14 || i == 19 || i == 24) {
      if (p_[i] != '-') return false;
      ++i;
      continue;
    }
    int hi = HexValue(p_[i]), lo = HexValue(p_[i + 1]);
    if (hi < 0 || lo < 0 || n >= 16) return false;
    bytes[n++] = static_cast<uint8_t>(hi * 16 + lo);
    i += 2;
  }
  if (n != 16) return false;
  guid->Data1 = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
  guid->Data2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
  guid->Data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
  std::memcpy(guid->Data4, bytes + 8, 8);
  p_ += kLength;
  return true;
}

bool TextLexer::Next(Token* token) {
  SkipSpace();
  *token = Token{};
  if (p_ >= end_) return true;
  char c = *p_;
  auto punct = [&](TokenKind kind) {
    token->kind = kind;
    ++p_;
    return true;
  };
  switch (c) {
    case '{': return punct(TokenKind::kOBrace);
    case '}': return punct(TokenKind::kCBrace);
    case '(': return punct(TokenKind::kOParen);
    case ')': return punct(TokenKind::kCParen);
    case '[': return punct(TokenKind::kOBracket);
    case ']': return punct(TokenKind::kCBracket);
    case ',': return punct(TokenKind::kComma);
    case ';': return punct(TokenKind::kSemicolon);
    case '<':
      token->kind = TokenKind::kGuid;
      return ParseGuid(&token->guid);
    case '"': {
      const char* close =
          static_cast<const char*>(std::memchr(p_ + 1, '"', static_cast<size_t>(end_ - p_ - 1)));
      if (!close) return false;
      token->kind = TokenKind::kString;
      token->text = std::string_view(p_ + 1, static_cast<size_t>(close - p_ - 1));
      p_ = close + 1;
      return true;
    }
    default: break;
  }
  bool digit_next = p_ + 1 < end_ && (ClassOf(p_[1]) & kDigit);
  if (c == '.' && !digit_next) return punct(TokenKind::kDot);
  if ((ClassOf(c) & kDigit) || c == '-' || c == '+' || c == '.') {
    // A number, unless what follows the digits makes it a name such as "3DObject".
    const char* start = p_;
    uint32_t integer = 0;
    if (ParseUInt(&integer)) {
      token->kind = TokenKind::kNumber;
      token->is_integer = true;
      token->integer = integer;
      return true;
    }
    float ignored;
    if (ParseFloat(&ignored)) {
      token->kind = TokenKind::kNumber;
      return true;
    }
    p_ = start;
    if (c == '+' || c == '.') return false;
  } else if (!(ClassOf(c) & kNameChar)) {
    return false;
  }
  const char* start = p_;
  while (p_ < end_ && (ClassOf(*p_) & kNameChar)) ++p_;
  token->kind = TokenKind::kName;
  token->text = std::string_view(start, static_cast<size_t>(p_ - start));
  return true;
}

bool TextLexer::TryGuid(GUID* guid) {
  SkipSeparators();
  return p_ < end_ && *p_ == '<' && ParseGuid(guid);
}

bool TextLexer::ReadUInts(uint32_t* out, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    SkipSeparators();
    if (!ParseUInt(out + i)) return false;
  }
  return true;
}

bool TextLexer::ReadFloats(float* out, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    SkipSeparators();
    if (!ParseFloat(out + i)) return false;
  }
  return true;
}

bool TextLexer::ReadString(std::string* out) {
  SkipSeparators();
  if (p_ >= end_ || *p_ != '"') return false;
  const char* close = static_cast<const char*>(std::memchr(p_ + 1, '"', static_cast<size_t>(end_ - p_ - 1)));
  if (!close) return false;
  out->assign(p_ + 1, close);
  p_ = close + 1;
  return true;
}

bool TextLexer::AtFloat() {
  SkipSeparators();
  const char* start = p_;
  float ignored;
  bool ok = ParseFloat(&ignored);
  p_ = start;
  return ok;
}

bool TextLexer::AtCloseBrace() {
  SkipSeparators();
  return p_ < end_ && *p_ == '}';
}

}  // namespace xfile
