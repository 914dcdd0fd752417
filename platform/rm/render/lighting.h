// Lights of a scene gathered into world space, and the diffuse lighting of a point.
#pragma once

#include <cmath>

#include "platform/rm/render/scratch.h"

namespace render {

// Every light attached to `root` or a frame below it: ambient lights summed, point and spot
// lights at their frame's origin, directional and parallel-point lights shining along
// their frame's z axis. A mono device sees each light colour as its white intensity.
void GatherLights(IDirect3DRMFrame* root, bool mono, SceneLights* out);

// The light reaching a surface point p with unit normal n: ambient plus, per light,
// colour * max(0, n . l) * attenuation. A zero normal receives ambient light only.
inline void LightAt(const SceneLights& s, Vec3f p, Vec3f n, float out[3]) {
  float r = s.ambient[0], g = s.ambient[1], b = s.ambient[2];
  if (n.x != 0.0f || n.y != 0.0f || n.z != 0.0f) {
    for (const WorldLight& l : s.lights) {
      float lx = l.lx, ly = l.ly, lz = l.lz, attenuation = 1.0f;
      if (!l.directional) {
        lx = l.px - p.x;
        ly = l.py - p.y;
        lz = l.pz - p.z;
        const float d = std::sqrt(lx * lx + ly * ly + lz * lz);
        if (!(d > 0.0f)) continue;
        const float inv = 1.0f / d;
        lx *= inv;
        ly *= inv;
        lz *= inv;
        const float falloff = l.constant + d * (l.linear + d * l.quadratic);
        if (falloff > 0.0f) attenuation = 1.0f / falloff;
      }
      const float cosine = n.x * lx + n.y * ly + n.z * lz;
      if (cosine <= 0.0f) continue;
      const float k = cosine * attenuation;
      r += l.r * k;
      g += l.g * k;
      b += l.b * k;
    }
  }
  out[0] = r;
  out[1] = g;
  out[2] = b;
}

}  // namespace render
