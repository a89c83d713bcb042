#include "locale/openlink.h"

#include "platform/file.h"
#include "platform/path.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shellfolders.h"
#include "platform/sysinfo.h"
#include "platform/text.h"

namespace locale {

namespace {

bool Launch(const std::string& file, const std::string& parameters) {
    try {
        return platform::Launcher().ShellOpen(file, parameters) > 32;
    } catch (...) {
        return false;
    }
}

// On 8 and 8.1 a browser may be installed without the user ever having chosen one; the shell
// then shows a chooser instead of opening the link.
bool DefaultBrowserChosen() {
    platform::IRegistry& reg = platform::Registry();
    const std::string choice =
        "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice";
    const std::string progId =
        reg.ReadString(platform::RegHive::kCurrentUser, choice, "ProgId", false).value_or("");
    const std::string hash =
        reg.ReadString(platform::RegHive::kCurrentUser, choice, "Hash", false).value_or("");
    if (progId.empty() || hash.empty()) return false;
    const std::string command = reg.ReadString(platform::RegHive::kClassesRoot,
                                               progId + "\\shell\\open\\command", "", false)
                                    .value_or("");
    return !command.empty();
}

// Products of other vendors that take over the shell's web links on current Windows 10.
bool LinkHijackerInstalled() {
    const char* keys[] = {"360TotalSecurity", "MPC AdCleaner", "MPC"};
    for (const char* k : keys)
        if (platform::Registry().KeyExists(
                platform::RegHive::kLocalMachine,
                std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + k, true))
            return true;
    return false;
}

}  // namespace

bool OpenLink(const std::string& link) {
    if (platform::Trim(link).empty()) return false;
    const platform::TOsVersion v = platform::SystemInfo().OsVersion();
    bool ok;
    // Major and minor are tested apart, so 10.0 takes the first branch as 7 does.
    if (v.Major < 6 || v.Minor < 2)
        ok = true;
    else
        ok = DefaultBrowserChosen();
    if (ok && v.Major >= 10 && v.Build >= 10586) {
        try {
            ok = !LinkHijackerInstalled();
        } catch (...) {
        }
    }
    if (ok) ok = Launch(link, "");
    if (!ok && v.Major >= 10) ok = Launch("microsoft-edge:" + link, "");
    if (!ok) {
        const std::string folder = platform::GetShellFolder(platform::ShellFolder::kProgramFiles);
        const std::string ie = platform::JoinPath({folder, "Internet Explorer", "iexplore.exe"});
        if (!folder.empty() && platform::FileExists(ie)) ok = Launch(ie, link);
    }
    return ok;
}

std::string DownloadPageUrl() {
    return std::string("http://") + LG_DOWNLOAD_HOST + "/dl/vantrel_setup.exe";
}

}  // namespace locale
