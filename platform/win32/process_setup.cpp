#include "platform/process_setup.h"

#include "platform/common/crash_report.h"

#include "platform/win32/win.h"
#include "platform/win32/system_library.h"

#include <float.h>

#include <cstdio>
#include <exception>

namespace platform {

void MaskFloatingPointOverflowUnderflow() {
    unsigned int current = 0;
    _controlfp_s(&current, _EM_OVERFLOW | _EM_UNDERFLOW, _EM_OVERFLOW | _EM_UNDERFLOW);
}

bool FloatingPointOverflowUnderflowMasked() {
    unsigned int current = 0;
    _controlfp_s(&current, 0, 0);
    return (current & (_EM_OVERFLOW | _EM_UNDERFLOW)) == (_EM_OVERFLOW | _EM_UNDERFLOW);
}

void DeclareDpiAwareness(TDpiAwareness awareness) {
    if (awareness == TDpiAwareness::kPerMonitor) {
        if (HMODULE shcore = detail::LoadSystemLibrary(L"shcore.dll")) {
            using Fn = HRESULT(WINAPI*)(int);
            auto fn = reinterpret_cast<Fn>(
                reinterpret_cast<void*>(::GetProcAddress(shcore, "SetProcessDpiAwareness")));
            if (fn) fn(2);
        }
    } else if (awareness == TDpiAwareness::kSystemAware) {
        if (HMODULE user = ::GetModuleHandleW(L"user32.dll")) {
            using Fn = BOOL(WINAPI*)();
            auto fn = reinterpret_cast<Fn>(
                reinterpret_cast<void*>(::GetProcAddress(user, "SetProcessDPIAware")));
            if (fn) fn();
        }
    }
}

void MakeLibrarySearchSafe() {
    // Looked up, not imported: systems without the update that brought it must still start.
    using TSetDefault = BOOL(WINAPI*)(DWORD);
    if (HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll")) {
        auto setDefault = reinterpret_cast<TSetDefault>(
            reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
        if (setDefault)
            setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
    }
    // Where the call above is missing, this at least takes the current folder out of the search.
    ::SetDllDirectoryW(L"");
}

std::string CurrentStack() {
    void* frames[62];
    const USHORT n = ::CaptureStackBackTrace(0, 62, frames, nullptr);
    std::string out;
    char line[64];
    for (USHORT i = 0; i < n; ++i) {
        std::snprintf(line, sizeof line, "%p\n", frames[i]);
        out += line;
    }
    return out;
}

namespace detail {
void ExitAtOnce() {
    ::ExitProcess(0);
}
}  // namespace detail

namespace {
LONG WINAPI OnException(EXCEPTION_POINTERS* info) {
    char what[128];
    std::snprintf(what, sizeof what, "exception 0x%08lX at %p",
                  static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                  info->ExceptionRecord->ExceptionAddress);
    detail::ReportCrashAndExit(what);
}
}  // namespace

void InstallCrashHandler(std::function<void(const std::string&, const std::string&)> report) {
    detail::KeepCrashReport(std::move(report));
    ::SetUnhandledExceptionFilter(OnException);
}

}  // namespace platform
