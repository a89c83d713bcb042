#include "platform/registry.h"

#include "platform/win32/win.h"

#include "platform/win32/wide.h"

namespace platform {

namespace {

HKEY Root(RegHive hive) {
    return hive == RegHive::kClassesRoot   ? HKEY_CLASSES_ROOT
           : hive == RegHive::kCurrentUser ? HKEY_CURRENT_USER
                                           : HKEY_LOCAL_MACHINE;
}

class TKey {
public:
    TKey(RegHive hive, const std::string& key, bool view32) {
        const REGSAM sam = KEY_READ | (view32 ? KEY_WOW64_32KEY : 0);
        if (::RegOpenKeyExW(Root(hive), Wide(key).c_str(), 0, sam, &FKey) != ERROR_SUCCESS)
            FKey = nullptr;
    }
    ~TKey() {
        if (FKey) ::RegCloseKey(FKey);
    }
    HKEY Get() const { return FKey; }

private:
    HKEY FKey = nullptr;
};

class TWinRegistry : public IRegistry {
public:
    bool KeyExists(RegHive hive, const std::string& key, bool view32) override {
        return TKey(hive, key, view32).Get() != nullptr;
    }
    std::optional<std::string> ReadString(RegHive hive, const std::string& key,
                                          const std::string& value, bool view32) override {
        TKey k(hive, key, view32);
        if (!k.Get()) return std::nullopt;
        const std::wstring name = Wide(value);
        DWORD type = 0, size = 0;
        if (::RegQueryValueExW(k.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        std::wstring buf(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
        if (::RegQueryValueExW(k.Get(), name.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(buf.data()), &size) != ERROR_SUCCESS)
            return std::nullopt;
        buf.resize(size / sizeof(wchar_t));
        while (!buf.empty() && buf.back() == L'\0') buf.pop_back();
        return Narrow(buf);
    }
    std::optional<uint32_t> ReadDword(RegHive hive, const std::string& key,
                                      const std::string& value, bool view32) override {
        TKey k(hive, key, view32);
        if (!k.Get()) return std::nullopt;
        DWORD type = 0, data = 0, size = sizeof data;
        if (::RegQueryValueExW(k.Get(), Wide(value).c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
            type != REG_DWORD)
            return std::nullopt;
        return data;
    }
};

}  // namespace

IRegistry& RealRegistry() {
    static TWinRegistry registry;
    return registry;
}

}  // namespace platform
