#include "app/startup.h"

#include <algorithm>

#include "locale/environment.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/registry.h"
#include "platform/screen.h"
#include "platform/sysinfo.h"

namespace app {

int DpiScalePercent() {
    const platform::TOsVersion v = platform::SystemInfo().OsVersion();
    platform::IRegistry& reg = platform::Registry();
    uint32_t dpi = 0;
    if (v.Major >= 10) {
        dpi = reg.ReadDword(platform::RegHive::kCurrentUser,
                            "Control Panel\\Desktop\\WindowMetrics", "AppliedDPI", false)
                  .value_or(0);
    } else if (v.Major == 6 && v.Minor == 3) {
        const std::string o = reg.ReadString(platform::RegHive::kCurrentUser,
                                             "Control Panel\\Desktop", "DesktopDPIOverride", false)
                                  .value_or("");
        dpi = o == "0" ? 96 : o == "1" ? 120 : o == "2" ? 144 : o == "3" ? 192 : 0;
    } else {
        dpi = reg.ReadDword(platform::RegHive::kCurrentUser, "Control Panel\\Desktop", "LogPixels",
                            false)
                  .value_or(0);
    }
    if (dpi == 0) dpi = 96;
    return static_cast<int>(dpi * 100 / 96);
}

platform::TDpiAwareness DecideDpiAwareness() {
    platform::IScreen& screen = platform::Screen();
    if (!screen.IsCompositionEnabled()) return platform::TDpiAwareness::kNone;
    const int scale = DpiScalePercent();
    const int w = screen.ScreenWidth() * scale / 100;
    const int h = screen.ScreenHeight() * scale / 100;
    // Large screens: the system keeps scaling our fixed-size windows.
    if (std::max(w, h) > 1800) return platform::TDpiAwareness::kNone;
    const platform::TOsVersion v = platform::SystemInfo().OsVersion();
    if (v.Major > 6 || (v.Major == 6 && v.Minor > 2)) return platform::TDpiAwareness::kPerMonitor;
    if (v.Major == 6) return platform::TDpiAwareness::kSystemAware;
    return platform::TDpiAwareness::kNone;
}

std::string WriteCrashReport(const std::string& what, const std::string& stack) {
    const platform::TSystemTime t = platform::Clock().LocalTime();
    char when[64];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", t.Year, t.Month, t.Day,
                  t.Hour, t.Minute, t.Second);
    std::string text = "Leapgate crash report\r\n";
    text += "Version: " + locale::GetFileVersionText("", 4) + "\r\n";
    text += "Time: " + std::string(when) + "\r\n";
    text += "Message: " + what + "\r\n";
    text += "Stack:\r\n" + (stack.empty() ? std::string("(not available)\r\n") : stack);
    const std::string path = platform::JoinPath({locale::GetTempDir(), "Leapgate_crash.txt"});
    platform::WriteFileBytes(path, text);
    return path;
}

}  // namespace app
