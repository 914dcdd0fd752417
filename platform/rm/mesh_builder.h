// Mesh builder: vertices, normals, polygon faces, texture coordinates, colour, material,
// quality; loads .x files and MESH resources, saves .x files, and makes meshes.
#pragma once

#include <memory>
#include <string>

#include "platform/rm/mesh_data.h"
#include "platform/rm/object.h"

class IDirect3DRMMesh;
class IDirect3DRMFace;
class IDirect3DRMFaceArray;
class IDirect3DRMMaterial;
class IDirect3DRMTexture;
struct RmSearchPath;

using D3DRMLOADTEXTURECALLBACK = HRESULT (*)(const char* name, void* arg, IDirect3DRMTexture** texture);

class IDirect3DRMMeshBuilder : public IDirect3DRMVisual {
 public:
  explicit IDirect3DRMMeshBuilder(std::shared_ptr<RmSearchPath> search);

  // D3DRMLOAD_FROMFILE: source is a file name (relative names are looked up on the search
  // path). D3DRMLOAD_FROMRESOURCE: source points to a D3DRMLOADRESOURCE.
  // D3DRMLOAD_FROMMEMORY: source points to a D3DRMLOADMEMORY. On any failure the builder
  // is left as it was. Textures named by the file's materials are loaded through the
  // callback when given, else from the search path; a texture that fails to load is
  // left out without failing the load.
  HRESULT Load(const void* source, const void* name, D3DRMLOADOPTIONS options,
               D3DRMLOADTEXTURECALLBACK cb, void* arg);
  // Writes through a temporary file beside the target, so a failed save leaves an
  // existing file untouched.
  HRESULT Save(const char* filename, D3DRMXOFFORMAT format, D3DRMSAVEOPTIONS options);

  HRESULT AddMesh(IDirect3DRMMesh* mesh);
  HRESULT AddMeshBuilder(IDirect3DRMMeshBuilder* other);
  HRESULT AddFace(IDirect3DRMFace* face);  // copies the face's corners
  int AddVertex(D3DVALUE x, D3DVALUE y, D3DVALUE z);
  int AddNormal(D3DVALUE x, D3DVALUE y, D3DVALUE z);
  // data: for each face a corner count n, then n vertex indices (n pairs of vertex and
  // normal indices when ncount > 0), ending with a 0. faces may be null.
  HRESULT AddFaces(DWORD vcount, const D3DVECTOR* vertices, DWORD ncount, const D3DVECTOR* normals,
                   const DWORD* data, IDirect3DRMFaceArray** faces);

  // One group per material in order of first use; faces fanned into triangles. A group's
  // vertices are the builder's vertices in order when every vertex has one normal and one
  // texture coordinate throughout; otherwise a vertex is split per distinct normal.
  HRESULT CreateMesh(IDirect3DRMMesh** mesh);

  HRESULT Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz);
  HRESULT Translate(D3DVALUE tx, D3DVALUE ty, D3DVALUE tz);
  HRESULT SetQuality(D3DRMRENDERQUALITY quality);
  D3DRMRENDERQUALITY GetQuality() const { return quality_; }
  HRESULT SetMaterial(IDirect3DRMMaterial* material);  // all faces
  HRESULT SetColorRGB(D3DVALUE r, D3DVALUE g, D3DVALUE b);  // all faces
  HRESULT SetColor(D3DCOLOR color);
  HRESULT SetTexture(IDirect3DRMTexture* texture);  // all faces
  HRESULT SetTextureCoordinates(DWORD index, D3DVALUE u, D3DVALUE v);
  HRESULT GetTextureCoordinates(DWORD index, D3DVALUE* u, D3DVALUE* v);

  int GetVertexCount() const;
  int GetFaceCount() const;
  // Counts are in/out: the room in each array, then what was written. face_data receives
  // for each face its corner count and then, per corner, the vertex index and the normal
  // index, ending with a 0. Null arrays are skipped.
  HRESULT GetVertices(DWORD* vcount, D3DVECTOR* vertices, DWORD* ncount, D3DVECTOR* normals,
                      DWORD* face_data_size, DWORD* face_data);
  HRESULT GetFaces(IDirect3DRMFaceArray** faces);
  HRESULT GetBox(D3DRMBOX* box);
  HRESULT GenerateNormals();

  const MeshData& Data() const { return *data_; }

 protected:
  ~IDirect3DRMMeshBuilder() override;

 private:
  MeshData& Mutable();  // copies the data first when faces still share it
  // Appends geometry with one texture per entry of add.materials (not yet referenced).
  void AppendData(const MeshData& add, std::vector<IDirect3DRMTexture*> add_textures);
  void ReleaseTextures();
  std::shared_ptr<RmSearchPath> search_;
  std::shared_ptr<MeshData> data_;
  D3DRMRENDERQUALITY quality_ = D3DRMRENDER_GOURAUD;
  D3DCOLOR color_ = 0xffffffffu;
  IDirect3DRMMaterial* material_ = nullptr;    // referenced, applies to all faces
  IDirect3DRMTexture* texture_ = nullptr;      // referenced, set by SetTexture for all faces
  std::vector<IDirect3DRMTexture*> textures_;  // referenced, one per data_->materials entry (null for none)
};
