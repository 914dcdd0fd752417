// Cutting a closed polygon of four or more corners into a fan of triangles around its
// first corner.
#include <cmath>

#include "app/errors.h"
#include "model/polygoni.h"

namespace {

constexpr D3DVALUE kNotZero = 0.0001f;

D3DVALUE NotZero(D3DVALUE v) { return v == 0.0f ? kNotZero : v; }

}  // namespace

int Polygoni::SubDivide(int nsides) {
  if (nsides > kMaxPolygonCorners) {
    Msg("The maximum numnber of sides for a polygon is 10");
    return 1;
  }
  // Triangles are made by the closing click itself; a fan needs a diagonal.
  if (nsides < 4) return 1;
  for (int k = 0; k < nsides; ++k)
    if (!sub_div[k].first || !sub_div[k].wire) return 1;

  auto corner = [](int k) { return *sub_div[k].first; };
  auto edge = [](int k) { return *sub_div[k].wire; };
  const int c0 = corner(0);

  for (int j = 1; j <= nsides - 3; ++j) {
    const int far = corner(j + 1);
    createindex += 1;
    AllocWire(+1);
    _D3DVECTOR at = pointdata[c0].point;
    MakeWire(&at);
    WireStuff& diagonal = wiredata[createindex];
    diagonal.points[0] = pointdata[c0].id;
    diagonal.points[1] = pointdata[far].id;
    SetPointData(createindex, c0, nullptr, false);
    SetPointData(createindex, far, nullptr, false);
    diagonal.callback = false;
    diagonal.selected = false;

    IDirect3DRMFrame* from = pointdata[c0].frames;
    IDirect3DRMFrame* to = pointdata[far].frames;
    if (diagonal.wireframes && to && FAILED(diagonal.wireframes->LookAt(to, scene, constraint))) generic_error();
    _D3DVECTOR offset{0, 0, 0};
    if (from && to) {
      if (FAILED(from->GetPosition(to, &offset))) generic_error();
    } else {
      // Point frames carry no turn: the offset in the far corner's frame is the difference.
      const _D3DVECTOR& a = pointdata[c0].point;
      const _D3DVECTOR& b = pointdata[far].point;
      offset = {a.x - b.x, a.y - b.y, a.z - b.z};
    }
    prelength = {NotZero(offset.x), NotZero(offset.y), NotZero(offset.z)};
    length = std::sqrt(prelength.x * prelength.x + prelength.y * prelength.y + prelength.z * prelength.z);
    // The bar was just set to length 1.
    if (diagonal.wiremeshes && FAILED(diagonal.wiremeshes->Scale(1.0f, 1.0f, length))) generic_error();
    diagonal.beforelength = length;

    if (j == 1)
      AddFace(edge(0), edge(1), createindex, c0, corner(1), corner(2));
    else
      AddFace(createindex, createindex - 1, edge(j), c0, corner(j + 1), corner(j));
    IDirect3DRMFrame* frame = wiredata[createindex].wireframes;
    if (frame && FAILED(frame->SetColorRGB(0.3f, 0.3f, 1.0f))) generic_error();
  }
  AddFace(createindex, edge(nsides - 1), edge(nsides - 2), c0, corner(nsides - 1), corner(nsides - 2));
  return 1;
}
