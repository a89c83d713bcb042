// The service control manager of advapi32, and the 9x family's agent calls of user32/kernel32.
#include "platform/servicecontrol.h"

#include "platform/win32/win.h"

#include "platform/text.h"
#include "platform/win32/system_library.h"

namespace platform {

namespace {

std::wstring Wide(const std::string& text) {
    std::u16string w = Utf8ToUtf16(text);
    return std::wstring(w.begin(), w.end());
}

SC_HANDLE H(uintptr_t handle) {
    return reinterpret_cast<SC_HANDLE>(handle);
}
uintptr_t U(SC_HANDLE handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

class TWinServiceControl : public IServiceControl {
public:
    uintptr_t OpenSCManager(uint32_t access) override {
        return U(OpenSCManagerW(nullptr, nullptr, access));
    }
    uintptr_t OpenService(uintptr_t manager, const std::string& name, uint32_t access) override {
        return U(OpenServiceW(H(manager), Wide(name).c_str(), access));
    }
    bool QueryServiceStatus(uintptr_t service, uint32_t& state) override {
        SERVICE_STATUS status{};
        if (!::QueryServiceStatus(H(service), &status)) return false;
        state = status.dwCurrentState;
        return true;
    }
    bool StartService(uintptr_t service) override {
        return StartServiceW(H(service), 0, nullptr) != FALSE;
    }
    bool CloseServiceHandle(uintptr_t handle) override {
        return ::CloseServiceHandle(H(handle)) != FALSE;
    }
    uintptr_t LockServiceDatabase(uintptr_t manager) override {
        return reinterpret_cast<uintptr_t>(::LockServiceDatabase(H(manager)));
    }
    bool UnlockServiceDatabase(uintptr_t lock) override {
        return ::UnlockServiceDatabase(reinterpret_cast<SC_LOCK>(lock)) != FALSE;
    }
    bool QueryServiceLockStatus(uintptr_t manager, TServiceLockStatus& status) override {
        // The buffer of 268 bytes, zero-filled, that the status and its owner's name need.
        alignas(8) unsigned char buffer[268] = {};
        DWORD needed = 0;
        auto* lock = reinterpret_cast<QUERY_SERVICE_LOCK_STATUSW*>(buffer);
        if (!QueryServiceLockStatusW(H(manager), lock, sizeof buffer, &needed)) return false;
        status.IsLocked = lock->fIsLocked != 0;
        status.LockDuration = lock->dwLockDuration;
        if (lock->lpLockOwner) {
            std::wstring owner = lock->lpLockOwner;
            status.LockOwner = Utf16ToUtf8(std::u16string(owner.begin(), owner.end()));
        }
        return true;
    }
    bool ChangeServiceConfig(uintptr_t service, uint32_t serviceType, uint32_t startType,
                             uint32_t errorControl) override {
        return ChangeServiceConfigW(H(service), serviceType, startType, errorControl, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) != FALSE;
    }
    bool HasChangeServiceConfig2() override { return ChangeConfig2() != nullptr; }
    bool ChangeServiceDescription(uintptr_t service, const std::string& description) override {
        auto change = ChangeConfig2();
        if (!change) return false;
        std::wstring text = Wide(description);
        SERVICE_DESCRIPTIONW info{};
        info.lpDescription = description.empty() ? nullptr : &text[0];
        return change(H(service), SERVICE_CONFIG_DESCRIPTION, &info) != FALSE;
    }
    uint32_t LastError() override { return GetLastError(); }
    bool FindWindow(const std::string& className, const std::string& title) override {
        return FindWindowW(Wide(className).c_str(), Wide(title).c_str()) != nullptr;
    }
    bool SearchPath(const std::string& fileName, std::string& fullPath) override {
        wchar_t buffer[MAX_PATH] = {};
        wchar_t* filePart = nullptr;
        DWORD length =
            SearchPathW(nullptr, Wide(fileName).c_str(), nullptr, MAX_PATH, buffer, &filePart);
        if (length == 0 || length >= MAX_PATH) return false;
        fullPath = Utf16ToUtf8(std::u16string(buffer, buffer + length));
        return true;
    }
    bool CreateProcess(const std::string& path, uint32_t creationFlags) override {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::wstring app = Wide(path);
        if (!CreateProcessW(app.c_str(), nullptr, nullptr, nullptr, FALSE, creationFlags, nullptr,
                            nullptr, &startup, &process))
            return false;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
    }

private:
    using TChangeConfig2 = BOOL(WINAPI*)(SC_HANDLE, DWORD, LPVOID);
    static TChangeConfig2 ChangeConfig2() {
        HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
        if (!advapi) advapi = detail::LoadSystemLibrary(L"advapi32.dll");
        if (!advapi) return nullptr;
        return reinterpret_cast<TChangeConfig2>(
            reinterpret_cast<void*>(GetProcAddress(advapi, "ChangeServiceConfig2W")));
    }
};

}  // namespace

IServiceControl& RealServiceControl() {
    static TWinServiceControl real;
    return real;
}

}  // namespace platform
