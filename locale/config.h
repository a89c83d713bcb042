// The product's own configuration (Config.ini under the user's roaming application data): the
// language the product speaks and the "scan game" switch. One object serves the whole process.
#pragma once
#include <string>

namespace locale {

// Application data + "Korvo\Vantrel\Config.ini"; empty when the application-data folder is
// unknown.
std::string ProductConfigFile();
// Points ProductConfigFile at another file (tests); an empty text restores the real location.
void SetProductConfigFile(const std::string& path);

// A handle on the one configuration object. The first handle creates it (its folder is made,
// "Scan"/"ScanGame" is read), later ones share it, and the last one to go writes "ScanGame"
// back and frees it. Handles may be created and dropped on any thread.
class TConfig {
public:
    TConfig();
    ~TConfig();
    TConfig(const TConfig&) = delete;
    TConfig& operator=(const TConfig&) = delete;

    // "General"/"Language" exactly as stored, "English" when absent. Every call reads the
    // file, so a change by the product is seen at once.
    std::string GetLanguage() const;
    bool ScanGame() const;
    void SetScanGame(bool value);
    std::string FileName() const;

    static int UseCount();  // handles alive in the process

    struct TShared;  // the shared state; defined and used only in config.cpp

private:
    TShared* FShared;
};

}  // namespace locale
