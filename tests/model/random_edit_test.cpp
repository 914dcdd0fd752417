// A long seeded run of additions and removals across group boundaries, checked after
// every step against the invariants and against a plain vector model of compaction.
#include <array>
#include <random>

#include "tests/model/model_fixture.h"

namespace {

// What each slot should hold, by serial number: removal i moves the last entry to i.
struct Reference {
  std::vector<int> points;                // serial of point i
  std::vector<std::array<int, 2>> wires;  // serials of the ends of wire i
  std::vector<std::array<int, 3>> faces;  // serials of the corners of face i

  template <class T>
  static void Remove(std::vector<T>* v, size_t i) {
    (*v)[i] = v->back();
    v->pop_back();
  }
};

}  // namespace

class RandomEditTest : public ModelTest {
 protected:
  int Serial(IdCell point) { return static_cast<int>(model->pointdata[*point].point.x); }

  void RemoveFaceAt(int i) {
    model->RemoveFace(i);
    Reference::Remove(&ref.faces, static_cast<size_t>(i));
  }

  // Callers' order: faces on the wire, then the wire from both lists, then the wire.
  void RemoveWireAt(int i) {
    Polygoni& m = *model;
    for (int f = m.num_faces - 1; f >= 0; --f) {
      for (IdCell s : m.facedata[f].sides) {
        if (*s == i) {
          RemoveFaceAt(f);
          break;
        }
      }
    }
    m.RemoveConnectedWire(*m.wiredata[i].points[0], i);
    m.RemoveConnectedWire(*m.wiredata[i].points[1], i);
    m.RemoveWire(i);
    Reference::Remove(&ref.wires, static_cast<size_t>(i));
  }

  void RemovePointAt(int i) {
    Polygoni& m = *model;
    while (m.pointdata[i].num_connected > 0) RemoveWireAt(*m.pointdata[i].connectedwire[0]);
    m.RemovePoint(i);
    Reference::Remove(&ref.points, static_cast<size_t>(i));
  }

  void ExpectAgreement(int step) {
    Polygoni& m = *model;
    ASSERT_EQ(m.num_points, static_cast<int>(ref.points.size())) << step;
    ASSERT_EQ(m.num_wireframes, static_cast<int>(ref.wires.size())) << step;
    ASSERT_EQ(m.num_faces, static_cast<int>(ref.faces.size())) << step;
    for (int i = 0; i < m.num_points; ++i)
      ASSERT_EQ(static_cast<int>(m.pointdata[i].point.x), ref.points[i]) << "step " << step << " point " << i;
    for (int i = 0; i < m.num_wireframes; ++i) {
      ASSERT_EQ(Serial(m.wiredata[i].points[0]), ref.wires[i][0]) << "step " << step << " wire " << i;
      ASSERT_EQ(Serial(m.wiredata[i].points[1]), ref.wires[i][1]) << "step " << step << " wire " << i;
    }
    for (int i = 0; i < m.num_faces; ++i)
      for (int k = 0; k < 3; ++k)
        ASSERT_EQ(Serial(m.facedata[i].points[k]), ref.faces[i][k]) << "step " << step << " face " << i;
  }

  // QueryWire answers from a count; a search of every face's sides is the plain answer.
  void ExpectQueryWireAgreesWithSearch(int step) {
    Polygoni& m = *model;
    int bounding = 0;
    for (int w = 0; w < m.num_wireframes; ++w) {
      bool found = false;
      for (int f = 0; f < m.num_faces && !found; ++f)
        for (IdCell s : m.facedata[f].sides) found |= *s == w;
      ASSERT_EQ(m.QueryWire(w), found) << "step " << step << " wire " << w;
      bounding += found;
    }
    // Loose wires exist only after removals: count both answers over the run.
    query_true += bounding;
    query_false += m.num_wireframes - bounding;
  }

  Reference ref;
  int query_true = 0, query_false = 0;
};

TEST_F(RandomEditTest, CompactionAgreesWithAVectorModel) {
  Polygoni& m = *model;
  std::mt19937 rng(20240611);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  int serial = 0;
  // How often each chain gained or lost its second group.
  std::array<int, 3> crossings{};
  std::array<int, 3> previous{};

  for (int step = 0; step < 3000; ++step) {
    // Drift upward and back so every count crosses the 300 boundary several times.
    const bool grow = (step / 750) % 2 == 0;
    const int roll = pick(100);
    if (roll < (grow ? 45 : 8)) {
      ++serial;
      AddPoint(static_cast<float>(serial), 0, 0);
      ref.points.push_back(serial);
    } else if (roll < (grow ? 94 : 15) && m.num_points >= 3) {
      int a = pick(m.num_points), b = pick(m.num_points), c = pick(m.num_points);
      if (a == b || b == c || a == c) continue;
      IdCell pa = m.pointdata[a].id, pb = m.pointdata[b].id, pc = m.pointdata[c].id;
      const int before = m.num_wireframes;
      AddTriangle(pa, pb, pc);
      // New wires are appended in the order AddTriangle makes them.
      std::array<IdCell, 3> ends[3] = {{pa, pb}, {pb, pc}, {pc, pa}};
      for (auto& e : ends)
        for (int w = before; w < m.num_wireframes; ++w)
          if (m.wiredata[w].points[0] == e[0] && m.wiredata[w].points[1] == e[1])
            ref.wires.push_back({Serial(e[0]), Serial(e[1])});
      ref.faces.push_back({Serial(pa), Serial(pb), Serial(pc)});
    } else if (roll < (grow ? 96 : 40) && m.num_faces > 0) {
      RemoveFaceAt(pick(m.num_faces));
    } else if (roll < (grow ? 98 : 60) && m.num_wireframes > 0) {
      RemoveWireAt(pick(m.num_wireframes));
    } else if (m.num_points > 0) {
      RemovePointAt(pick(m.num_points));
    }
    auto violation = m.CheckInvariants();
    ASSERT_FALSE(violation.has_value()) << "step " << step << ": " << *violation;
    ExpectAgreement(step);
    if (step % 97 == 0) ExpectQueryWireAgreesWithSearch(step);
    ASSERT_TRUE(messages.empty()) << "step " << step << ": " << messages[0];
    const std::array<int, 3> now{m.num_points, m.num_wireframes, m.num_faces};
    for (int k = 0; k < 3; ++k) crossings[k] += (previous[k] <= 300) != (now[k] <= 300);
    previous = now;
  }
  for (int k = 0; k < 3; ++k)
    EXPECT_GE(crossings[k], 2) << "chain " << k << " should have crossed 300 both ways";
  EXPECT_GT(query_true, 0);
  EXPECT_GT(query_false, 0);
}
