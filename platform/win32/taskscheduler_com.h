// Shared pieces of the Windows backend of the Task Scheduler interfaces (included by
// platform/win32/taskscheduler*.cpp only): text and VARIANT conversion at the COM boundary,
// and wrapping a COM object into its abstract interface.
#pragma once
#include "platform/win32/win.h"
#include <mstask.h>
#include <oleauto.h>
#include <taskschd.h>

#include <string>

#include "platform/taskscheduler.h"
#include "platform/text.h"

namespace platform::comdetail {

// Class and interface identifiers, kept here so that no import library must carry them.
inline const GUID kClsidTaskScheduler = {
    0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
inline const GUID kIidTaskService = {
    0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};
inline const GUID kIidTimeTrigger = {
    0xb45747e0, 0xeba7, 0x4276, {0x9f, 0x29, 0x85, 0xc5, 0xbb, 0x30, 0x00, 0x06}};
inline const GUID kIidDailyTrigger = {
    0x126c5cd8, 0xb288, 0x41d5, {0x8d, 0xbf, 0xe4, 0x91, 0x44, 0x6a, 0xdc, 0x5c}};
inline const GUID kIidWeeklyTrigger = {
    0x5038fc98, 0x82ff, 0x436d, {0x87, 0x28, 0xa5, 0x12, 0xa5, 0x7c, 0x9d, 0xc1}};
inline const GUID kIidMonthlyTrigger = {
    0x97c45ef1, 0x6b02, 0x4a1a, {0x9c, 0x0e, 0x1e, 0xbf, 0xba, 0x15, 0x00, 0xac}};
inline const GUID kIidIdleTrigger = {
    0xd537d2b0, 0x9fb3, 0x4d34, {0x97, 0x39, 0x1f, 0xf5, 0xce, 0x7b, 0x1e, 0xf3}};
inline const GUID kIidRegistrationTrigger = {
    0x4c8fec3a, 0xc218, 0x4e0c, {0xb2, 0x3d, 0x62, 0x90, 0x24, 0xdb, 0x91, 0xa2}};
inline const GUID kIidBootTrigger = {
    0x2a9c35da, 0xd357, 0x41f4, {0xbb, 0xc1, 0x20, 0x7a, 0xc1, 0xb1, 0xf3, 0xcb}};
inline const GUID kIidLogonTrigger = {
    0x72dade38, 0xfae4, 0x4b3e, {0xba, 0xf4, 0x5d, 0x00, 0x9a, 0xf0, 0x2b, 0x1c}};
inline const GUID kIidExecAction = {
    0x4c3d624d, 0xfd6b, 0x49a3, {0xb9, 0xb7, 0x09, 0xcb, 0x3c, 0xd3, 0xf0, 0x47}};
inline const GUID kIidShowMessageAction = {
    0x505e9e68, 0xaf89, 0x46b8, {0xa3, 0x0f, 0x56, 0x16, 0x2a, 0x83, 0xd5, 0x37}};
inline const GUID kClsidCTask = {
    0x148bd520, 0xa2ab, 0x11ce, {0xb1, 0x1f, 0x00, 0xaa, 0x00, 0x53, 0x05, 0x03}};
inline const GUID kClsidCTaskScheduler = {
    0x148bd52a, 0xa2ab, 0x11ce, {0xb1, 0x1f, 0x00, 0xaa, 0x00, 0x53, 0x05, 0x03}};
inline const GUID kIidTaskScheduler1 = {
    0x148bd527, 0xa2ab, 0x11ce, {0xb1, 0x1f, 0x00, 0xaa, 0x00, 0x53, 0x05, 0x03}};
inline const GUID kIidTask1 = {
    0x148bd524, 0xa2ab, 0x11ce, {0xb1, 0x1f, 0x00, 0xaa, 0x00, 0x53, 0x05, 0x03}};
inline const GUID kIidPersistFile = {
    0x0000010b, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

inline std::wstring Wide(const std::string& text) {
    std::u16string w = Utf8ToUtf16(text);
    return std::wstring(w.begin(), w.end());
}

inline std::string Narrow(const wchar_t* text, size_t length) {
    if (!text) return {};
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

// A BSTR argument, freed after the call.
class TBstrArg {
public:
    explicit TBstrArg(const std::string& text) : F(SysAllocString(Wide(text).c_str())) {}
    ~TBstrArg() { SysFreeString(F); }
    TBstrArg(const TBstrArg&) = delete;
    TBstrArg& operator=(const TBstrArg&) = delete;
    operator BSTR() const { return F; }

private:
    BSTR F;
};

// Takes a BSTR the callee allocated.
inline std::string TakeBstr(BSTR text) {
    std::string out = text ? Narrow(text, SysStringLen(text)) : std::string();
    SysFreeString(text);
    return out;
}

// Takes a text the 1.0 interfaces allocated with CoTaskMemAlloc.
inline std::string TakeCoText(LPWSTR text) {
    std::string out = text ? Narrow(text, wcslen(text)) : std::string();
    CoTaskMemFree(text);
    return out;
}

// An optional VARIANT argument: VT_NULL or VT_BSTR.
class TVariantArg {
public:
    explicit TVariantArg(const TVariant& value) {
        VariantInit(&F);
        if (value.IsNull) {
            F.vt = VT_NULL;
        } else {
            F.vt = VT_BSTR;
            F.bstrVal = SysAllocString(Wide(value.Text).c_str());
        }
    }
    ~TVariantArg() { VariantClear(&F); }
    TVariantArg(const TVariantArg&) = delete;
    TVariantArg& operator=(const TVariantArg&) = delete;
    operator VARIANT() const { return F; }

private:
    VARIANT F;
};

inline VARIANT IndexVariant(int32_t index) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = index;
    return v;
}

// Owns one reference of a COM object.
template <class C>
class TComHolder {
public:
    explicit TComHolder(C* com) : FCom(com) {}
    ~TComHolder() {
        if (FCom) FCom->Release();
    }
    TComHolder(const TComHolder&) = delete;
    TComHolder& operator=(const TComHolder&) = delete;

protected:
    C* FCom;
};

// Hands out a COM object the call returned through `make` (which takes the reference). The
// object is taken by reference: the call that fills it is an argument of the same expression,
// and argument order is unspecified, so it must be read here, after the call.
template <class I, class C, class F>
HResult WrapWith(HRESULT hr, C*& com, TPtr<I>& out, F make) {
    out.reset();
    if (SUCCEEDED(hr) && com)
        out = make(com);
    else if (com)
        com->Release();
    return hr;
}

// The same as wrapper W.
template <class W, class I, class C>
HResult Wrap(HRESULT hr, C*& com, TPtr<I>& out) {
    return WrapWith(hr, com, out, [](C* taken) { return TPtr<I>(std::make_shared<W>(taken)); });
}

// COM properties forwarded by kind of value: `get` and `put` are the COM object's own methods,
// COMT the type it says the value in, `take` what turns that into ours (and frees it).
template <class COMT, class C, class M, class T, class F>
HResult GetTaken(C* com, M get, T& value, F take) {
    COMT v{};
    HRESULT hr = (com->*get)(&v);
    value = take(v);
    return hr;
}

template <class COMT, class C, class M, class T>
HResult GetValue(C* com, M get, T& value) {
    return GetTaken<COMT>(com, get, value, [](COMT v) { return static_cast<T>(v); });
}

template <class C, class M>
HResult GetBstr(C* com, M get, TBstr& value) {
    return GetTaken<BSTR>(com, get, value, TakeBstr);
}

// The 1.0 interfaces hand out texts allocated with CoTaskMemAlloc.
template <class C, class M>
HResult GetCoText(C* com, M get, TBstr& value) {
    return GetTaken<LPWSTR>(com, get, value, TakeCoText);
}

template <class COMT, class C, class M, class T>
HResult PutValue(C* com, M put, const T& value) {
    return (com->*put)(static_cast<COMT>(value));
}

template <class C, class M>
HResult PutBstr(C* com, M put, const TBstr& value) {
    TBstrArg text(value);
    return (com->*put)(text);
}

TPtr<ITriggerCollection> WrapTriggerCollection(::ITriggerCollection* com);
TPtr<IActionCollection> WrapActionCollection(::IActionCollection* com);
TPtr<platform::ITaskScheduler> WrapTaskScheduler(::ITaskScheduler* com);

}  // namespace platform::comdetail
