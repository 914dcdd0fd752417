// make_shapes DIR...: writes the shape library into each DIR: one 3DS file per shape and
// segment choice the Create Shape dialog offers (Cube_2x2x2.uit, Sphere_12.uit, ...). Every
// solid is closed with its triangles wound to face outward; the plane is one sheet facing
// the front camera. Shapes are centred on the origin, about one unit across.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "files/studio.h"

namespace {

struct Shape {
  std::vector<D3DVECTOR> vertices;
  std::vector<sfaces> triangles;

  uint32_t Add(double x, double y, double z) {
    vertices.push_back({static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});
    return static_cast<uint32_t>(vertices.size() - 1);
  }
  // a, b, c, d around a quad, wound to face outward.
  void Quad(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    triangles.push_back({a, b, c});
    triangles.push_back({a, c, d});
  }
};

// A grid of (nu + 1) x (nv + 1) points over a face of the box: origin + u * du + v * dv.
void BoxSide(Shape* s, const double origin[3], const double du[3], const double dv[3], int nu, int nv) {
  const uint32_t first = static_cast<uint32_t>(s->vertices.size());
  for (int j = 0; j <= nv; ++j)
    for (int i = 0; i <= nu; ++i)
      s->Add(origin[0] + du[0] * i / nu + dv[0] * j / nv, origin[1] + du[1] * i / nu + dv[1] * j / nv,
             origin[2] + du[2] * i / nu + dv[2] * j / nv);
  auto at = [&](int i, int j) { return first + static_cast<uint32_t>(j * (nu + 1) + i); };
  for (int j = 0; j < nv; ++j)
    for (int i = 0; i < nu; ++i) s->Quad(at(i, j), at(i, j + 1), at(i + 1, j + 1), at(i + 1, j));
}

// Six gridded sides; each side repeats the points of its edges, so the solid is closed by
// position, which is how the loader joins it into one mesh.
Shape Cube(int nx, int ny, int nz) {
  Shape s;
  const double h = 0.5;
  struct Side {
    double origin[3], du[3], dv[3];
    int nu, nv;
  };
  const Side sides[] = {
      {{-h, -h, -h}, {1, 0, 0}, {0, 1, 0}, nx, ny},   // front, z = -h
      {{h, -h, h}, {-1, 0, 0}, {0, 1, 0}, nx, ny},    // back
      {{-h, -h, h}, {0, 0, -1}, {0, 1, 0}, nz, ny},   // left
      {{h, -h, -h}, {0, 0, 1}, {0, 1, 0}, nz, ny},    // right
      {{-h, h, -h}, {1, 0, 0}, {0, 0, 1}, nx, nz},    // top
      {{-h, -h, h}, {1, 0, 0}, {0, 0, -1}, nx, nz},   // bottom
  };
  for (const Side& side : sides) BoxSide(&s, side.origin, side.du, side.dv, side.nu, side.nv);
  return s;
}

Shape Sphere(int segments) {
  Shape s;
  const int rings = std::max(2, segments / 2);
  const double pi = std::numbers::pi;
  const uint32_t top = s.Add(0, 0.5, 0);
  for (int r = 1; r < rings; ++r)
    for (int k = 0; k < segments; ++k) {
      const double theta = pi * r / rings, phi = 2 * pi * k / segments;
      s.Add(0.5 * std::sin(theta) * std::cos(phi), 0.5 * std::cos(theta), 0.5 * std::sin(theta) * std::sin(phi));
    }
  const uint32_t bottom = s.Add(0, -0.5, 0);
  auto at = [&](int r, int k) { return 1 + static_cast<uint32_t>((r - 1) * segments + k % segments); };
  for (int k = 0; k < segments; ++k) s.triangles.push_back({top, at(1, k + 1), at(1, k)});
  for (int r = 1; r + 1 < rings; ++r)
    for (int k = 0; k < segments; ++k) s.Quad(at(r, k), at(r, k + 1), at(r + 1, k + 1), at(r + 1, k));
  for (int k = 0; k < segments; ++k) s.triangles.push_back({bottom, at(rings - 1, k), at(rings - 1, k + 1)});
  return s;
}

Shape Cylinder(int sides) {
  Shape s;
  const double pi = std::numbers::pi;
  const uint32_t top = s.Add(0, 0.5, 0), bottom = s.Add(0, -0.5, 0);
  for (int k = 0; k < sides; ++k) {
    const double phi = 2 * pi * k / sides;
    s.Add(0.5 * std::cos(phi), 0.5, 0.5 * std::sin(phi));
    s.Add(0.5 * std::cos(phi), -0.5, 0.5 * std::sin(phi));
  }
  auto upper = [&](int k) { return 2 + 2 * static_cast<uint32_t>(k % sides); };
  auto lower = [&](int k) { return upper(k) + 1; };
  for (int k = 0; k < sides; ++k) {
    s.triangles.push_back({top, upper(k + 1), upper(k)});
    s.triangles.push_back({bottom, lower(k), lower(k + 1)});
    s.Quad(upper(k), upper(k + 1), lower(k + 1), lower(k));
  }
  return s;
}

Shape Plane(int n) {
  Shape s;
  const double origin[3] = {-0.5, -0.5, 0}, du[3] = {1, 0, 0}, dv[3] = {0, 1, 0};
  BoxSide(&s, origin, du, dv, n, n);
  return s;
}

bool Write(const std::filesystem::path& file, const Shape& shape) {
  studio.Reset();
  studio.verts = shape.vertices;
  studio.facesl = shape.triangles;
  studio.vertex_count = static_cast<unsigned>(shape.vertices.size());
  studio.face_count = static_cast<unsigned>(shape.triangles.size());
  studio.bin3ds = std::fopen(file.c_str(), "wb");
  if (!studio.bin3ds) return false;
  studio.WritePrimaryChunk();
  const bool ok = std::ferror(studio.bin3ds) == 0;
  const bool closed = std::fclose(studio.bin3ds) == 0;
  studio.bin3ds = nullptr;
  studio.Reset();
  return ok && closed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_shapes DIR...\n");
    return 2;
  }
  struct Entry {
    std::string name;
    Shape shape;
  };
  std::vector<Entry> entries;
  for (const char* boxes : {"1x1x1", "1x2x1", "1x2x2", "1x3x1", "1x3x3", "1x2x3", "2x2x3", "2x2x2", "3x3x3", "3x3x2"}) {
    int x = 0, y = 0, z = 0;
    std::sscanf(boxes, "%dx%dx%d", &x, &y, &z);
    entries.push_back({std::string("Cube_") + boxes, Cube(x, y, z)});
  }
  for (int n : {4, 6, 8, 10, 12, 14, 16, 18, 20}) entries.push_back({"Sphere_" + std::to_string(n), Sphere(n)});
  for (int n : {3, 4, 6, 8, 10, 12, 14, 16, 18}) entries.push_back({"Cylinder_" + std::to_string(n), Cylinder(n)});
  for (int n : {2, 3, 4, 5, 6})
    entries.push_back({"Plane_" + std::to_string(n) + "x" + std::to_string(n), Plane(n)});

  for (int d = 1; d < argc; ++d) {
    const std::filesystem::path dir(argv[d]);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const Entry& e : entries) {
      if (!Write(dir / (e.name + ".uit"), e.shape)) {
        std::fprintf(stderr, "make_shapes: cannot write %s\n", (dir / (e.name + ".uit")).c_str());
        return 1;
      }
    }
  }
  return 0;
}
