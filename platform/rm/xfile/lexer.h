// What the object parser asks of an encoding: structural tokens, and values read in the
// order a template's members ask for them, whatever separators or list boundaries the
// writer chose.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/rm/xfile/token.h"

namespace xfile {

class Lexer {
 public:
  virtual ~Lexer() = default;

  // The next structural token. Values left unread in the current member list are dropped.
  // Returns false on malformed input; at the end of input it returns true with kEnd.
  virtual bool Next(Token* token) = 0;
  // Consumes a GUID if one comes next (after separators); false when none does.
  virtual bool TryGuid(GUID* guid) = 0;

  // Values, skipping separators. Each returns false, consuming nothing of the offending
  // token, when the next thing is not a value of that kind.
  virtual bool ReadUInts(uint32_t* out, size_t count) = 0;
  virtual bool ReadFloats(float* out, size_t count) = 0;
  virtual bool ReadString(std::string* out) = 0;
  bool ReadUInt(uint32_t* out) { return ReadUInts(out, 1); }
  bool ReadFloat(float* out) { return ReadFloats(out, 1); }

  // True when, after separators, a float value comes next.
  virtual bool AtFloat() = 0;
  // True when, after separators and with no value pending, a closing brace comes next.
  virtual bool AtCloseBrace() = 0;

  // Bytes left, and the fewest bytes one value can take: together they bound any count
  // before anything is allocated for it.
  virtual size_t Remaining() const = 0;
  virtual size_t MinValueBytes() const = 0;
  // Text strings may double their backslashes; binary strings are taken as they are.
  virtual bool IsText() const = 0;

  // True when `count` items of `values_each` values each could still fit in the input.
  bool CouldHold(uint64_t count, uint64_t values_each) const {
    return count <= Remaining() / (values_each * MinValueBytes());
  }
};

}  // namespace xfile
