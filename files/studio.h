// The 3DS reader and writer: the open file, the vertex and face arrays a read fills and a
// write takes, and the parse state.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <vector>

#include "platform/rm/types.h"

// The counts of a 3DS file are 16-bit: callers refuse larger models with this message.
inline constexpr unsigned kMaxCountIn3ds = 65535;
inline constexpr char kTooBigFor3ds[] = "A 3DS file holds at most 65535 points and 65535 faces.";

struct sfaces {
  uint32_t a = 0, b = 0, c = 0;  // vertex indices into verts
};

class Studio {
 public:
  Studio() = default;
  Studio(const Studio&) = delete;
  Studio& operator=(const Studio&) = delete;

  FILE* bin3ds = nullptr;                      // the open file; the caller opens and closes it
  uint32_t current_chunk = 0;                  // the last chunk id read
  uint8_t views_read = 0;                      // viewport chunks read since program start; never reset
  unsigned numb_faces = 0, numb_vertices = 0;  // counts of the last face / vertex list read
  unsigned vertex_count = 0, face_count = 0;   // totals over all objects so far (sizes of verts, facesl)
  unsigned current_face = 0, current_vertex = 0, object_offset = 0;
  char temp_name[100] = {};  // the last object or material name read
  float trans_mat[4][4] = {};
  std::vector<D3DVECTOR> verts;
  std::vector<sfaces> facesl;
  unsigned material_count = 0;  // material definitions (0xA000) read so far
  // Set by ReadPrimaryChunk when the file is damaged: a list declares more than the file
  // holds, or its chunks send the reader over the same bytes again and again. The arrays
  // and counts are then left empty.
  bool damaged = false;

  // Parses bin3ds from its start, appending every mesh object's vertices and faces.
  // Always 1.
  int ReadPrimaryChunk();
  // Writes verts[0..vertex_count) and facesl[0..face_count) to bin3ds (opened "wb") as one
  // object. Returns 0.
  int WritePrimaryChunk();
  // Zeroes vertex_count, face_count, current_face, current_vertex, object_offset and
  // material_count, and clears the arrays and damaged.
  void Reset();

  // Primitive readers. ReadPrimaryChunk takes the whole file into memory; these and the
  // chunk readers below work on that copy while it parses. The end of the file reads as
  // 0xFF bytes and does not move the position.
  uint8_t ReadChar();
  uint16_t ReadInt();
  uint32_t ReadLong();
  float ReadFloat();
  uint64_t GetChunkPointer() const;  // start of the chunk whose id was just read
  uint32_t ReadChunkPointer();       // the chunk's length
  void ChangeChunkPointer(uint64_t pos);
  int ReadName();      // -1 for an empty name, else 0
  int ReadLongName();  // likewise, for material names

  // One reader per chunk kind, entered right after its id; each returns the chunk length.
  uint32_t ReadUnknownChunk(uint16_t id);
  uint32_t ReadMainChunk();         // 0x4D4D
  uint32_t ReadEditChunk();         // 0x3D3D
  uint32_t ReadKeyFChunk();         // 0xB000
  uint32_t ReadObjectChunk();       // 0x4000
  uint32_t ReadObjChunk();          // 0x4100 triangle mesh
  uint32_t ReadVerticesChunk();     // 0x4110
  uint32_t ReadFacesChunk();        // 0x4120
  void ReadSmoothingList();         // 0x4150, right after the faces
  uint32_t ReadTranslationChunk();  // 0x4160
  uint32_t ReadObjVisibleChunk();   // 0x4165
  uint32_t ReadLightChunk();        // 0x4600
  uint32_t ReadSpotLightChunk();    // 0x4610
  uint32_t ReadLightOnOffChunk();   // 0x4620
  uint32_t ReadCameraChunk();       // 0x4700
  uint32_t ReadBackgrChunk();       // 0x1200
  uint32_t ReadAmbientChunk();      // 0x2100
  uint32_t ReadRGBFColorChunk();    // 0x0010, no header of its own: 12
  uint32_t ReadRGBBColorChunk();    // 0x0011, no header of its own: 3
  uint32_t ReadMaterialsChunk();    // 0xAFFF
  uint32_t ReadMaterialDefChunk();  // 0xA000
  uint32_t ReadViewMainDefChunk();  // 0x7001
  uint32_t ReadViewportChunk();     // 0x7012, 0x7020

  // Primitive writers: low byte first, low 16-bit half first.
  void WriteChar(uint8_t c);
  void WriteInt(int v);
  void WriteLong(uint32_t v);
  uint32_t WriteMainChunk();  // 0
  uint32_t WriteEditChunk();  // the file length

 private:
  struct Chunk {
    uint64_t start = 0;
    uint32_t length = 0;
  };
  // A child a container knows: its reader, or none for a chunk passed whole.
  struct Child {
    uint16_t id;
    uint32_t (Studio::*read)();
  };

  Chunk BeginChunk();
  uint32_t EndChunk(const Chunk& chunk);
  void ReadChildren(const Chunk& chunk, std::span<const Child> children, bool until_views = false);
  void Skip(uint64_t bytes);
  bool Spend(uint64_t bytes);
  bool Backed(unsigned count, unsigned item_bytes, uint64_t* grown);
  void TakeImage();
  void PatchChunkLength(long start);

  std::unique_ptr<unsigned char[]> image_;  // the file being parsed
  uint64_t size_ = 0;
  uint64_t pos_ = 0;
  uint64_t budget_ = 0;  // bytes the parse may still read
  uint64_t grown_vertices_ = 0, grown_faces_ = 0;
};

extern Studio studio;
