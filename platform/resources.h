// Resources built into the program file, found by type and name without regard to case. On
// Windows they come from the .rc file (FindResourceW); on Linux the same files are embedded by
// the build.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

std::optional<std::string_view> FindResourceData(const std::string& type, const std::string& name);
std::vector<std::string> ResourceNames(const std::string& type);  // upper case

struct TFileVersion {
    uint16_t Major = 0, Minor = 0, Release = 0, Build = 0;
};
// The fixed version of a file's version resource; empty when the file has none. The Linux
// stand-in reads the version block our build embeds into its programs.
std::optional<TFileVersion> GetFileVersion(const std::string& path);

}  // namespace platform
