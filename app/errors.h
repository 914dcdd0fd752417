// Error reporting: the one message routine and the result-code texts.
#pragma once

#include <functional>
#include <string>

#include "platform/rm/types.h"
#include "platform/win/win.h"

// Formats like printf, appends "\r\n" and shows the text in a modal box captioned
// "D3DRM Example Message" with one OK button; returns when the box is closed.
void Msg(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Where Msg's composed text goes. Until a window layer installs a modal box, the text is
// written to standard error. Tests install a sink to capture it; an empty sink restores
// the default.
using MsgSink = std::function<void(const std::string& caption, const std::string& text)>;
void SetMsgSink(MsgSink sink);

// A fixed text for any result code; "Unrecognized error value." for unknown codes.
const char* D3DRMErrorToString(HRESULT code);

// The stock failure report: two boxes in turn; the caller goes on.
void generic_error();

// The name of a file dialog's failure code (CommDlgExtendedError); null for success and
// unknown codes.
const char* DialogErrorName(DWORD code);
