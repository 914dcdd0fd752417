// Deleting the selection, the clipboard and undo on the model itself. The deletion's
// indexed passes are held to a plain reading of the rules (search the whole model for the
// next element every time) on random meshes: same elements, same final indices.
#include <random>

#include "app/globals.h"
#include "tests/model/model_fixture.h"

namespace {

// ---- the rules read plainly, one search per removal -------------------------------------

bool Doomed(Polygoni& m, int f) {
  for (IdCell c : m.facedata[f].points)
    if (!m.pointdata[*c].active) return false;
  return true;
}

bool HasSide(Polygoni& m, int f, int w) {
  for (IdCell s : m.facedata[f].sides)
    if (*s == w) return true;
  return false;
}

void PlainDropWire(Polygoni& m, int w) {
  m.RemoveConnectedWire(*m.wiredata[w].points[0], w);
  m.RemoveConnectedWire(*m.wiredata[w].points[1], w);
  m.RemoveWire(w);
}

bool SideOfAFaceThatStays(Polygoni& m, int w) {
  for (int g = 0; g < m.num_faces; ++g)
    if (HasSide(m, g, w) && !Doomed(m, g)) return true;
  return false;
}

// A doomed face's sides, and every wire of its corners with fewer than three, go unless a
// face that stays has them as a side.
void PlainFacesMode(Polygoni& m) {
  for (int f = 0; f < m.num_faces; ++f) {
    if (!Doomed(m, f)) continue;
    for (IdCell s : m.facedata[f].sides)
      if (!SideOfAFaceThatStays(m, *s)) m.wiredata[*s].deleteit = true;
    for (IdCell c : m.facedata[f].points) {
      PointStuff& p = m.pointdata[*c];
      if (p.num_connected >= 3) continue;
      for (uint32_t k = 0; k < p.num_connected; ++k)
        if (!SideOfAFaceThatStays(m, *p.connectedwire[k])) m.wiredata[*p.connectedwire[k]].deleteit = true;
    }
  }
  for (;;) {
    int highest = -1;
    for (int f = 0; f < m.num_faces; ++f)
      if (Doomed(m, f)) highest = f;
    if (highest < 0) break;
    m.RemoveFace(highest);
  }
  for (;;) {
    int lowest = -1;
    for (int w = m.num_wireframes - 1; w >= 0; --w)
      if (m.wiredata[w].deleteit) lowest = w;
    if (lowest < 0) break;
    PlainDropWire(m, lowest);
  }
  for (;;) {
    int highest = -1;
    for (int p = 0; p < m.num_points; ++p)
      if (m.pointdata[p].num_connected <= 1) highest = p;
    if (highest < 0) break;
    if (m.pointdata[highest].num_connected == 1) PlainDropWire(m, *m.pointdata[highest].connectedwire[0]);
    m.RemovePoint(highest);
  }
}

void PlainPointsMode(Polygoni& m) {
  for (int a = 0; a < m.num_points; ++a) {
    PointStuff& pa = m.pointdata[a];
    if (!pa.active) continue;
    for (uint32_t k = 0; k < pa.num_connected; ++k) {
      WireStuff& w = m.wiredata[*pa.connectedwire[k]];
      PointStuff& n = m.pointdata[w.points[0] == pa.id ? *w.points[1] : *w.points[0]];
      n.deleteit = 1;
      for (uint32_t j = 0; j < n.num_connected; ++j)
        for (int g = 0; g < m.num_faces; ++g) {
          if (!HasSide(m, g, *n.connectedwire[j])) continue;
          const FaceStuff& face = m.facedata[g];
          if (face.points[0] != pa.id && face.points[1] != pa.id && face.points[2] != pa.id) n.deleteit = 0;
        }
    }
  }
  for (;;) {
    int p = -1;
    for (int i = 0; i < m.num_points; ++i)
      if (m.pointdata[i].active || m.pointdata[i].deleteit == 1) p = i;
    if (p < 0) break;
    for (;;) {
      int highest = -1;
      for (int f = 0; f < m.num_faces; ++f)
        for (IdCell c : m.facedata[f].points)
          if (*c == p) highest = f;
      if (highest < 0) break;
      m.RemoveFace(highest);
    }
    while (m.pointdata[p].num_connected > 0) PlainDropWire(m, *m.pointdata[p].connectedwire[0]);
    m.RemovePoint(p);
  }
}

void PlainDelete(Polygoni& m) {
  if (m.delete_points)
    PlainPointsMode(m);
  else
    PlainFacesMode(m);
  for (int p = 0; p < m.num_points; ++p)
    if (m.pointdata[p].num_connected == 0) m.RemovePoint(p);
}

// Everything the order of removals decides: positions by index, wire ends, each point's
// list in order, face corners and sides.
std::vector<float> Signature(Polygoni& m) {
  std::vector<float> s{static_cast<float>(m.num_points), static_cast<float>(m.num_wireframes),
                       static_cast<float>(m.num_faces)};
  for (int i = 0; i < m.num_points; ++i) {
    const PointStuff& p = m.pointdata[i];
    s.insert(s.end(), {p.point.x, p.point.y, p.point.z, static_cast<float>(p.num_connected)});
    for (uint32_t k = 0; k < p.num_connected; ++k) s.push_back(static_cast<float>(*p.connectedwire[k]));
  }
  for (int i = 0; i < m.num_wireframes; ++i)
    for (IdCell end : m.wiredata[i].points) s.push_back(static_cast<float>(*end));
  for (int i = 0; i < m.num_faces; ++i)
    for (int k = 0; k < 3; ++k)
      s.insert(s.end(), {static_cast<float>(*m.facedata[i].points[k]), static_cast<float>(*m.facedata[i].sides[k])});
  return s;
}

class DeletionTest : public ModelTest {
 protected:
  // A grid of points with about three quarters of its triangles, a few loose wires, and
  // about a third of the points selected; the same seed builds the same mesh.
  void BuildRandom(unsigned seed, int side) {
    std::mt19937 rng(seed);
    std::vector<IdCell> grid;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) grid.push_back(AddPoint(static_cast<float>(x), static_cast<float>(y), 0));
    auto at = [&](int x, int y) { return grid[y * side + x]; };
    for (int y = 0; y + 1 < side; ++y)
      for (int x = 0; x + 1 < side; ++x) {
        if (rng() % 4) AddTriangle(at(x, y), at(x + 1, y), at(x + 1, y + 1));
        if (rng() % 4) AddTriangle(at(x, y), at(x + 1, y + 1), at(x, y + 1));
      }
    for (int k = 0; k < 3; ++k) {
      IdCell a = grid[rng() % grid.size()], b = grid[rng() % grid.size()];
      if (a != b && !FindWire(a, b)) AddWire(a, b);
    }
    for (int i = 0; i < model->num_points; ++i) model->pointdata[i].active = rng() % 3 == 0;
  }
};

TEST_F(DeletionTest, IndexedPassesRemoveWhatThePlainRulesRemoveInTheSameOrder) {
  // The plain reading runs on a second model made the same way.
  auto plain = MakeModel(model->scene->Parent());
  // A few meshes large enough that removals drop whole storage groups.
  for (unsigned seed = 0; seed < 124; ++seed) {
    const bool points_mode = seed % 2 == 1;
    const int side = seed < 120 ? 5 : 24;
    BuildRandom(seed, side);
    std::swap(model, plain);
    BuildRandom(seed, side);
    model->delete_points = points_mode;
    PlainDelete(*model);
    std::swap(model, plain);
    model->delete_points = points_mode;
    model->DeleteSelected(false);
    ASSERT_EQ(Signature(*model), Signature(*plain)) << "seed " << seed << (points_mode ? " points" : " faces");
    ASSERT_TRUE(messages.empty()) << messages[0];
    ExpectSound();
    // Everything goes before the next mesh: every point selected, points mode.
    for (Polygoni* m : {model.get(), plain.get()}) {
      for (int i = 0; i < m->num_points; ++i) m->pointdata[i].active = true;
      m->delete_points = true;
      m->DeleteSelected(false);
      ASSERT_EQ(m->num_points + m->num_wireframes + m->num_faces, 0);
    }
  }
  DropModel(&plain);
}

TEST_F(DeletionTest, FacesModeKeepsASharedSideAndTheFaceBeyondIt) {
  Polygoni& m = *model;
  IdCell a = AddPoint(0, 0, 0), b = AddPoint(1, 0, 0), c = AddPoint(1, 1, 0), d = AddPoint(0, 1, 0);
  AddTriangle(a, b, c);
  IdCell keep = AddTriangle(a, c, d);
  m.pointdata[*a].active = m.pointdata[*b].active = m.pointdata[*c].active = true;
  m.delete_points = false;
  m.DeleteSelected(false);
  ASSERT_EQ(m.num_faces, 1);
  EXPECT_EQ(*keep, 0);
  EXPECT_EQ(m.num_wireframes, 3) << "the shared side a-c stays, a-b and b-c go";
  EXPECT_EQ(m.num_points, 3) << "b belonged to no other face";
  EXPECT_TRUE(FindWire(a, c) && FindWire(c, d) && FindWire(d, a));
  EXPECT_EQ(m.selectedpoint, -2);
  ExpectSound();
}

// Where three faces meet at an edge (a merge of a mesh over itself leaves such edges), the
// edge stays while any face on it stays, even when two faces on it go.
TEST_F(DeletionTest, FacesModeKeepsAnEdgeOfThreeFacesForTheOneThatStays) {
  Polygoni& m = *model;
  IdCell a = AddPoint(0, 0, 0), b = AddPoint(1, 0, 0), c = AddPoint(0, 1, 0), d = AddPoint(0, -1, 0),
         e = AddPoint(0, 0, 1);
  AddTriangle(a, b, c);
  AddTriangle(b, a, d);
  IdCell keep = AddTriangle(a, b, e);
  for (IdCell p : {a, b, c, d}) m.pointdata[*p].active = true;
  m.delete_points = false;
  m.DeleteSelected(false);
  ASSERT_EQ(m.num_faces, 1);
  EXPECT_EQ(*keep, 0);
  EXPECT_TRUE(FindWire(a, b) && FindWire(b, e) && FindWire(e, a));
  EXPECT_EQ(m.num_wireframes, 3);
  ExpectSound();
}

class ClipboardTest : public ModelTest {
 protected:
  // Two triangles sharing the side a-c, every point selected.
  void TwoTriangles() {
    a = AddPoint(0, 0, 0), b = AddPoint(2, 0, 0), c = AddPoint(2, 2, 0), d = AddPoint(0, 2, 0);
    AddTriangle(a, b, c);
    AddTriangle(a, c, d);
    for (int i = 0; i < model->num_points; ++i) model->pointdata[i].active = true;
  }
  D3DVECTOR At(IdCell p) { return model->pointdata[*p].point; }
  IdCell a = nullptr, b = nullptr, c = nullptr, d = nullptr;
};

// Where a paste lands and its turned corner order are pinned through the editor, by the
// cut-and-paste scenario.
TEST_F(ClipboardTest, CopyThenPasteAddsASelectedCopyBesideTheOriginal) {
  Polygoni& m = *model;
  TwoTriangles();
  m.snip_mode[0] = copy;
  m.Cut(0, false);
  ASSERT_EQ(m.num_cutfaces[0], 2);
  ASSERT_EQ(m.num_cutpoints[0], 4);
  m.snip_mode[0] = paste;
  EXPECT_EQ(m.Paste(true, true, 0, false), 0);

  ASSERT_EQ(m.num_faces, 4);
  EXPECT_EQ(m.num_points, 8);
  EXPECT_EQ(m.num_wireframes, 10) << "the pasted faces share one wire for their common side";
  for (int i = 0; i < 8; ++i) EXPECT_EQ(m.pointdata[i].active, i >= 4) << i;
  EXPECT_EQ(At(a).x, 0.0f) << "the copied faces stay where they were";
  ExpectSound();
}

TEST_F(ClipboardTest, CoincidentCornersPasteAsOnePointAndLooseElementsStayBehind) {
  Polygoni& m = *model;
  TwoTriangles();
  IdCell twin = AddPoint(2, 2, 0);  // at c's place
  AddTriangle(twin, AddPoint(5, 5, 5), d);
  AddWire(a, AddPoint(7, 7, 7));  // a selected point in no face, on a loose wire
  for (int i = 0; i < m.num_points; ++i) m.pointdata[i].active = true;
  m.snip_mode[0] = copy;
  m.Cut(0, false);
  ASSERT_EQ(m.num_cutfaces[0], 3);
  ASSERT_EQ(m.num_cutpoints[0], 6) << "corners only: the point on the loose wire stays out";

  const int before = m.num_points;
  m.Paste(false, true, 0, false);
  ASSERT_EQ(m.num_points, before + 6);
  EXPECT_EQ(m.num_faces, 6);
  // Every pasted face takes the later of the two points at c's place; the earlier one
  // comes without a wire.
  EXPECT_EQ(m.pointdata[before + 2].num_connected, 0u);
  EXPECT_EQ(m.pointdata[before + 4].num_connected, 4u);
  ExpectSound();
}

TEST_F(ClipboardTest, UndoRestoresFacesWhereTheModelFrameIsNowAndDropsLooseWires) {
  Polygoni& m = *model;
  TwoTriangles();
  AddWire(b, d);  // bounds no face
  AddPoint(9, 9, 9);
  m.world_frame2->SetPosition(m.scene, 0, 0, 10);
  for (int i = 0; i < m.num_points; ++i) m.pointdata[i].active = i == *b;
  m.StoreUndo();
  EXPECT_TRUE(m.readytopaste[2]);
  EXPECT_TRUE(m.pointdata[*b].active && !m.pointdata[*a].active) << "the selection survives the snapshot";
  EXPECT_EQ(At(c).x, 2.0f);

  m.delete_points = true;
  m.DeleteSelected(false);
  ASSERT_EQ(m.num_faces, 1) << "a, c and d still bound the face a-c-d";
  // The whole model moves by (3, 0, 0) before the undo.
  m.world_frame2->SetPosition(m.scene, 3, 0, 10);
  the_mode = edit;
  m.Revert();
  the_mode = create;
  EXPECT_FALSE(m.readytopaste[2]);
  ASSERT_EQ(m.num_faces, 2);
  EXPECT_EQ(m.num_points, 4) << "the lone point is not in the snapshot";
  EXPECT_EQ(m.num_wireframes, 5) << "nor the wire that bounded no face";
  float xs = 0;
  for (int i = 0; i < 4; ++i) {
    xs += m.pointdata[i].point.x;
    EXPECT_TRUE(m.pointdata[i].active) << i;
  }
  EXPECT_NEAR(xs, 4 * 1.0f + 4 * 3.0f, 1e-4) << "the mesh follows the model frame";
  ExpectSound();
}

}  // namespace
