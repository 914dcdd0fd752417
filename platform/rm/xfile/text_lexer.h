// Tokens and values of the text encoding, read straight from one buffer.
#pragma once

#include "platform/rm/xfile/lexer.h"

namespace xfile {

class TextLexer final : public Lexer {
 public:
  TextLexer(const char* begin, const char* end) : p_(begin), end_(end) {}

  bool Next(Token* token) override;
  bool TryGuid(GUID* guid) override;
  bool ReadUInts(uint32_t* out, size_t count) override;
  bool ReadFloats(float* out, size_t count) override;
  bool ReadString(std::string* out) override;
  bool AtFloat() override;
  bool AtCloseBrace() override;
  size_t Remaining() const override { return static_cast<size_t>(end_ - p_); }
  // A value can be a single digit.
  size_t MinValueBytes() const override { return 1; }
  bool IsText() const override { return true; }

 private:
  void SkipSpace();
  void SkipSeparators();
  bool ParseFloat(float* out);
  bool ParseUInt(uint32_t* out);
  bool ParseGuid(GUID* guid);

  const char* p_;
  const char* end_;
};

}  // namespace xfile
