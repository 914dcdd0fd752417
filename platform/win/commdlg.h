// The common dialogs: choosing a file to open or a name to save under, and choosing a
// colour, with the platform's request structures, flags and error codes. Included by win.h.
#pragma once

#include "platform/win/win.h"

inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;

using LPOFNHOOKPROC = UINT_PTR (*)(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// lpstrFilter is a list of (description, pattern) pairs, each string zero-terminated and the
// list ended by an empty string: "DirectX\0*.X\0_3D Studio\0*.3DS\0\0". A pattern may hold
// several wildcards separated by ';'; they match names case-insensitively. nFilterIndex is
// 1-based both ways: the filter offered first, then the one the chosen name went with.
// lpstrFile holds a path that seeds the dialog's folder and name, and receives the chosen
// path; nFileOffset and nFileExtension index into it (the name, and the character after
// the name's last '.', 0 when it has none). lpstrFileTitle, when given, receives the name
// alone, cut to nMaxFileTitle. lpstrInitialDir is the folder when lpstrFile names none.
// A chosen name without an extension gets "." + lpstrDefExt when that is set.
struct OPENFILENAMEA {
  DWORD lStructSize = sizeof(OPENFILENAMEA);
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  LPCSTR lpstrFilter = nullptr;
  LPSTR lpstrCustomFilter = nullptr;
  DWORD nMaxCustFilter = 0;
  DWORD nFilterIndex = 0;
  LPSTR lpstrFile = nullptr;
  DWORD nMaxFile = 0;
  LPSTR lpstrFileTitle = nullptr;
  DWORD nMaxFileTitle = 0;
  LPCSTR lpstrInitialDir = nullptr;
  LPCSTR lpstrTitle = nullptr;
  DWORD Flags = 0;
  WORD nFileOffset = 0;
  WORD nFileExtension = 0;
  LPCSTR lpstrDefExt = nullptr;
  LPARAM lCustData = 0;
  LPOFNHOOKPROC lpfnHook = nullptr;
  LPCSTR lpTemplateName = nullptr;
};
using LPOPENFILENAMEA = OPENFILENAMEA*;

// What CommDlgExtendedError reports about the last file dialog; 0 after success or cancel.
inline constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
inline constexpr DWORD CDERR_INITIALIZATION = 0x0002;
inline constexpr DWORD CDERR_NOTEMPLATE = 0x0003;
inline constexpr DWORD CDERR_NOHINSTANCE = 0x0004;
inline constexpr DWORD CDERR_LOADSTRFAILURE = 0x0005;
inline constexpr DWORD CDERR_FINDRESFAILURE = 0x0006;
inline constexpr DWORD CDERR_LOADRESFAILURE = 0x0007;
inline constexpr DWORD CDERR_LOCKRESFAILURE = 0x0008;
inline constexpr DWORD CDERR_MEMALLOCFAILURE = 0x0009;
inline constexpr DWORD CDERR_MEMLOCKFAILURE = 0x000A;
inline constexpr DWORD CDERR_NOHOOK = 0x000B;
inline constexpr DWORD FNERR_SUBCLASSFAILURE = 0x3001;
inline constexpr DWORD FNERR_INVALIDFILENAME = 0x3002;
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

// Modal (see platform/win/modal.h for how tests and headless runs answer them); the save
// dialog asks before replacing a file only with OFN_OVERWRITEPROMPT. TRUE when a file was
// chosen. FALSE on cancel, or on failure with the reason in CommDlgExtendedError:
// CDERR_STRUCTSIZE for a bad request, CDERR_INITIALIZATION without Qt,
// FNERR_INVALIDFILENAME when lpstrFile holds no terminated path or the name chosen is
// empty, FNERR_BUFFERTOOSMALL when the chosen path does not fit nMaxFile (its first two
// bytes then hold the size needed, terminator included).
BOOL GetOpenFileNameA(OPENFILENAMEA* request);
BOOL GetSaveFileNameA(OPENFILENAMEA* request);
DWORD CommDlgExtendedError();

inline constexpr DWORD CC_RGBINIT = 0x00000001;
inline constexpr DWORD CC_FULLOPEN = 0x00000002;

using LPCCHOOKPROC = UINT_PTR (*)(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// rgbResult is the initial colour with CC_RGBINIT and receives the colour chosen;
// lpCustColors points at the sixteen custom colours, which the user may change. Colours
// are COLORREFs: red in the low byte, then green, then blue.
struct CHOOSECOLORA {
  DWORD lStructSize = sizeof(CHOOSECOLORA);
  HWND hwndOwner = nullptr;
  HWND hInstance = nullptr;
  COLORREF rgbResult = 0;
  COLORREF* lpCustColors = nullptr;
  DWORD Flags = 0;
  LPARAM lCustData = 0;
  LPCCHOOKPROC lpfnHook = nullptr;
  LPCSTR lpTemplateName = nullptr;
};

// Modal; TRUE when a colour was chosen, FALSE on cancel (rgbResult unchanged) or for a
// bad request.
BOOL ChooseColorA(CHOOSECOLORA* request);
