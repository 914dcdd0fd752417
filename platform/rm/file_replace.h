// Saving without risk to what is there: the bytes go to a temporary file beside the target,
// which is then renamed over it, so the old file is either fully replaced or untouched.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/rm/types.h"

// D3DRM_OK, or D3DRMERR_BADFILE when anything fails (the target is then unchanged and no
// temporary file is left).
HRESULT WriteFileReplacing(const std::string& target, const std::string& bytes);

// Failures the next saves meet, each as the system reports it, for tests: the temporary
// file cannot be made (a read-only folder), the disk fills once `disk_full_after` bytes
// are written, or the final rename is refused. The default meets none.
struct SaveFaults {
  bool cannot_create = false;
  std::optional<size_t> disk_full_after;
  bool rename_refused = false;
};
void SetSaveFaults(const SaveFaults& faults);
