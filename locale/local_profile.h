// The regional profile: product, language, referral and partner codes for this region, read
// from "local.dat" beside the program. Its language code goes into the usage report.
#pragma once
#include <string>

namespace locale {

struct TLocal {
    std::string Name = "vt";
    std::string Lang;
    std::string Ref = "vt6";
    std::string Pr = "korvo";
};

// The profile of the run (defaults until LoadLocalProfile has run).
const TLocal& LocalProfile();

// Start-up step: fills LocalProfile from "local.dat" in the program's folder.
void LoadLocalProfile();

// The profile a given local.dat yields on this system: section "Local", overlaid by the section
// that "LCID" names for the system's (not the user's) default locale. A missing file, section
// or key leaves the values before it.
TLocal LoadLocalProfileFrom(const std::string& fileName);

}  // namespace locale
