#include "tests/support/synthetic_input.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#endif

namespace testsupport {

#ifdef _WIN32

namespace {
WORD VirtualKey(platform::TKey key) {
    using platform::TKey;
    switch (key) {
        case TKey::Tab:
            return VK_TAB;
        case TKey::Enter:
            return VK_RETURN;
        case TKey::Escape:
            return VK_ESCAPE;
        case TKey::Space:
            return VK_SPACE;
        case TKey::Left:
            return VK_LEFT;
        case TKey::Right:
            return VK_RIGHT;
        case TKey::Up:
            return VK_UP;
        case TKey::Down:
            return VK_DOWN;
        case TKey::PageUp:
            return VK_PRIOR;
        case TKey::PageDown:
            return VK_NEXT;
        case TKey::Home:
            return VK_HOME;
        case TKey::End:
            return VK_END;
        default:
            return 'A';
    }
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = WORD(MapVirtualKeyW(vk, 0));  // MAPVK_VK_TO_VSC
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}
}  // namespace

bool CanSendKeys() {
    return true;
}

bool SendKey(platform::TKey key, bool shift) {
    INPUT in[4];
    UINT n = 0;
    if (shift) in[n++] = KeyInput(VK_SHIFT, false);
    in[n++] = KeyInput(VirtualKey(key), false);
    in[n++] = KeyInput(VirtualKey(key), true);
    if (shift) in[n++] = KeyInput(VK_SHIFT, true);
    return SendInput(n, in, sizeof(INPUT)) == n;
}

bool HasKeyboard(const platform::TWindow& window) {
    return GetForegroundWindow() == static_cast<HWND>(window.NativeHandle());
}

std::string XProperties(const platform::TWindow&) {
    return {};
}

unsigned long ProcessId() {
    return GetCurrentProcessId();
}

#else

namespace {
const char* KeyName(platform::TKey key) {
    using platform::TKey;
    switch (key) {
        case TKey::Tab:
            return "Tab";
        case TKey::Enter:
            return "Return";
        case TKey::Escape:
            return "Escape";
        case TKey::Space:
            return "space";
        case TKey::Left:
            return "Left";
        case TKey::Right:
            return "Right";
        case TKey::Up:
            return "Up";
        case TKey::Down:
            return "Down";
        case TKey::PageUp:
            return "Prior";
        case TKey::PageDown:
            return "Next";
        case TKey::Home:
            return "Home";
        case TKey::End:
            return "End";
        default:
            return "a";
    }
}
}  // namespace

bool CanSendKeys() {
    static const bool can =
        platform::TWindow::Available() && std::system("xdotool version >/dev/null 2>&1") == 0;
    return can;
}

bool SendKey(platform::TKey key, bool shift) {
    const std::string name = std::string(shift ? "shift+" : "") + KeyName(key);
    return std::system(("xdotool key --clearmodifiers " + name).c_str()) == 0;
}

bool HasKeyboard(const platform::TWindow& window) {
    FILE* p = ::popen("xdotool getwindowfocus 2>/dev/null", "r");
    if (!p) return false;
    unsigned long id = 0;
    const bool read = std::fscanf(p, "%lu", &id) == 1;
    ::pclose(p);
    return read && id == reinterpret_cast<unsigned long>(window.NativeHandle());
}

unsigned long ProcessId() {
    return static_cast<unsigned long>(::getpid());
}

std::string XProperties(const platform::TWindow& window) {
    const std::string command =
        "xprop -id " + std::to_string(reinterpret_cast<unsigned long>(window.NativeHandle())) +
        " 2>/dev/null";
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return {};
    std::string out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    ::pclose(p);
    return out;
}

#endif

}  // namespace testsupport
