// facetry-mesh render: draws a mesh file into a PNG image.
//
//   facetry-mesh render IN OUT.png [--size WxH] [--view front|side|top]
//                                  [--mode solid|wireframe|points]
//
// IN is an .x file, or a 3DS file when its name ends in .3ds.
//
// The mesh is framed so that its bounding box fills about 80% of the image, seen from the
// front (from -z, looking along +z), from the left side (from -x, looking along +x) or from
// the top (from +y, looking down, +z up the image). Lit by an ambient light of 0.3 and a
// white point light of 0.9 at the camera; Gouraud shaded; 640x480 by default.
#pragma once

// argv[0] is the command's name ("render"), the arguments follow. Returns the process exit
// status: 0 done, 1 a file could not be read or written (one line on standard error), 2 a
// usage error.
int RunRenderCommand(int argc, char** argv);
