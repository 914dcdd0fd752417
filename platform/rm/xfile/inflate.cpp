#include "platform/rm/xfile/inflate.h"

#include <zlib.h>

#include <cstdint>

namespace xfile {

namespace {

constexpr size_t kHeaderSize = 16;
constexpr size_t kMaxBlock = 32768;
constexpr size_t kWindow = 32768;
// Deflate can expand input about 1032 times, so a few kilobytes could make a body of
// megabytes and meshes to match. Real bodies shrink 2 to 10 times; a body that claims more
// than this many times its compressed size is refused.
constexpr uint64_t kMaxRatio = 64;

// Owns a raw-inflate stream.
class RawInflater {
 public:
  RawInflater() { ok_ = inflateInit2(&z_, -15) == Z_OK; }
  ~RawInflater() {
    if (ok_) inflateEnd(&z_);
  }
  RawInflater(const RawInflater&) = delete;
  RawInflater& operator=(const RawInflater&) = delete;
  bool ok() const { return ok_; }
  z_stream* stream() { return &z_; }

 private:
  z_stream z_{};
  bool ok_ = false;
};

}  // namespace

bool InflateBody(const unsigned char* data, size_t size, std::vector<unsigned char>* body) {
  if (size < 4) return false;
  uint64_t declared = uint32_t{data[0]} | (uint32_t{data[1]} << 8) | (uint32_t{data[2]} << 16) |
                      (uint32_t{data[3]} << 24);
  if (declared < kHeaderSize) return false;
  uint64_t expected = declared - kHeaderSize;
  if (expected > (uint64_t{size} + 64) * kMaxRatio) return false;

  RawInflater inflater;
  if (!inflater.ok()) return false;
  z_stream* z = inflater.stream();
  // Grown block by block, so the memory follows what the data really produces.
  std::vector<unsigned char> out;
  out.reserve(static_cast<size_t>(expected < uint64_t{size} * 16 ? expected : uint64_t{size} * 16));
  size_t produced = 0;
  bool stream_ended = false;
  size_t pos = 4;
  while (pos < size) {
    if (size - pos < 6) return false;
    size_t block_size = data[pos] | (data[pos + 1] << 8);
    size_t packed = data[pos + 2] | (data[pos + 3] << 8);
    // The packed size counts the two signature bytes.
    if (block_size == 0 || block_size > kMaxBlock || packed < 2 || packed > size - pos - 4) return false;
    if (data[pos + 4] != 'C' || data[pos + 5] != 'K') return false;
    if (block_size > expected - produced) return false;
    out.resize(produced + block_size);

    // Each block is usually a deflate stream of its own that starts from the history of
    // the bytes before it; a writer may also continue one stream across blocks.
    if (stream_ended) {
      if (inflateReset(z) != Z_OK) return false;
      size_t dict = produced < kWindow ? produced : kWindow;
      if (dict > 0 && inflateSetDictionary(z, out.data() + produced - dict, static_cast<uInt>(dict)) != Z_OK)
        return false;
    }
    z->next_in = const_cast<Bytef*>(data + pos + 6);
    z->avail_in = static_cast<uInt>(packed - 2);
    z->next_out = out.data() + produced;
    z->avail_out = static_cast<uInt>(block_size);
    int rc = inflate(z, Z_FINISH);
    if (rc == Z_STREAM_END) {
      stream_ended = true;
    } else if ((rc == Z_OK || rc == Z_BUF_ERROR) && z->avail_out == 0) {
      stream_ended = false;
    } else {
      return false;
    }
    if (z->avail_out != 0) return false;
    produced += block_size;
    pos += 4 + packed;
  }
  if (produced != expected) return false;
  *body = std::move(out);
  return true;
}

}  // namespace xfile
