// Opaque handles both platform layers pass around. The window layer defines what a window
// is; the retained-mode layer only stores and hands the handle back.
#pragma once

struct HWND__;
using HWND = HWND__*;

struct HDC__;
using HDC = HDC__*;
