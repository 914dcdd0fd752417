// The device's render state, re-making the device, and the two copies of the device,
// viewport and camera references.
#pragma once

// Applies myglobs' quality, dither, texture quality and the shade counts of the display
// depth to the device; false after a reported failure.
bool SetRenderState();
// Copies the device, viewport and camera references from myglobs into the model, and back.
void GlobsToPolygon();
void PolygonToGlobs();
// One render pass whose result is ignored.
void ColorBackground();
