// facetry-mesh check: what makes a mesh unfit to edit. Corners at exactly the same
// position count as one vertex, as the editor joins them when it opens the file.
#pragma once

#include <cstddef>

#include "platform/rm/mesh_data.h"

struct MeshCheck {
  size_t vertices = 0, faces = 0, edges = 0;
  // Fewer than three distinct corners, or no area (all corners on one line).
  size_t degenerate_faces = 0;
  // Edges shared by more than two faces.
  size_t nonmanifold_edges = 0;
  // Vertices no face uses.
  size_t unreferenced_vertices = 0;

  bool Clean() const { return degenerate_faces == 0 && nonmanifold_edges == 0 && unreferenced_vertices == 0; }
};

// Linear in the size of the mesh: positions and edges are counted in hash tables.
MeshCheck CheckMesh(const MeshData& mesh);
