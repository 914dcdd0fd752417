// The 3DS reader: a walk over the chunk tree that keeps only the vertex and face lists of
// mesh objects.
#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "files/studio.h"

namespace {

// A sound parse reads each byte of the file about once; one that reads this many times
// the file's size (plus a little for the 0xFF bytes past its end) is going round in
// chunks whose lengths lead back over the same bytes, which only damage produces.
constexpr uint64_t kReadsPerByte = 8;
constexpr uint64_t kReadsSlack = 4096;

constexpr uint16_t kSmoothingId = 0x4150;
constexpr unsigned kVertexBytes = 12;  // x, y, z
constexpr unsigned kFaceBytes = 8;     // a, b, c, flags
constexpr size_t kShortNameBytes = 12;

static_assert(sizeof(D3DVECTOR) == kVertexBytes);

uint16_t Load16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// The arrays grow the way the lists ask, but the first growth of a parse reserves all
// that the file could hold: untouched pages cost nothing, and a file of many objects is
// then never copied from one array to a larger one.
template <class T>
void GrowTo(std::vector<T>* v, size_t size, size_t could_hold) {
  if (size > v->capacity()) v->reserve(std::max(size, could_hold));
  v->resize(size);
}

void CopyVertices(const unsigned char* p, unsigned count, D3DVECTOR* out) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(static_cast<void*>(out), p, size_t{count} * kVertexBytes);
  } else {
    const auto load = [](const unsigned char* q) {
      return std::bit_cast<float>(uint32_t{q[0]} | uint32_t{q[1]} << 8 | uint32_t{q[2]} << 16 |
                                  uint32_t{q[3]} << 24);
    };
    for (unsigned i = 0; i < count; ++i, p += kVertexBytes) out[i] = {load(p), load(p + 4), load(p + 8)};
  }
}

}  // namespace

// ---- primitives -------------------------------------------------------------------------

// Every read is charged to the budget; running out marks the file damaged, and every loop
// of the walk stops on that, so no file keeps the reader busy for long.
bool Studio::Spend(uint64_t bytes) {
  if (bytes > budget_) {
    budget_ = 0;
    damaged = true;
    return false;
  }
  budget_ -= bytes;
  return true;
}

uint8_t Studio::ReadChar() {
  Spend(1);
  if (pos_ >= size_) return 0xFF;
  return image_[pos_++];
}

uint16_t Studio::ReadInt() {
  const uint16_t lo = ReadChar();
  return static_cast<uint16_t>(lo | (ReadChar() << 8));
}

uint32_t Studio::ReadLong() {
  const uint32_t lo = ReadInt();
  return lo | (uint32_t{ReadInt()} << 16);
}

float Studio::ReadFloat() { return std::bit_cast<float>(ReadLong()); }

uint64_t Studio::GetChunkPointer() const { return pos_ >= 2 ? pos_ - 2 : 0; }

uint32_t Studio::ReadChunkPointer() { return ReadLong(); }

void Studio::ChangeChunkPointer(uint64_t pos) { pos_ = pos; }

// Passes over data that is read only to be dropped.
void Studio::Skip(uint64_t bytes) {
  Spend(bytes);
  if (pos_ < size_) pos_ = std::min(size_, pos_ + bytes);
}

int Studio::ReadName() {
  std::strcpy(temp_name, "Default name");
  uint8_t c = ReadChar();
  if (c == 0) return -1;
  temp_name[0] = static_cast<char>(c);
  size_t n = 1;  // bytes read
  do {
    c = ReadChar();
    temp_name[n++] = static_cast<char>(c);
  } while (c != 0 && n < kShortNameBytes);
  temp_name[n - 1] = 0;
  return 0;
}

// Material names have no bound in the file; what does not fit the buffer is read and
// dropped. The end of the file ends a name too: past it no byte reads as the terminator.
int Studio::ReadLongName() {
  std::strcpy(temp_name, "Default name");
  uint8_t c = ReadChar();
  if (c == 0) return -1;
  temp_name[0] = static_cast<char>(c);
  size_t n = 1;
  while (c != 0 && pos_ < size_ && !damaged) {
    c = ReadChar();
    if (n < sizeof temp_name) temp_name[n] = static_cast<char>(c);
    ++n;
  }
  temp_name[std::min(n - 1, sizeof temp_name - 1)] = 0;
  return 0;
}

// ---- the chunk frame --------------------------------------------------------------------

Studio::Chunk Studio::BeginChunk() {
  Chunk chunk;
  chunk.start = GetChunkPointer();
  chunk.length = ReadChunkPointer();
  return chunk;
}

uint32_t Studio::EndChunk(const Chunk& chunk) {
  ChangeChunkPointer(chunk.start + chunk.length);
  return chunk.length;
}

uint32_t Studio::ReadUnknownChunk(uint16_t id) {
  current_chunk = id;
  return EndChunk(BeginChunk());
}

// The count starts at the header's 6 bytes and takes 2 more for every id read, known or
// not, on top of a known child's own length; data read before the loop is not counted.
// An unknown id is passed over as just those 2 bytes.
void Studio::ReadChildren(const Chunk& chunk, std::span<const Child> children, bool until_views) {
  uint64_t consumed = 6;
  do {
    // Past the end every id reads as 0xFFFF, which no container knows: the rest of the
    // loop could only count up to the length.
    if (pos_ >= size_ || damaged) return;
    const uint16_t id = ReadInt();
    current_chunk = id;
    for (const Child& child : children) {
      if (child.id != id) continue;
      consumed += child.read ? (this->*child.read)() : ReadUnknownChunk(id);
      break;
    }
    consumed += 2;
  } while (consumed < chunk.length && !(until_views && views_read > 3));
}

// ---- the file ---------------------------------------------------------------------------

// Reads the whole file once: the walk seeks back and forth, which then costs nothing.
void Studio::TakeImage() {
  image_.reset();
  size_ = 0;
  if (!bin3ds) return;
  std::fseek(bin3ds, 0, SEEK_SET);
  // A regular file's size sizes the copy; anything else (a directory reports sizes that
  // are no byte count) is read through.
  struct stat st {};
  const int fd = fileno(bin3ds);
  if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    image_ = std::make_unique_for_overwrite<unsigned char[]>(static_cast<size_t>(st.st_size));
    size_ = std::fread(image_.get(), 1, static_cast<size_t>(st.st_size), bin3ds);
    return;
  }
  std::vector<unsigned char> bytes;
  unsigned char block[1 << 16];
  for (size_t n; (n = std::fread(block, 1, sizeof block, bin3ds)) > 0;)
    bytes.insert(bytes.end(), block, block + n);
  image_ = std::make_unique_for_overwrite<unsigned char[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), image_.get());
  size_ = bytes.size();
}

int Studio::ReadPrimaryChunk() {
  damaged = false;
  TakeImage();
  pos_ = 0;
  budget_ = kReadsPerByte * size_ + kReadsSlack;
  grown_vertices_ = grown_faces_ = 0;
  current_chunk = ReadInt();
  if (current_chunk == 0x4D4D) {
    ChangeChunkPointer(2);
    ReadMainChunk();
  }
  if (damaged) {
    verts = {};
    facesl = {};
    numb_faces = numb_vertices = 0;
    vertex_count = face_count = 0;
    current_face = current_vertex = object_offset = 0;
    material_count = 0;
  }
  image_.reset();
  size_ = pos_ = 0;
  return 1;
}

// ---- containers -------------------------------------------------------------------------

uint32_t Studio::ReadMainChunk() {
  static constexpr Child kChildren[] = {{0x3D3D, &Studio::ReadEditChunk}, {0xB000, &Studio::ReadKeyFChunk}};
  const Chunk chunk = BeginChunk();
  ReadChildren(chunk, kChildren);
  return EndChunk(chunk);
}

uint32_t Studio::ReadEditChunk() {
  static constexpr Child kChildren[] = {
      {0x4000, &Studio::ReadObjectChunk},
      {0x1200, &Studio::ReadBackgrChunk},
      {0x2100, &Studio::ReadAmbientChunk},
      {0x7001, &Studio::ReadViewMainDefChunk},
      {0xAFFF, &Studio::ReadMaterialsChunk},
      {0x1100, nullptr},
      {0x1201, nullptr},
      {0x1300, nullptr},
      {0x1400, nullptr},
      {0x1420, nullptr},
      {0x1450, nullptr},
      {0x1500, nullptr},
      {0x2200, nullptr},
      {0x2201, nullptr},
      {0x2210, nullptr},
      {0x2300, nullptr},
      {0x2302, nullptr},
      {0x3000, nullptr},
  };
  const Chunk chunk = BeginChunk();
  ReadChildren(chunk, kChildren);
  return EndChunk(chunk);
}

uint32_t Studio::ReadKeyFChunk() {
  static constexpr Child kChildren[] = {{0x7001, &Studio::ReadViewMainDefChunk},
                                        {0xB002, nullptr},
                                        {0xB008, nullptr},
                                        {0xB009, nullptr},
                                        {0xB00A, nullptr}};
  const Chunk chunk = BeginChunk();
  ReadChildren(chunk, kChildren);
  return EndChunk(chunk);
}

uint32_t Studio::ReadObjectChunk() {
  static constexpr Child kChildren[] = {{0x4100, &Studio::ReadObjChunk},
                                        {0x4600, &Studio::ReadLightChunk},
                                        {0x4700, &Studio::ReadCameraChunk},
                                        {0x4010, nullptr},
                                        {0x4012, nullptr}};
  const Chunk chunk = BeginChunk();
  ReadName();  // an empty name makes a dummy object, which is read all the same
  ReadChildren(chunk, kChildren);
  return EndChunk(chunk);
}

uint32_t Studio::ReadObjChunk() {
  static constexpr Child kChildren[] = {{0x4110, &Studio::ReadVerticesChunk},
                                        {0x4120, &Studio::ReadFacesChunk},
                                        {0x4160, &Studio::ReadTranslationChunk},
                                        {0x4165, &Studio::ReadObjVisibleChunk},
                                        {0x4111, nullptr}};
  const Chunk chunk = BeginChunk();
  ReadChildren(chunk, kChildren);
  return EndChunk(chunk);
}

uint32_t Studio::ReadLightChunk() {
  static constexpr Child kChildren[] = {{0x4610, &Studio::ReadSpotLightChunk},
                                        {0x4620, &Studio::ReadLightOnOffChunk},
                                        {0x0010, &Studio::ReadRGBFColorChunk},
                                        {0x0011, &Studio::ReadRGBBColorChunk},
                                        {0x465A, nullptr}};
  const Chunk chunk = BeginChunk();
  Skip(3 * 4);  // position
  ReadChildren(chunk, kChildren);
  return EndChunk(chunk);
}

uint32_t Studio::ReadBackgrChunk() {
  static constexpr Child kChildren[] = {{0x0010, &Studio::ReadRGBFColorChunk},
                                        {0x0011, &Studio::ReadRGBBColorChunk}};
  const Chunk chunk = BeginChunk();
  ReadChildren(chunk, kChildren);
  return EndChunk(chunk);
}

uint32_t Studio::ReadAmbientChunk() {
  static constexpr Child kChildren[] = {{0x0010, &Studio::ReadRGBFColorChunk},
                                        {0x0011, &Studio::ReadRGBBColorChunk}};
  const Chunk chunk = BeginChunk();
  ReadChildren(chunk, kChildren);
  return EndChunk(chunk);
}

uint32_t Studio::ReadMaterialsChunk() {
  static constexpr Child kChildren[] = {{0xA000, &Studio::ReadMaterialDefChunk}};
  const Chunk chunk = BeginChunk();
  ReadChildren(chunk, kChildren);
  return EndChunk(chunk);
}

uint32_t Studio::ReadViewMainDefChunk() {
  static constexpr Child kChildren[] = {
      {0x7012, &Studio::ReadViewportChunk}, {0x7020, &Studio::ReadViewportChunk}, {0x7011, nullptr}};
  const Chunk chunk = BeginChunk();
  ReadChildren(chunk, kChildren, /*until_views=*/true);
  return EndChunk(chunk);
}

// ---- the geometry -----------------------------------------------------------------------

// Whether `count` items of `item_bytes` each fit in what is left of the file, and all
// items of this parse together in the whole file; if not, the file is damaged. So no
// list ever allocates more than the file's bytes can back.
bool Studio::Backed(unsigned count, unsigned item_bytes, uint64_t* grown) {
  const uint64_t remaining = pos_ < size_ ? size_ - pos_ : 0;
  const uint64_t need = uint64_t{count} * item_bytes;
  if (need > remaining || (*grown + count) * item_bytes > size_) {
    damaged = true;
    return false;
  }
  *grown += count;
  return true;
}

uint32_t Studio::ReadVerticesChunk() {
  const Chunk chunk = BeginChunk();
  const unsigned count = ReadInt();
  numb_vertices = count;
  if (!Backed(count, kVertexBytes, &grown_vertices_) || !Spend(uint64_t{count} * kVertexBytes))
    return EndChunk(chunk);
  // The old entries stay; a start index beyond the count (a caller's doing) still gets room.
  const size_t first = std::max(vertex_count, current_vertex);
  GrowTo(&verts, first + count, first + size_ / kVertexBytes);
  vertex_count += count;
  if (count > 0) CopyVertices(image_.get() + pos_, count, verts.data() + current_vertex);
  current_vertex += count;
  pos_ += uint64_t{count} * kVertexBytes;
  return EndChunk(chunk);
}

uint32_t Studio::ReadFacesChunk() {
  const Chunk chunk = BeginChunk();
  const unsigned count = ReadInt();
  numb_faces = count;
  if (!Backed(count, kFaceBytes, &grown_faces_) || !Spend(uint64_t{count} * kFaceBytes))
    return EndChunk(chunk);
  const size_t first = std::max(face_count, current_face);
  GrowTo(&facesl, first + count, first + size_ / kFaceBytes);
  face_count += count;
  const unsigned char* p = count > 0 ? image_.get() + pos_ : nullptr;
  sfaces* out = facesl.data() + current_face;
  for (unsigned i = 0; i < count; ++i, p += kFaceBytes) {
    // The fourth word holds edge-visibility flags, which the editor has no use for.
    out[i] = {Load16(p) + object_offset, Load16(p + 2) + object_offset, Load16(p + 4) + object_offset};
  }
  current_face += count;
  pos_ += uint64_t{count} * kFaceBytes;
  object_offset = vertex_count;
  current_chunk = ReadInt();
  if (current_chunk == kSmoothingId) ReadSmoothingList();
  // Whatever else the list holds (material groups) is passed by its length.
  return EndChunk(chunk);
}

// One group mask per face of the list just read; the editor smooths nothing by groups.
void Studio::ReadSmoothingList() { Skip(uint64_t{numb_faces} * 4); }

// Read and kept, though the vertices are taken as the file gives them.
uint32_t Studio::ReadTranslationChunk() {
  const Chunk chunk = BeginChunk();
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 3; ++col) trans_mat[row][col] = ReadFloat();
    trans_mat[row][3] = row == 3 ? 1.0f : 0.0f;
  }
  return EndChunk(chunk);
}

// ---- what the editor passes over --------------------------------------------------------

uint32_t Studio::ReadObjVisibleChunk() {
  const Chunk chunk = BeginChunk();
  ReadChar();  // 0 visible; every object is shown
  return EndChunk(chunk);
}

uint32_t Studio::ReadSpotLightChunk() {
  const Chunk chunk = BeginChunk();
  Skip(5 * 4);  // target, hotspot, falloff
  return EndChunk(chunk);
}

uint32_t Studio::ReadLightOnOffChunk() {
  const Chunk chunk = BeginChunk();
  ReadChar();  // 0 on
  return EndChunk(chunk);
}

uint32_t Studio::ReadCameraChunk() {
  const Chunk chunk = BeginChunk();
  Skip(8 * 4);  // position, target, roll, lens
  // A camera chunk of exactly 38 bytes has no sub-chunks; otherwise its ranges may follow.
  if (chunk.length != 38) {
    if (ReadInt() == 0x4710) ReadUnknownChunk(0x4710);
    if (ReadInt() == 0x4720) ReadUnknownChunk(0x4720);
  }
  return EndChunk(chunk);
}

// Colour sub-chunks are taken without a header of their own: the bytes that follow the id
// are the colour, and the count grows by just those.
uint32_t Studio::ReadRGBFColorChunk() {
  Skip(3 * 4);
  return 3 * 4;
}

uint32_t Studio::ReadRGBBColorChunk() {
  Skip(3);
  return 3;
}

uint32_t Studio::ReadMaterialDefChunk() {
  const Chunk chunk = BeginChunk();
  ReadLongName();
  ++material_count;
  return EndChunk(chunk);
}

uint32_t Studio::ReadViewportChunk() {
  const Chunk chunk = BeginChunk();
  ++views_read;
  Skip(6 * 2);  // attributes, then five values
  const uint16_t type = ReadInt();
  if (type == 0xFFFF || type == 0) {
    Skip(12 * 2);
    ReadName();  // the camera's
  }
  return EndChunk(chunk);
}
