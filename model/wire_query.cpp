// Whether a wire bounds a face.
#include "model/polygoni.h"

// Faces name only live wires, so a wire outside the live range bounds none; a live wire
// bounds one exactly when some face side is it, which its count says without a search.
bool Polygoni::QueryWire(int w) {
  if (w < 0 || w >= num_wireframes) return false;
  return wiredata[w].face_sides > 0;
}
