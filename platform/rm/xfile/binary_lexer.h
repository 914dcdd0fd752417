// Tokens and values of the binary encoding: little-endian WORD token ids, with integer and
// float lists that the value readers consume across list boundaries.
#pragma once

#include "platform/rm/xfile/lexer.h"

namespace xfile {

class BinaryLexer final : public Lexer {
 public:
  // float_size is 4 or 8: the width of the values of every float list.
  BinaryLexer(const unsigned char* begin, const unsigned char* end, size_t float_size)
      : p_(begin), end_(end), float_size_(float_size) {}

  bool Next(Token* token) override;
  bool TryGuid(GUID* guid) override;
  bool ReadUInts(uint32_t* out, size_t count) override;
  bool ReadFloats(float* out, size_t count) override;
  bool ReadString(std::string* out) override;
  bool AtFloat() override;
  bool AtCloseBrace() override;
  size_t Remaining() const override { return static_cast<size_t>(end_ - p_); }
  // The smallest value is a DWORD or a 32-bit float inside a list.
  size_t MinValueBytes() const override { return 4; }
  bool IsText() const override { return false; }

 private:
  enum class ListKind { kNone, kIntegers, kFloats };

  // The token id at the read position, or -1 at the end of input.
  int PeekId() const;
  void SkipSeparatorTokens();
  void DropList();
  bool ReadDword(uint32_t* v);
  bool StartList(ListKind kind);

  const unsigned char* p_;
  const unsigned char* end_;
  size_t float_size_;
  // The list being consumed: its values start at p_.
  ListKind list_ = ListKind::kNone;
  size_t list_left_ = 0;
};

}  // namespace xfile
