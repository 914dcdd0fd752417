#!/usr/bin/env python3
"""Writes the editor's embedded MESH resources as binary .x files.

Regenerate after changing a shape (the build embeds whatever is in resources/):

    python3 tools/make_resource_meshes.py resources

Standard library only. Every polygon is wound so that, seen from outside its solid, the
corners run clockwise (x right, y up): the renderer's front-facing rule. The winding is
not written by hand; each polygon is turned to face away from its solid's centre, so a
shape only has to list its corners.
"""

import math
import os
import struct
import sys

# Binary token ids.
TOKEN_NAME = 1
TOKEN_INTEGER_LIST = 6
TOKEN_FLOAT_LIST = 7
TOKEN_OBRACE = 10
TOKEN_CBRACE = 11


class Shape:
    """Positions, polygons and per-corner normal indices of one closed solid."""

    def __init__(self, center):
        self.center = center
        self.positions = []
        self.faces = []
        self.normals = []
        self.normal_faces = []

    def add_vertex(self, p):
        self.positions.append(tuple(float(c) for c in p))
        return len(self.positions) - 1

    def add_face(self, corners, smooth=False):
        """Adds a polygon, turned outward. Flat faces share one normal per face; smooth
        faces use one normal per position (the caller keeps positions and normals in
        step by calling set_smooth_normals)."""
        corners = list(corners)
        if dot(area_normal([self.positions[i] for i in corners]),
               sub(centroid([self.positions[i] for i in corners]), self.center)) < 0:
            corners.reverse()
        self.faces.append(corners)
        if smooth:
            self.normal_faces.append(list(corners))
        else:
            n = unit(area_normal([self.positions[i] for i in corners]))
            self.normals.append(n)
            self.normal_faces.append([len(self.normals) - 1] * len(corners))

    def set_smooth_normals(self):
        self.normals = [unit(sub(p, self.center)) for p in self.positions]


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def unit(v):
    length = math.sqrt(dot(v, v))
    return (v[0] / length, v[1] / length, v[2] / length)


def centroid(points):
    n = len(points)
    return tuple(sum(p[k] for p in points) / n for k in range(3))


def area_normal(points):
    """Newell's sum in left-handed coordinates: corners running clockwise as seen
    looking along +z give a normal toward -z, i.e. toward that viewer."""
    x = y = z = 0.0
    for i, a in enumerate(points):
        b = points[(i + 1) % len(points)]
        x += (a[1] - b[1]) * (a[2] + b[2])
        y += (a[2] - b[2]) * (a[0] + b[0])
        z += (a[0] - b[0]) * (a[1] + b[1])
    return (x, y, z)


def marker_sphere(radius):
    """108 vertices: 9 latitude rings of 12, flat 12-sided caps at the poles, smooth
    normals so a mesh made from it keeps exactly these vertices."""
    rings, segments = 9, 12
    s = Shape((0.0, 0.0, 0.0))
    for r in range(rings):
        lat = math.radians(80 - 20 * r)
        for k in range(segments):
            lon = math.radians(30 * k)
            s.add_vertex((radius * math.cos(lat) * math.cos(lon), radius * math.sin(lat),
                          radius * math.cos(lat) * math.sin(lon)))
    s.set_smooth_normals()
    s.add_face(range(segments), smooth=True)
    for r in range(rings - 1):
        for k in range(segments):
            a, b = r * segments + k, r * segments + (k + 1) % segments
            s.add_face([a, b, b + segments, a + segments], smooth=True)
    s.add_face(range((rings - 1) * segments, rings * segments), smooth=True)
    return s


def cursor_jack(half_length, bar_radius):
    """Three crossed hexagonal bars along x, y and z. Every face has its own corners and
    one flat normal: 3 bars x (6 sides x 4 + 2 caps x 6) = 108 vertices."""
    s = Shape((0.0, 0.0, 0.0))

    def place(axis, along, u, v):
        p = [0.0, 0.0, 0.0]
        p[axis], p[(axis + 1) % 3], p[(axis + 2) % 3] = along, u, v
        return p

    for axis in range(3):
        ring = [(bar_radius * math.cos(math.radians(60 * k + 30)),
                 bar_radius * math.sin(math.radians(60 * k + 30))) for k in range(6)]
        for k in range(6):
            (u0, v0), (u1, v1) = ring[k], ring[(k + 1) % 6]
            corners = [s.add_vertex(place(axis, t, u, v))
                       for t, u, v in ((-half_length, u0, v0), (-half_length, u1, v1),
                                       (half_length, u1, v1), (half_length, u0, v0))]
            s.add_face(corners)
        for end in (-half_length, half_length):
            s.add_face([s.add_vertex(place(axis, end, u, v)) for u, v in ring])
    return s


def point_cube():
    """Corners at +-0.5: 8 shared vertices, 12 triangles, flat normals."""
    s = Shape((0.0, 0.0, 0.0))
    for i in range(8):
        s.add_vertex(((i & 1) - 0.5, ((i >> 1) & 1) - 0.5, ((i >> 2) & 1) - 0.5))
    for axis in range(3):
        bit = 1 << axis
        for side in (0, bit):
            quad = [i for i in range(8) if i & bit == side]
            # Order the four corners around the face before splitting it.
            others = [b for b in (1, 2, 4) if b != bit]
            ring = [quad[0], quad[0] | others[0], quad[0] | others[0] | others[1],
                    quad[0] | others[1]]
            s.add_face([ring[0], ring[1], ring[2]])
            s.add_face([ring[0], ring[2], ring[3]])
    return s


def prism_sides_and_caps(s, section, z0, z1, centre_vertices):
    """Side quads as two triangles each and the two end caps. With centre_vertices the
    caps are fans around a vertex on the axis and the corners are shared; without, every
    triangle has its own three vertices."""
    shared = [[s.add_vertex((x, y, z)) for x, y in section] for z in (z0, z1)] if centre_vertices else None

    def vertex(k, end):
        if shared:
            return shared[end][k % len(section)]
        x, y = section[k % len(section)]
        return s.add_vertex((x, y, (z0, z1)[end]))

    for k in range(len(section)):
        s.add_face([vertex(k, 0), vertex(k + 1, 0), vertex(k + 1, 1)])
        s.add_face([vertex(k, 0), vertex(k + 1, 1), vertex(k, 1)])
    if centre_vertices:
        for end, z in ((0, z0), (1, z1)):
            c = s.add_vertex((s.center[0], s.center[1], z))
            for k in range(len(section)):
                s.add_face([c, vertex(k, end), vertex(k + 1, end)])
    else:
        for end in (0, 1):
            s.add_face([vertex(k, end) for k in range(len(section))])


def wire_prism():
    """Along +z from 0 to 1 over the triangle of circumradius 1: 8 triangles, 24 vertices."""
    s = Shape((0.0, 0.0, 0.5))
    prism_sides_and_caps(s, [(-0.866, -0.5), (0.0, 1.0), (0.866, -0.5)], 0.0, 1.0, False)
    return s


def selection_bar():
    """Length 1 along +z: 6 corners and an axis vertex at each end, 12 triangles."""
    section = [(0.001, 1.001), (0.867, -0.499), (-0.865, -0.499)]
    cx = sum(p[0] for p in section) / 3
    cy = sum(p[1] for p in section) / 3
    s = Shape((cx, cy, 0.501))
    prism_sides_and_caps(s, section, 0.001, 1.001, True)
    return s


class Writer:
    def __init__(self):
        self.out = bytearray(b"xof 0302bin 0032")

    def word(self, v):
        self.out += struct.pack("<H", v)

    def name(self, text):
        self.word(TOKEN_NAME)
        data = text.encode("ascii")
        self.out += struct.pack("<I", len(data)) + data

    def ints(self, values):
        self.word(TOKEN_INTEGER_LIST)
        self.out += struct.pack("<I%dI" % len(values), len(values), *values)

    def floats(self, values):
        self.word(TOKEN_FLOAT_LIST)
        self.out += struct.pack("<I%df" % len(values), len(values), *values)

    def open(self, template, name=None):
        self.name(template)
        if name:
            self.name(name)
        self.word(TOKEN_OBRACE)

    def close(self):
        self.word(TOKEN_CBRACE)


def face_list(faces):
    data = [len(faces)]
    for f in faces:
        data.append(len(f))
        data.extend(f)
    return data


def encode(shape, name):
    w = Writer()
    w.open("Header")
    w.ints([1, 0, 1])
    w.close()
    w.open("Mesh", name)
    w.ints([len(shape.positions)])
    w.floats([c for p in shape.positions for c in p])
    w.ints(face_list(shape.faces))
    w.open("MeshMaterialList")
    w.ints([1, len(shape.faces)] + [0] * len(shape.faces))
    w.open("Material")
    # Face colour RGBA, power, specular RGB, emissive RGB.
    w.floats([1.0, 1.0, 1.0, 1.0, 20.0, 1.0, 1.0, 1.0, 0.0, 0.0, 0.0])
    w.close()
    w.close()
    w.open("MeshNormals")
    w.ints([len(shape.normals)])
    w.floats([c for n in shape.normals for c in n])
    w.ints(face_list(shape.normal_faces))
    w.close()
    w.close()
    return bytes(w.out)


RESOURCES = [
    ("cursor3D3.x", "marker", lambda: marker_sphere(30.0)),
    ("point.x", "point", point_cube),
    ("cursor3D.x", "cursor", lambda: cursor_jack(50.0, 5.0)),
    ("bar.x", "bar", selection_bar),
    ("wire2.x", "wire", wire_prism),
]


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_resource_meshes.py RESOURCE_DIR")
    for file_name, mesh_name, make in RESOURCES:
        with open(os.path.join(sys.argv[1], file_name), "wb") as f:
            f.write(encode(make(), mesh_name))


if __name__ == "__main__":
    main()
