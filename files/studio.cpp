// The one reader and writer of 3DS files, and what it keeps between files.
#include "files/studio.h"

Studio studio;

void Studio::Reset() {
  vertex_count = face_count = 0;
  current_face = current_vertex = object_offset = 0;
  material_count = 0;
  // Released, not just emptied: the object lives as long as the program.
  verts = {};
  facesl = {};
  damaged = false;
}
