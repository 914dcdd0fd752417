// Meshes: numbered groups, each with its vertices, face index data, colour, quality,
// texture and material.
#pragma once

#include <memory>
#include <vector>

#include "platform/rm/object.h"

class IDirect3DRMTexture;
class IDirect3DRMMaterial;

class IDirect3DRMMesh : public IDirect3DRMVisual {
 public:
  struct Group {
    std::vector<D3DRMVERTEX> vertices;
    std::vector<uint32_t> face_sizes;    // corners per face
    std::vector<uint32_t> face_indices;  // corners of all faces, in order
    uint32_t vertex_per_face = 0;        // 0 when faces differ in size
    D3DCOLOR color = 0xffffffffu;
    D3DRMRENDERQUALITY quality = D3DRMRENDER_GOURAUD;
    IDirect3DRMTexture* texture = nullptr;  // referenced
    IDirect3DRMMaterial* material = nullptr;  // referenced
    // Kept by the renderer for groups whose vertices show nothing but their position:
    // the distinct positions and the triangles over them, valid while `compact_generation`
    // is the mesh's generation.
    mutable std::vector<D3DVECTOR> compact_positions;
    mutable std::vector<uint32_t> compact_triangles;
    mutable uint64_t compact_generation = ~uint64_t{0};
  };

  IDirect3DRMMesh() = default;

  // With vPerFace > 0, fData holds fCount * vPerFace indices; with vPerFace 0 each face
  // is a count followed by that many indices. Indices are checked against vCount.
  HRESULT AddGroup(unsigned vCount, unsigned fCount, unsigned vPerFace, const unsigned* fData,
                   D3DRMGROUPINDEX* id);
  HRESULT SetVertices(D3DRMGROUPINDEX id, unsigned index, unsigned count, const D3DRMVERTEX* values);
  HRESULT GetVertices(D3DRMGROUPINDEX id, unsigned index, unsigned count, D3DRMVERTEX* values);
  // The group's own storage for vertices index .. index + count - 1, for a caller that
  // would otherwise fill a list only to have SetVertices copy it; it then writes exactly
  // what SetVertices would. Fails where SetVertices would, and counts as a vertex change.
  HRESULT GetVertexStorage(D3DRMGROUPINDEX id, unsigned index, unsigned count, D3DRMVERTEX** values);
  // Any out pointer may be null. fDataSize is in/out: the room in fData, then the used
  // length; fData receives the face data in the layout AddGroup takes.
  HRESULT GetGroup(D3DRMGROUPINDEX id, unsigned* vCount, unsigned* fCount, unsigned* vPerFace,
                   DWORD* fDataSize, unsigned* fData);
  unsigned GetGroupCount() const { return static_cast<unsigned>(set_->groups.size()); }
  HRESULT SetGroupColor(D3DRMGROUPINDEX id, D3DCOLOR color);
  HRESULT SetGroupColorRGB(D3DRMGROUPINDEX id, D3DVALUE r, D3DVALUE g, D3DVALUE b);
  D3DCOLOR GetGroupColor(D3DRMGROUPINDEX id);
  HRESULT SetGroupQuality(D3DRMGROUPINDEX id, D3DRMRENDERQUALITY quality);
  D3DRMRENDERQUALITY GetGroupQuality(D3DRMGROUPINDEX id);
  HRESULT SetGroupTexture(D3DRMGROUPINDEX id, IDirect3DRMTexture* texture);
  HRESULT GetGroupTexture(D3DRMGROUPINDEX id, IDirect3DRMTexture** texture);  // AddRefs
  HRESULT SetGroupMaterial(D3DRMGROUPINDEX id, IDirect3DRMMaterial* material);
  HRESULT GetGroupMaterial(D3DRMGROUPINDEX id, IDirect3DRMMaterial** material);  // AddRefs
  // A new mesh with the same groups; the two share them until either changes them, so
  // copying a template costs almost nothing.
  HRESULT Clone(IDirect3DRMMesh** copy) const;
  // Multiplies every vertex position, so repeated scales accumulate.
  HRESULT Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz);
  HRESULT Translate(D3DVALUE tx, D3DVALUE ty, D3DVALUE tz);
  HRESULT GetBox(D3DRMBOX* box);

  // For the renderer and the builder: the stored groups, whose positions are still to be
  // multiplied by GroupScale() (and normals divided by it, then normalised). A Scale is
  // kept as that factor rather than written into every vertex, which lets meshes copied
  // from one template share their vertices however each is stretched.
  const std::vector<Group>& Groups() const { return set_->groups; }
  D3DVECTOR GroupScale() const { return scale_; }
  // A stored vertex as the mesh shows it: GroupScale() applied.
  D3DRMVERTEX ScaledVertex(const D3DRMVERTEX& v) const;
  // Bumped on every change of the stored vertices or faces.
  uint64_t Generation() const { return generation_; }

 protected:
  ~IDirect3DRMMesh() override;

 private:
  // The groups with the references they hold on textures and materials.
  struct GroupSet {
    GroupSet() = default;
    GroupSet(const GroupSet& other);
    GroupSet& operator=(const GroupSet&) = delete;
    ~GroupSet();
    std::vector<Group> groups;
  };

  const Group* FindGroup(D3DRMGROUPINDEX id) const;
  // This mesh's own copy of the groups, made when they are shared.
  std::vector<Group>& OwnGroups();
  Group* OwnGroup(D3DRMGROUPINDEX id);
  // Writes the pending scale into this mesh's own vertices.
  void Bake();
  bool Scaled() const { return scale_.x != 1 || scale_.y != 1 || scale_.z != 1; }

  std::shared_ptr<GroupSet> set_ = std::make_shared<GroupSet>();
  D3DVECTOR scale_{1, 1, 1};
  uint64_t generation_ = 0;
};
