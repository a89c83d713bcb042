#include "locale/config.h"

#include <atomic>
#include <mutex>
#include <optional>

#include "platform/file.h"
#include "platform/guarded.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "platform/shellfolders.h"
#include "platform/text.h"

namespace locale {

namespace {

constexpr const char* kScanSection = "Scan";
constexpr const char* kScanKey = "ScanGame";

platform::TGuarded<std::string> gConfigPathOverride;

bool ParseIniBool(const std::string& text, bool defaultValue) {
    int32_t v = 0;
    return platform::ParseInt32Loose(text, v) ? v != 0 : defaultValue;
}

// The key's text, or nothing when the key is missing (which an empty value is not).
std::optional<std::string> ScanGameText(const std::string& file) {
    for (const std::string& key : platform::ProfileKeyNames(file, kScanSection))
        if (platform::SameText(key, kScanKey))
            return platform::ProfileGetString(file, kScanSection, kScanKey, "");
    return std::nullopt;
}

}  // namespace

std::string ProductConfigFile() {
    if (std::string path = gConfigPathOverride.Get(); !path.empty()) return path;
    const std::string appData = platform::GetShellFolder(platform::ShellFolder::kAppData);
    if (appData.empty()) return "";
    return platform::JoinPath({appData, "Korvo", "Vantrel", "Config.ini"});
}

void SetProductConfigFile(const std::string& path) {
    gConfigPathOverride.Set(path);
}

// The profile functions are used directly rather than the settings-file object: that object
// clears a read-only attribute, and this file belongs to the product, not to us.
struct TConfig::TShared {
    std::string FileName;
    std::atomic<bool> ScanGame{true};
    bool ScanGameAtStart = true;
    std::optional<std::string> ScanGameTextAtStart;  // the key's text at creation
    int Uses = 0;

    explicit TShared(std::string fileName) : FileName(std::move(fileName)) {
        if (FileName.empty()) return;
        // The product expects its folder to be there; the file itself is left to the product.
        platform::ForceDirectories(platform::ExtractFileDir(FileName));
        ScanGameTextAtStart = ScanGameText(FileName);
        ScanGameAtStart = !ScanGameTextAtStart || ParseIniBool(*ScanGameTextAtStart, true);
        ScanGame = ScanGameAtStart;
    }

    // The value goes back when the file already has the key or when it is off. The product may
    // have changed the key while we ran (a download can take minutes); putting back the value
    // we read at start would undo the user's choice, so an unchanged value of ours is only
    // written over an unchanged file.
    void WriteBack() {
        if (FileName.empty()) return;
        const bool value = ScanGame;
        const std::optional<std::string> now = ScanGameText(FileName);
        if (!now && value) return;
        if (value == ScanGameAtStart && now != ScanGameTextAtStart) return;
        platform::ProfileWriteString(FileName, kScanSection, kScanKey, value ? "1" : "0");
    }
};

namespace {
std::mutex gInstanceLock;
TConfig::TShared* gInstance = nullptr;  // guarded by gInstanceLock
}  // namespace

TConfig::TConfig() {
    std::lock_guard<std::mutex> lock(gInstanceLock);
    if (gInstance == nullptr) gInstance = new TShared(ProductConfigFile());
    ++gInstance->Uses;
    FShared = gInstance;
}

TConfig::~TConfig() {
    std::lock_guard<std::mutex> lock(gInstanceLock);
    if (--FShared->Uses > 0) return;
    FShared->WriteBack();  // failures of this write change nothing for the run: ignored
    delete FShared;
    gInstance = nullptr;
}

std::string TConfig::GetLanguage() const {
    if (FShared->FileName.empty()) return "English";
    return platform::ProfileGetString(FShared->FileName, "General", "Language", "English");
}

bool TConfig::ScanGame() const {
    return FShared->ScanGame;
}

void TConfig::SetScanGame(bool value) {
    FShared->ScanGame = value;
}

std::string TConfig::FileName() const {
    return FShared->FileName;
}

int TConfig::UseCount() {
    std::lock_guard<std::mutex> lock(gInstanceLock);
    return gInstance == nullptr ? 0 : gInstance->Uses;
}

}  // namespace locale
