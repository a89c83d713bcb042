#include "locale/environment.h"

#include <cmath>
#include <cstdio>

#include "platform/calendar.h"
#include "platform/clock.h"
#include "platform/path.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/screen.h"
#include "platform/shellfolders.h"
#include "platform/sysinfo.h"
#include "platform/text.h"

namespace locale {

std::string GetExeDir() {
    return platform::ExtractFilePath(platform::GetExePath());
}
std::string GetAppDataDir() {
    return platform::GetShellFolder(platform::ShellFolder::kAppData);
}
std::string GetCommonAppDataDir() {
    return platform::GetShellFolder(platform::ShellFolder::kCommonAppData);
}
std::string GetTempDir() {
    return platform::GetTempFolder();
}

std::string GetFileVersionText(const std::string& fileName, int parts) {
    std::string name = platform::Trim(fileName);
    if (name.empty()) name = platform::GetExePath();
    const auto v = platform::GetFileVersion(name);
    if (!v) return {};
    char buf[64];
    switch (parts) {
        case 1:
            std::snprintf(buf, sizeof buf, "%d", v->Major);
            break;
        case 2:
            std::snprintf(buf, sizeof buf, "%d.%d", v->Major, v->Minor);
            break;
        case 3:
            std::snprintf(buf, sizeof buf, "%d.%d.%d", v->Major, v->Minor, v->Release);
            break;
        case 4:
            std::snprintf(buf, sizeof buf, "%d.%d.%d.%d", v->Major, v->Minor, v->Release, v->Build);
            break;
        default:
            return {};
    }
    return buf;
}

std::string VersionPrefix(const std::string& text, int n) {
    std::string out;
    int dots = 0;
    for (char c : text) {
        if (c == '.' && ++dots == n) break;
        out += c;
    }
    return out;
}

namespace {
// "#.##": at most two decimals, trailing zeros dropped, the locale's separator.
std::string TwoDecimals(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", value);
    std::string s(buf);
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    const char sep = platform::SystemInfo().DecimalSeparator();
    for (char& c : s)
        if (c == '.') c = sep;
    return s;
}
}  // namespace

std::string FormatSize(int32_t bytes) {
    // Callers pass the low 32 bits of a byte count; read them unsigned so that 2 to 4 GiB do
    // not come out negative.
    const double b = static_cast<double>(static_cast<uint32_t>(bytes));
    if (b > 1073741824.0) return TwoDecimals(b / 1073741824.0) + " GB";
    if (b > 1048576.0) return TwoDecimals(b / 1048576.0) + " MB";
    if (b > 1024.0) return TwoDecimals(b / 1024.0) + " KB";
    if (b == 0) return "0 KB";
    return "1 KB";  // anything from 1 to 1024 bytes occupies one kilobyte, as file lists show
}

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int ms) {
    const int64_t days = platform::DayNumber(year, month, day);
    const double frac = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + ms) / 86400000.0;
    return static_cast<double>(days) + (days >= 0 ? frac : -frac);
}

double NowLocal() {
    const platform::TSystemTime t = platform::Clock().LocalTime();
    return EncodeDateTime(t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second, t.Millisecond);
}

int WholeDaysApart(double a, double b) {
    // Day numbers carry binary fractions: exactly 24 hours apart can come out a hair below 1.
    // Half a millisecond absorbs that without ever turning 23:59:59.999 into a day.
    const double halfMs = 0.5 / 86400000.0;
    const double days = std::trunc(std::fabs(a - b) + halfMs);
    // A stored time far out of range (or not a number at all) is as far apart as can be told:
    // converting such a value to int would be undefined.
    if (!(days < 2147483647.0)) return 2147483647;
    return static_cast<int>(days);
}

bool IsFullScreenAppActive() {
    platform::IScreen& screen = platform::Screen();
    const platform::TForegroundWindow w = screen.ForegroundWindow();
    if (!w.Exists || w.IsDesktop) return false;
    const int sw = screen.ScreenWidth(), sh = screen.ScreenHeight();
    if (w.Rect.Width() < sw || w.Rect.Height() < sh) return false;
    if (!(w.Rect == platform::TRect{0, 0, sw, sh})) return false;
    for (const char* desktop : {"WorkerW", "Progman", "Windows.UI.Core.CoreWindow"})
        if (platform::SameText(w.ClassName, desktop)) return false;
    return true;
}

std::string Base64Encode(std::string_view bytes, bool lineBreaks) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    int lineLength = 0;
    auto put = [&](char c) {
        out += c;
        if (lineBreaks && ++lineLength == 76) {
            out += "\r\n";
            lineLength = 0;
        }
    };
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t v = (static_cast<uint8_t>(bytes[i]) << 16) |
                           (static_cast<uint8_t>(bytes[i + 1]) << 8) |
                           static_cast<uint8_t>(bytes[i + 2]);
        put(kAlphabet[v >> 18]);
        put(kAlphabet[(v >> 12) & 63]);
        put(kAlphabet[(v >> 6) & 63]);
        put(kAlphabet[v & 63]);
    }
    if (i < bytes.size()) {
        uint32_t v = static_cast<uint8_t>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<uint8_t>(bytes[i + 1]) << 8;
        put(kAlphabet[v >> 18]);
        put(kAlphabet[(v >> 12) & 63]);
        put(i + 1 < bytes.size() ? kAlphabet[(v >> 6) & 63] : '=');
        put('=');
    }
    return out;
}

std::string EncodeReportText(const std::string& text) {
    return Base64Encode(text, true);
}

namespace {

constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

bool Installed(std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (platform::Registry().KeyExists(platform::RegHive::kLocalMachine,
                                           std::string(kUninstall) + n, true))
            return true;
    return false;
}

// The product's recorded status 0 to 4, or nothing.
std::optional<int> Status(const char* productKey) {
    const auto v = platform::Registry().ReadDword(platform::RegHive::kLocalMachine,
                                                  std::string("SOFTWARE\\Korvo\\") + productKey,
                                                  "Status", true);
    if (v && *v <= 4) return static_cast<int>(*v);
    return std::nullopt;
}

struct TProduct {
    const char* Key;                           // member of the report
    std::initializer_list<const char*> Names;  // uninstall entries (release, beta)
    std::initializer_list<const char*> Keys;   // where the product records its status
    int Unreadable;                            // value when installed without a status
};

int ProductValue(const TProduct& p) {
    if (!Installed(p.Names)) return 10;
    for (const char* k : p.Keys)
        if (const auto s = Status(k)) return *s;
    return p.Unreadable;
}

}  // namespace

std::string InstalledProductsReport() {
    // Vantrel comes last; the others are the maker's companion products. Disk Doctor marks an
    // installation without a readable status with 255, the others with -1.
    const TProduct products[] = {
        {"ab", {"Korvo AppBoost_is1"}, {"AppBoost"}, -1},
        {"sc", {"Korvo SmartClean_is1"}, {"SmartClean"}, -1},
        {"pm", {"Korvo PrivacyMask_is1"}, {"PrivacyMask"}, -1},
        {"dd", {"Korvo Disk Doctor_is1"}, {"Disk Doctor"}, 255},
        {"vt", {"Vantrel_is1", "Vantrel Beta_is1"}, {"Vantrel", "Vantrel Beta"}, -1},
    };
    std::string json = "{";
    for (const TProduct& p : products) {
        if (json.size() > 1) json += ",";
        json += "\"" + std::string(p.Key) + "\":" + std::to_string(ProductValue(p));
    }
    json += "}";
    return EncodeReportText(json);
}

}  // namespace locale
