// Libraries an elevated program loads at run time, by full path only: a file of the same name
// in the current folder or a PATH folder (both writable by any program of the user) must never
// be the one that runs.
#pragma once
#include "platform/win32/win.h"

namespace platform::detail {

// A system library, from System32 only.
HMODULE LoadSystemLibrary(const wchar_t* name);
// A library shipped beside the program, from the program's own folder only; the libraries it
// needs come from that folder or System32.
HMODULE LoadProgramLibrary(const wchar_t* name);

}  // namespace platform::detail
