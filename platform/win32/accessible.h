// The answer to WM_GETOBJECT for a window's client area: an accessible object tree built from
// what the window's owner says of its parts (TWindow::OnAccessibleTree).
#pragma once
#include "platform/win32/win.h"
#include "platform/window.h"

namespace platform::detail {

// The LRESULT for WM_GETOBJECT with OBJID_CLIENT, or 0 when there is nothing to give (the
// system's default object then answers).
LRESULT AnswerClientObject(HWND hwnd, WPARAM wp);
// The window behind one of our HWNDs (null for any other), for the objects that outlive calls.
TWindow* WindowOfHandle(HWND hwnd);

}  // namespace platform::detail
