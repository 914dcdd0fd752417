// Compressed files: the header's format becomes "tzip"/"bzip", then a DWORD total size and
// blocks of at most 32 KiB, each a raw deflate stream primed with the 32 KiB before it.
#include <zlib.h>

#include <cstdint>

#include "platform/rm/xfile/write_plan.h"

namespace xfile {

namespace {

constexpr size_t kHeaderSize = 16;
constexpr size_t kBlock = 32768;

class RawDeflater {
 public:
  RawDeflater() { ok_ = deflateInit2(&z_, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK; }
  ~RawDeflater() {
    if (ok_) deflateEnd(&z_);
  }
  RawDeflater(const RawDeflater&) = delete;
  RawDeflater& operator=(const RawDeflater&) = delete;
  bool ok() const { return ok_; }
  z_stream* stream() { return &z_; }

 private:
  z_stream z_{};
  bool ok_ = false;
};

void PutWord(std::string* out, size_t v) {
  out->push_back(static_cast<char>(v & 0xFF));
  out->push_back(static_cast<char>((v >> 8) & 0xFF));
}

}  // namespace

bool CompressFile(const std::string& file, std::string* out) {
  if (file.size() < kHeaderSize || file.size() > UINT32_MAX) return false;
  std::string header = file.substr(0, kHeaderSize);
  header.replace(8, 4, header.compare(8, 4, "txt ") == 0 ? "tzip" : "bzip");
  out->assign(header);
  PutWord(out, file.size() & 0xFFFF);
  PutWord(out, file.size() >> 16);

  RawDeflater deflater;
  if (!deflater.ok()) return false;
  z_stream* z = deflater.stream();
  const unsigned char* body = reinterpret_cast<const unsigned char*>(file.data()) + kHeaderSize;
  size_t size = file.size() - kHeaderSize;
  unsigned char packed[kBlock + kBlock / 8 + 64];
  for (size_t at = 0; at < size; at += kBlock) {
    size_t n = size - at < kBlock ? size - at : kBlock;
    if (deflateReset(z) != Z_OK) return false;
    size_t dict = at < kBlock ? at : kBlock;
    if (dict > 0 && deflateSetDictionary(z, body + at - dict, static_cast<uInt>(dict)) != Z_OK) return false;
    z->next_in = const_cast<Bytef*>(body + at);
    z->avail_in = static_cast<uInt>(n);
    z->next_out = packed;
    z->avail_out = sizeof packed;
    if (deflate(z, Z_FINISH) != Z_STREAM_END) return false;
    size_t produced = sizeof packed - z->avail_out;
    // The packed size counts the "CK" signature and must fit a WORD.
    if (produced + 2 > 0xFFFF) return false;
    PutWord(out, n);
    PutWord(out, produced + 2);
    out->append("CK");
    out->append(reinterpret_cast<const char*>(packed), produced);
  }
  return true;
}

}  // namespace xfile
