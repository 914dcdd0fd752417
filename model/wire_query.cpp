// Whether a wire bounds a face.
#include "model/polygoni.h"

bool Polygoni::QueryWire(int w) {
  for (int f = 0; f < num_faces; ++f) {
    const FaceStuff& face = facedata[f];
    for (IdCell side : face.sides)
      if (side && *side == w) return true;
  }
  return false;
}
