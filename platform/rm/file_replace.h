// Saving without risk to what is there: the bytes go to a temporary file beside the target,
// which is then renamed over it, so the old file is either fully replaced or untouched.
#pragma once

#include <string>

#include "platform/rm/types.h"

// D3DRM_OK, or D3DRMERR_BADFILE when anything fails (the target is then unchanged and no
// temporary file is left).
HRESULT WriteFileReplacing(const std::string& target, const std::string& bytes);
