#include "tests/support/accessible_reader.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
// clang-format off
#include <oleacc.h>
// clang-format on

#include "platform/text.h"
#endif

namespace testsupport {

namespace {

std::string RoleWord(long role) {
    switch (role) {
        case 0x0a:
            return "client";
        case 0x12:
            return "dialog";
        case 0x1e:
            return "link";
        case 0x21:
            return "list";
        case 0x22:
            return "list item";
        case 0x29:
            return "text";
        case 0x2b:
            return "button";
        case 0x30:
            return "progress bar";
    }
    return "role " + std::to_string(role);
}

void Say(const TReadAccessible& n, int depth, std::vector<std::string>& out) {
    constexpr long kInvisible = 0x8000, kOffscreen = 0x10000;
    if (n.State & (kInvisible | kOffscreen)) return;
    std::string line(size_t(depth) * 2, ' ');
    line += (n.Name.empty() ? "(no name)" : n.Name) + ", " + RoleWord(n.Role);
    if (!n.Value.empty()) line += ", " + n.Value;
    if (n.State & 0x2) line += ", selected";
    if (n.State & 0x4) line += ", focused";
    if (n.State & 0x1) line += ", unavailable";
    out.push_back(line);
    for (const auto& c : n.Children) Say(c, depth + 1, out);
}

}  // namespace

std::vector<std::string> Spoken(const TReadAccessible& tree) {
    std::vector<std::string> out;
    Say(tree, 0, out);
    return out;
}

void PrintSpoken(const std::string& heading, const TReadAccessible& tree) {
    if (!std::getenv("LG_PRINT_SPOKEN")) return;
    std::string text = "== " + heading + "\n";
    for (const auto& line : Spoken(tree)) text += line + "\n";
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

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
    VariantInit(&v);
    if (acc->get_accSelection(&v) == S_OK && v.vt == VT_I4) out.Selection = v.lVal;
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
