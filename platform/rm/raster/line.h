// Line and point setup, feeding the span loop one pixel at a time.
#pragma once

#include "platform/rm/raster/target.h"

namespace raster {

// Draws one pixel per column (or row, for steep segments) whose centre lies in the
// half-open range the segment spans along that axis, so segments meeting end to end do not
// both draw the shared pixel. Depth and (Gouraud) colour are interpolated along it.
void RasterLine(const Target& t, const ScreenVertex& a, const ScreenVertex& b, const Color3& flat);

// The pixel containing the point, depth-tested.
void RasterPoint(const Target& t, const ScreenVertex& p, const Color3& flat);

}  // namespace raster
