// Plain types, constants and result codes of the retained-mode layer.
#pragma once

#include <cstddef>
#include <cstdint>

using HRESULT = int32_t;
using DWORD = uint32_t;
using WORD = uint16_t;
using ULONG = uint32_t;
using BOOL = int;
using D3DVALUE = float;
using D3DCOLOR = uint32_t;  // 0xAARRGGBB

struct _D3DVECTOR {
  D3DVALUE x, y, z;
};
using D3DVECTOR = _D3DVECTOR;

// Row-vector convention: a point p becomes p * M, translation in row 3.
using D3DRMMATRIX4D = D3DVALUE[4][4];

struct D3DRMVECTOR4D {
  D3DVALUE x, y, z, w;
};

struct D3DRMVERTEX {
  D3DVECTOR position;
  D3DVECTOR normal;
  D3DVALUE tu, tv;
  D3DCOLOR color;
};

struct D3DRMBOX {
  D3DVECTOR min, max;
};

struct GUID {
  uint32_t Data1;
  uint16_t Data2, Data3;
  uint8_t Data4[8];
};

using D3DRMGROUPINDEX = int32_t;

// Render quality: shade mode | lighting | fill mode.
using D3DRMRENDERQUALITY = DWORD;
inline constexpr DWORD D3DRMSHADE_FLAT = 0;
inline constexpr DWORD D3DRMSHADE_GOURAUD = 1;
inline constexpr DWORD D3DRMSHADE_PHONG = 2;
inline constexpr DWORD D3DRMSHADE_MASK = 7;
inline constexpr DWORD D3DRMLIGHT_OFF = 0;
inline constexpr DWORD D3DRMLIGHT_ON = 8;
inline constexpr DWORD D3DRMLIGHT_MASK = 56;
inline constexpr DWORD D3DRMFILL_POINTS = 0;
inline constexpr DWORD D3DRMFILL_WIREFRAME = 64;
inline constexpr DWORD D3DRMFILL_SOLID = 128;
inline constexpr DWORD D3DRMFILL_MASK = 448;
inline constexpr DWORD D3DRMRENDER_WIREFRAME = D3DRMSHADE_FLAT | D3DRMLIGHT_OFF | D3DRMFILL_WIREFRAME;
inline constexpr DWORD D3DRMRENDER_UNLITFLAT = D3DRMSHADE_FLAT | D3DRMLIGHT_OFF | D3DRMFILL_SOLID;
inline constexpr DWORD D3DRMRENDER_FLAT = D3DRMSHADE_FLAT | D3DRMLIGHT_ON | D3DRMFILL_SOLID;
inline constexpr DWORD D3DRMRENDER_GOURAUD = D3DRMSHADE_GOURAUD | D3DRMLIGHT_ON | D3DRMFILL_SOLID;
inline constexpr DWORD D3DRMRENDER_PHONG = D3DRMSHADE_PHONG | D3DRMLIGHT_ON | D3DRMFILL_SOLID;

enum D3DRMLIGHTTYPE {
  D3DRMLIGHT_AMBIENT,
  D3DRMLIGHT_POINT,
  D3DRMLIGHT_SPOT,
  D3DRMLIGHT_DIRECTIONAL,
  D3DRMLIGHT_PARALLELPOINT
};

enum D3DRMMATERIALMODE { D3DRMMATERIAL_FROMMESH, D3DRMMATERIAL_FROMPARENT, D3DRMMATERIAL_FROMFRAME };

enum D3DRMFRAMECONSTRAINT { D3DRMCONSTRAIN_Z, D3DRMCONSTRAIN_Y, D3DRMCONSTRAIN_X };

enum D3DRMCOMBINETYPE { D3DRMCOMBINE_REPLACE, D3DRMCOMBINE_BEFORE, D3DRMCOMBINE_AFTER };

enum D3DRMPROJECTIONTYPE { D3DRMPROJECT_PERSPECTIVE, D3DRMPROJECT_ORTHOGRAPHIC };

enum D3DRMCOLORMODEL { D3DRMCOLOR_RAMP, D3DRMCOLOR_RGB };

// Mesh builder save format and options.
using D3DRMXOFFORMAT = DWORD;
inline constexpr DWORD D3DRMXOF_BINARY = 0;
inline constexpr DWORD D3DRMXOF_COMPRESSED = 1;
inline constexpr DWORD D3DRMXOF_TEXT = 2;
using D3DRMSAVEOPTIONS = DWORD;
inline constexpr DWORD D3DRMXOFSAVE_NORMALS = 1;
inline constexpr DWORD D3DRMXOFSAVE_TEXTURECOORDINATES = 2;
inline constexpr DWORD D3DRMXOFSAVE_MATERIALS = 4;
inline constexpr DWORD D3DRMXOFSAVE_TEXTURENAMES = 8;
inline constexpr DWORD D3DRMXOFSAVE_ALL = 15;
inline constexpr DWORD D3DRMXOFSAVE_TEMPLATES = 16;

// Mesh builder load options.
using D3DRMLOADOPTIONS = DWORD;
inline constexpr DWORD D3DRMLOAD_FROMFILE = 0;
inline constexpr DWORD D3DRMLOAD_FROMRESOURCE = 1;
inline constexpr DWORD D3DRMLOAD_FROMMEMORY = 2;

// Names a resource of the executable for D3DRMLOAD_FROMRESOURCE. lpName and lpType are
// strings, or small integers made with MAKEINTRESOURCEA.
struct D3DRMLOADRESOURCE {
  void* hModule;
  const char* lpName;
  const char* lpType;
};

// Describes a block of memory for D3DRMLOAD_FROMMEMORY.
struct D3DRMLOADMEMORY {
  const void* lpMemory;
  DWORD dSize;
};

// Result codes: the DirectDraw facility 0x8876 with a number, and a few general codes.
constexpr HRESULT MakeDDHResult(DWORD n) { return static_cast<HRESULT>(0x88760000u + n); }
inline constexpr HRESULT D3DRM_OK = 0;
inline constexpr HRESULT DD_OK = 0;
inline constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT DDERR_INVALIDOBJECT = MakeDDHResult(130);
inline constexpr HRESULT DDERR_NOTFOUND = MakeDDHResult(255);
inline constexpr HRESULT D3DERR_TEXTURE_LOAD_FAILED = MakeDDHResult(725);
inline constexpr HRESULT D3DRMERR_BADOBJECT = MakeDDHResult(781);
inline constexpr HRESULT D3DRMERR_BADTYPE = MakeDDHResult(782);
inline constexpr HRESULT D3DRMERR_BADALLOC = MakeDDHResult(783);
inline constexpr HRESULT D3DRMERR_FACEUSED = MakeDDHResult(784);
inline constexpr HRESULT D3DRMERR_NOTFOUND = MakeDDHResult(785);
inline constexpr HRESULT D3DRMERR_NOTDONEYET = MakeDDHResult(786);
inline constexpr HRESULT D3DRMERR_FILENOTFOUND = MakeDDHResult(787);
inline constexpr HRESULT D3DRMERR_BADFILE = MakeDDHResult(788);
inline constexpr HRESULT D3DRMERR_BADDEVICE = MakeDDHResult(789);
inline constexpr HRESULT D3DRMERR_BADVALUE = MakeDDHResult(790);
inline constexpr HRESULT D3DRMERR_BADMAJORVERSION = MakeDDHResult(791);
inline constexpr HRESULT D3DRMERR_BADMINORVERSION = MakeDDHResult(792);
inline constexpr HRESULT D3DRMERR_UNABLETOEXECUTE = MakeDDHResult(793);

constexpr bool FAILED(HRESULT r) { return r < 0; }
constexpr bool SUCCEEDED(HRESULT r) { return r >= 0; }

// Colours: components in 0..1, clamped, stored as 0xAARRGGBB.
D3DCOLOR D3DRMCreateColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue);
D3DCOLOR D3DRMCreateColorRGBA(D3DVALUE red, D3DVALUE green, D3DVALUE blue, D3DVALUE alpha);
D3DVALUE D3DRMColorGetRed(D3DCOLOR c);
D3DVALUE D3DRMColorGetGreen(D3DCOLOR c);
D3DVALUE D3DRMColorGetBlue(D3DCOLOR c);
D3DVALUE D3DRMColorGetAlpha(D3DCOLOR c);
