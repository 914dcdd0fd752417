// Failures the layer can be told to meet, for tests of the program's fault paths: each
// makes its call fail the way a driver or device without that ability would.
#pragma once

struct RmFaults {
  bool no_render_depths = false;     // the drivers enumerated render at no display depth
  bool driver_device_fails = false;  // a device asked for by a driver's GUID cannot be made
  bool lights_fail = false;          // no light can be created
};

// The default meets none.
void SetRmFaults(const RmFaults& faults);
const RmFaults& GetRmFaults();
