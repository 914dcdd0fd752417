// Golden-image comparison for render tests.
//
// MatchesGolden compares an image with tests/golden/<name>.png, allowing each channel of
// each pixel to differ by kGoldenTolerance. On a mismatch it writes <name>.actual.png and
// <name>.diff.png (differing pixels red over a dimmed copy of the actual image) into the
// test's build directory. With FACETRY_UPDATE_GOLDEN=1 in the environment it writes the
// image as the new golden instead and succeeds.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/rm/raster/framebuffer.h"

inline constexpr int kGoldenTolerance = 2;

::testing::AssertionResult MatchesGolden(const std::string& name, const raster::Framebuffer& image);
