// Error reporting: Msg, its replaceable sink, and the result-code texts.
#include "app/errors.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <utility>

namespace {

constexpr const char* kMsgCaption = "D3DRM Example Message";
constexpr const char* kUnrecognized = "Unrecognized error value.";

struct ErrorText {
  uint32_t code;  // compared unsigned so the table sorts as the codes are written
  const char* text;
};

// The DirectDraw facility codes: 0x88760000 + n.
constexpr uint32_t Dd(uint32_t n) { return 0x88760000u + n; }

// Sorted by code for the binary search below; DirectDraw codes read as sentences,
// Direct3D and retained-mode codes as their own names.
// clang-format off
constexpr ErrorText kErrorTexts[] = {
    {0u, "No error."},
    {0x80004001u, "Action not supported."},
    {0x80004005u, "Generic failure."},
    {0x8007000Eu, "DirectDraw does not have enough memory to perform the operation."},
    {0x80070057u, "One or more of the parameters passed to the function are incorrect."},
    {Dd(5), "This object is already initialized."},
    {Dd(10), "This surface can not be attached to the requested surface."},
    {Dd(20), "This surface can not be detached from the requested surface."},
    {Dd(40), "Support is currently not available."},
    {Dd(55), "An exception was encountered while performing the requested operation."},
    {Dd(90), "Height of rectangle provided is not a multiple of reqd alignment."},
    {Dd(95), "Unable to match primary surface creation request with existing primary surface."},
    {Dd(100), "One or more of the caps bits passed to the callback are incorrect."},
    {Dd(110), "DirectDraw does not support the provided cliplist."},
    {Dd(120), "DirectDraw does not support the requested mode."},
    {Dd(130), "DirectDraw received a pointer that was an invalid DIRECTDRAW object."},
    {Dd(145), "The pixel format was invalid as specified."},
    {Dd(150), "Rectangle provided was invalid."},
    {Dd(160), "Operation could not be carried out because one or more surfaces are locked."},
    {Dd(170), "There is no 3D present."},
    {Dd(180), "Operation could not be carried out because there is no alpha accleration hardware present or available."},
    {Dd(205), "No cliplist available."},
    {Dd(210), "Operation could not be carried out because there is no color conversion hardware present or available."},
    {Dd(212), "Create function called without DirectDraw object method SetCooperativeLevel being called."},
    {Dd(215), "Surface doesn't currently have a color key"},
    {Dd(220), "Operation could not be carried out because there is no hardware support of the destination color key."},
    {Dd(225), "Operation requires the application to have exclusive mode but the application does not have exclusive mode."},
    {Dd(230), "Flipping visible surfaces is not supported."},
    {Dd(240), "There is no GDI present."},
    {Dd(250), "Operation could not be carried out because there is no hardware present or available."},
    {Dd(255), "Requested item was not found."},
    {Dd(260), "Operation could not be carried out because there is no overlay hardware present or available."},
    {Dd(280), "Operation could not be carried out because there is no appropriate raster op hardware present or available."},
    {Dd(290), "Operation could not be carried out because there is no rotation hardware present or available."},
    {Dd(310), "Operation could not be carried out because there is no hardware support for stretching."},
    {Dd(316), "DirectDrawSurface is not in 4 bit color palette and the requested operation requires 4 bit color palette."},
    {Dd(317), "DirectDrawSurface is not in 4 bit color index palette and the requested operation requires 4 bit color index palette."},
    {Dd(320), "DirectDrawSurface is not in 8 bit color mode and the requested operation requires 8 bit color."},
    {Dd(330), "Operation could not be carried out because there is no texture mapping hardware present or available."},
    {Dd(335), "Operation could not be carried out because there is no hardware support for vertical blank synchronized operations."},
    {Dd(340), "Operation could not be carried out because there is no hardware support for zbuffer blitting."},
    {Dd(350), "Overlay surfaces could not be z layered based on their BltOrder because the hardware does not support z layering of overlays."},
    {Dd(360), "The hardware needed for the requested operation has already been allocated."},
    {Dd(380), "DirectDraw does not have enough memory to perform the operation."},
    {Dd(382), "The hardware does not support clipped overlays."},
    {Dd(384), "Can only have ony color key active at one time for overlays."},
    {Dd(387), "Access to this palette is being refused because the palette is already locked by another thread."},
    {Dd(400), "No src color key specified for this operation."},
    {Dd(410), "This surface is already attached to the surface it is being attached to."},
    {Dd(420), "This surface is already a dependency of the surface it is being made a dependency of."},
    {Dd(430), "Access to this surface is being refused because the surface is already locked by another thread."},
    {Dd(440), "Access to surface refused because the surface is obscured."},
    {Dd(450), "Access to this surface is being refused because the surface memory is gone. The DirectDrawSurface object representing this surface should have Restore called on it."},
    {Dd(460), "The requested surface is not attached."},
    {Dd(470), "Height requested by DirectDraw is too large."},
    {Dd(480), "Size requested by DirectDraw is too large, but the individual height and width are OK."},
    {Dd(490), "Width requested by DirectDraw is too large."},
    {Dd(510), "FOURCC format requested is unsupported by DirectDraw."},
    {Dd(520), "Bitmask in the pixel format requested is unsupported by DirectDraw."},
    {Dd(537), "Vertical blank is in progress."},
    {Dd(540), "Informs DirectDraw that the previous Blt which is transfering information to or from this Surface is incomplete."},
    {Dd(560), "Rectangle provided was not horizontally aligned on required boundary."},
    {Dd(561), "The GUID passed to DirectDrawCreate is not a valid DirectDraw driver identifier."},
    {Dd(562), "A DirectDraw object representing this driver has already been created for this process."},
    {Dd(563), "A hardware-only DirectDraw object creation was attempted but the driver did not support any hardware."},
    {Dd(564), "This process already has created a primary surface."},
    {Dd(565), "Software emulation not available."},
    {Dd(566), "Region passed to Clipper::GetClipList is too small."},
    {Dd(567), "An attempt was made to set a cliplist for a clipper object that is already monitoring an hwnd."},
    {Dd(568), "No clipper object attached to surface object."},
    {Dd(569), "Clipper notification requires an HWND or no HWND has previously been set as the CooperativeLevel HWND."},
    {Dd(570), "HWND used by DirectDraw CooperativeLevel has been subclassed, this prevents DirectDraw from restoring state."},
    {Dd(571), "The CooperativeLevel HWND has already been set. It can not be reset while the process has surfaces or palettes created."},
    {Dd(572), "No palette object attached to this surface."},
    {Dd(573), "No hardware support for 16 or 256 color palettes."},
    {Dd(574), "Return if a clipper object is attached to the source surface passed into a BltFast call."},
    {Dd(575), "No blitter hardware present."},
    {Dd(576), "No DirectDraw ROP hardware."},
    {Dd(577), "Returned when GetOverlayPosition is called on a hidden overlay."},
    {Dd(578), "Returned when GetOverlayPosition is called on an overlay that UpdateOverlay has never been called on to establish a destination."},
    {Dd(579), "Returned when the position of the overlay on the destination is no longer legal for that destination."},
    {Dd(580), "Returned when an overlay member is called for a non-overlay surface."},
    {Dd(581), "An attempt was made to set the cooperative level when it was already set to exclusive."},
    {Dd(582), "An attempt has been made to flip a surface that is not flippable."},
    {Dd(583), "Can't duplicate primary & 3D surfaces, or surfaces that are implicitly created."},
    {Dd(584), "Surface was not locked.  An attempt to unlock a surface that was not locked at all, or by this process, has been attempted."},
    {Dd(585), "Windows can not create any more DCs."},
    {Dd(586), "No DC was ever created for this surface."},
    {Dd(587), "This surface can not be restored because it was created in a different mode."},
    {Dd(588), "This surface can not be restored because it is an implicitly created surface."},
    {Dd(589), "The surface being used is not a palette-based surface."},
    {Dd(700), "D3DERR_BADMAJORVERSION"},
    {Dd(701), "D3DERR_BADMINORVERSION"},
    {Dd(710), "D3DERR_EXECUTE_CREATE_FAILED"},
    {Dd(711), "D3DERR_EXECUTE_DESTROY_FAILED"},
    {Dd(712), "D3DERR_EXECUTE_LOCK_FAILED"},
    {Dd(713), "D3DERR_EXECUTE_UNLOCK_FAILED"},
    {Dd(714), "D3DERR_EXECUTE_LOCKED"},
    {Dd(715), "D3DERR_EXECUTE_NOT_LOCKED"},
    {Dd(716), "D3DERR_EXECUTE_FAILED"},
    {Dd(717), "D3DERR_EXECUTE_CLIPPED_FAILED"},
    {Dd(720), "D3DERR_TEXTURE_NO_SUPPORT"},
    {Dd(721), "D3DERR_TEXTURE_CREATE_FAILED"},
    {Dd(722), "D3DERR_TEXTURE_DESTROY_FAILED"},
    {Dd(723), "D3DERR_TEXTURE_LOCK_FAILED"},
    {Dd(724), "D3DERR_TEXTURE_UNLOCK_FAILED"},
    {Dd(725), "D3DERR_TEXTURE_LOAD_FAILED"},
    {Dd(727), "D3DERR_TEXTURELOCKED"},
    {Dd(728), "D3DERR_TEXTURE_NOT_LOCKED"},
    {Dd(730), "D3DERR_MATRIX_CREATE_FAILED"},
    {Dd(731), "D3DERR_MATRIX_DESTROY_FAILED"},
    {Dd(732), "D3DERR_MATRIX_SETDATA_FAILED"},
    {Dd(734), "D3DERR_SETVIEWPORTDATA_FAILED"},
    {Dd(740), "D3DERR_MATERIAL_CREATE_FAILED"},
    {Dd(741), "D3DERR_MATERIAL_DESTROY_FAILED"},
    {Dd(742), "D3DERR_MATERIAL_SETDATA_FAILED"},
    {Dd(750), "D3DERR_LIGHT_SET_FAILED"},
    {Dd(781), "D3DRMERR_BADOBJECT"},
    {Dd(782), "D3DRMERR_BADTYPE"},
    {Dd(783), "D3DRMERR_BADALLOC"},
    {Dd(784), "D3DRMERR_FACEUSED"},
    {Dd(785), "D3DRMERR_NOTFOUND"},
    {Dd(786), "D3DRMERR_NOTDONEYET"},
    {Dd(787), "The file was not found."},
    {Dd(788), "D3DRMERR_BADFILE"},
    {Dd(789), "D3DRMERR_BADDEVICE"},
    {Dd(790), "D3DRMERR_BADVALUE"},
    {Dd(791), "D3DRMERR_BADMAJORVERSION"},
    {Dd(792), "D3DRMERR_BADMINORVERSION"},
    {Dd(793), "D3DRMERR_UNABLETOEXECUTE"},
};
// clang-format on

constexpr bool IsStrictlySorted() {
  for (size_t i = 1; i < std::size(kErrorTexts); ++i)
    if (kErrorTexts[i - 1].code >= kErrorTexts[i].code) return false;
  return true;
}
static_assert(IsStrictlySorted(), "kErrorTexts must stay sorted by code");

void WriteToStderr(const std::string& caption, const std::string& text) {
  std::fprintf(stderr, "%s: %s", caption.c_str(), text.c_str());
  std::fflush(stderr);
}

MsgSink& Sink() {
  static MsgSink sink = WriteToStderr;
  return sink;
}

}  // namespace

const char* D3DRMErrorToString(HRESULT code) {
  const uint32_t key = static_cast<uint32_t>(code);
  const auto* it = std::lower_bound(std::begin(kErrorTexts), std::end(kErrorTexts), key,
                                    [](const ErrorText& row, uint32_t k) { return row.code < k; });
  return (it != std::end(kErrorTexts) && it->code == key) ? it->text : kUnrecognized;
}

void SetMsgSink(MsgSink sink) { Sink() = sink ? std::move(sink) : MsgSink(WriteToStderr); }

void Msg(const char* fmt, ...) {
  // Callers insert file names and result texts of any length: measure first, then format
  // into a buffer of exactly that size.
  std::va_list args;
  va_start(args, fmt);
  std::va_list measure;
  va_copy(measure, args);
  const int needed = std::vsnprintf(nullptr, 0, fmt, measure);
  va_end(measure);
  std::string text;
  if (needed > 0) {
    text.resize(static_cast<size_t>(needed));
    std::vsnprintf(text.data(), text.size() + 1, fmt, args);
  }
  va_end(args);
  text += "\r\n";
  // A copy, so a sink that installs another sink while it runs stays alive.
  const MsgSink sink = Sink();
  sink(kMsgCaption, text);
}

void generic_error() {
  Msg("An error occurred while building the scene.\n");
  Msg("returned with an error");
}

const char* DialogErrorName(DWORD code) {
  struct Row {
    DWORD code;
    const char* name;
  };
  static constexpr Row kNames[] = {
      {1, "CDERR_STRUCTSIZE"},       {2, "CDERR_INITIALIZATION"},     {3, "CDERR_NOTEMPLATE"},
      {4, "CDERR_NOHINSTANCE"},      {5, "CDERR_LOADSTRFAILURE\t"},   {6, "CDERR_FINDRESFAILURE"},
      {7, "CDERR_LOADRESFAILURE\t"}, {8, "CDERR_LOCKRESFAILURE"},     {9, "CDERR_MEMALLOCFAILURE"},
      {10, "CDERR_MEMLOCKFAILURE\t"}, {11, "CDERR_NOHOOK"},           {0x3001, "FNERR_SUBCLASSFAILURE"},
      {0x3002, "FNERR_INVALIDFILENAME"}, {0x3003, "FNERR_BUFFERTOOSMALL"},
  };
  for (const Row& row : kNames)
    if (row.code == code) return row.name;
  return nullptr;
}
