#include "tests/support/accessible_reader.h"

#ifdef _WIN32
#include <windows.h>
// clang-format off
#include <oleacc.h>
// clang-format on

#include "platform/text.h"
#endif

namespace testsupport {

#ifdef _WIN32

namespace {

using TAccessibleObjectFromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);

TAccessibleObjectFromWindow Loader() {
    static const auto fn = [] {
        HMODULE m = LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return m ? reinterpret_cast<TAccessibleObjectFromWindow>(
                       reinterpret_cast<void*>(GetProcAddress(m, "AccessibleObjectFromWindow")))
                 : nullptr;
    }();
    return fn;
}

std::string Take(BSTR b) {
    if (!b) return {};
    std::u16string u(reinterpret_cast<const char16_t*>(b), SysStringLen(b));
    SysFreeString(b);
    return platform::Utf16ToUtf8(u);
}

VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

TReadAccessible Read(IAccessible* acc, long id) {
    TReadAccessible out;
    const VARIANT self = Child(id);
    BSTR b = nullptr;
    if (acc->get_accName(self, &b) == S_OK) out.Name = Take(b);
    b = nullptr;
    if (acc->get_accValue(self, &b) == S_OK) out.Value = Take(b);
    b = nullptr;
    if (acc->get_accDefaultAction(self, &b) == S_OK) out.DefaultAction = Take(b);
    VARIANT v;
    VariantInit(&v);
    if (acc->get_accRole(self, &v) == S_OK && v.vt == VT_I4) out.Role = v.lVal;
    VariantInit(&v);
    if (acc->get_accState(self, &v) == S_OK && v.vt == VT_I4) out.State = v.lVal;
    acc->accLocation(&out.Left, &out.Top, &out.Width, &out.Height, self);
    if (id != CHILDID_SELF) return out;
    long count = 0;
    acc->get_accChildCount(&count);
    for (long i = 1; i <= count; ++i) {
        IDispatch* d = nullptr;
        const HRESULT hr = acc->get_accChild(Child(i), &d);
        IAccessible* inner = nullptr;
        if (hr == S_OK && d &&
            SUCCEEDED(d->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&inner)))) {
            out.Children.push_back(Read(inner, CHILDID_SELF));
            inner->Release();
        } else {
            out.Children.push_back(Read(acc, i));
        }
        if (d) d->Release();
    }
    return out;
}

IAccessible* ClientObject(void* nativeWindow) {
    const auto fn = Loader();
    if (!fn) return nullptr;
    IAccessible* acc = nullptr;
    if (FAILED(fn(static_cast<HWND>(nativeWindow), DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                  reinterpret_cast<void**>(&acc))))
        return nullptr;
    return acc;
}

}  // namespace

bool CanReadAccessibleTrees() {
    return true;
}

std::optional<TReadAccessible> ReadClientTree(void* nativeWindow) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::optional<TReadAccessible> out;
    if (IAccessible* acc = ClientObject(nativeWindow)) {
        out = Read(acc, CHILDID_SELF);
        acc->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return out;
}

bool DoDefaultAction(void* nativeWindow, long id) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool ok = false;
    if (IAccessible* acc = ClientObject(nativeWindow)) {
        ok = acc->accDoDefaultAction(Child(id)) == S_OK;
        acc->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return ok;
}

#else

bool CanReadAccessibleTrees() {
    return false;
}

std::optional<TReadAccessible> ReadClientTree(void*) {
    return std::nullopt;
}

bool DoDefaultAction(void*, long) {
    return false;
}

#endif

}  // namespace testsupport
