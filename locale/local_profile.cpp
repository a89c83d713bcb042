#include "locale/local_profile.h"

#include <vector>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "platform/shellfolders.h"
#include "platform/sysinfo.h"
#include "platform/text.h"

namespace locale {

namespace {

// Filled once at start-up before any other thread runs; only read afterwards.
TLocal gLocalProfile;

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    for (const auto& n : names)
        if (platform::SameText(n, name)) return true;
    return false;
}

// The file is only read, through the profile functions, so its attributes stay as shipped.
void ReadKeys(const std::string& file, const std::string& section, TLocal& local) {
    local.Name = platform::ProfileGetString(file, section, "Name", local.Name);
    local.Lang = platform::ProfileGetString(file, section, "Lang", local.Lang);
    local.Ref = platform::ProfileGetString(file, section, "Ref", local.Ref);
    local.Pr = platform::ProfileGetString(file, section, "Pr", local.Pr);
}

}  // namespace

TLocal LoadLocalProfileFrom(const std::string& fileName) {
    TLocal local;
    if (fileName.empty() || !platform::FileExists(fileName)) return local;
    ReadKeys(fileName, "Local", local);

    // Only the language part of the identifier counts; the sort bits above it do not.
    const uint32_t lcid = platform::SystemInfo().SystemLocaleId() & 0xFFFFu;
    const std::string id = std::to_string(lcid);
    if (!Contains(platform::ProfileKeyNames(fileName, "LCID"), id)) return local;
    const std::string section = platform::ProfileGetString(fileName, "LCID", id, "Local");
    if (!Contains(platform::ProfileSectionNames(fileName), section)) return local;
    ReadKeys(fileName, section, local);
    return local;
}

const TLocal& LocalProfile() {
    return gLocalProfile;
}

void LoadLocalProfile() {
    const std::string exeDir = platform::ExtractFilePath(platform::GetExePath());
    TLocal local =
        exeDir.empty() ? TLocal{} : LoadLocalProfileFrom(platform::JoinPath({exeDir, "local.dat"}));
    gLocalProfile = std::move(local);
}

}  // namespace locale
