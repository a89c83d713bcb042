// The start-up decision over any Update.ini and any Leapgate.ini (the input holds both, split at
// the first "\n====\n"; without it there is no settings file): it never writes either file, it
// offers only with a setup address, parameters and digest, it removes the one-time task exactly
// when it should, it answers the same twice, and after a showing is recorded it holds the offer
// back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/offer.h"
#include "fuzz/fuzz_check.h"
#include "locale/environment.h"
#include "platform/file.h"
#include "platform/inifile.h"
#include "platform/text.h"

namespace {

struct TRun {
    bool Offer = false;
    app::TUpgradeData Data;
    int Removed = 0;
    int Asked = 0;
};

TRun Decide(const std::string& updateIni, const std::string& settings) {
    TRun run;
    run.Data.UpdateIniPath = updateIni;
    run.Data.SettingsPath = settings;
    run.Offer = app::DecideOffer(
        run.Data, [&run] { ++run.Removed; },
        [&run] {
            ++run.Asked;
            return true;
        });
    return run;
}

bool Same(const TRun& a, const TRun& b) {
    return a.Offer == b.Offer && a.Data.UpdateUrl == b.Data.UpdateUrl &&
           a.Data.SetupParams == b.Data.SetupParams && a.Data.SetupMd5 == b.Data.SetupMd5 &&
           a.Data.NewVersion == b.Data.NewVersion && a.Data.SetupSize == b.Data.SetupSize &&
           a.Removed == b.Removed && a.Asked == b.Asked;
}

}  // namespace

// The full-screen test asks the display server; without one it answers at once.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    unsetenv("DISPLAY");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find("\n====\n");
    const std::string updateBytes = input.substr(0, split);
    const bool haveSettings = split != std::string::npos;
    const std::string settingsBytes = haveSettings ? input.substr(split + 6) : std::string();

    const std::string updateIni = fuzz::PutScratch("update", data, updateBytes.size());
    const std::string settings = fuzz::ScratchFile("settings");
    platform::DeleteFile(settings);
    if (haveSettings) platform::WriteFileBytes(settings, settingsBytes);

    const TRun first = Decide(updateIni, settings);
    FUZZ_CHECK(platform::ReadFileBytes(updateIni).value_or("?") == updateBytes,
               "Update.ini is never written");
    if (haveSettings)
        FUZZ_CHECK(platform::ReadFileBytes(settings).value_or("?") == settingsBytes,
                   "Leapgate.ini is never written by the decision");
    else
        FUZZ_CHECK(!platform::FileExists(settings), "no settings file is made by the decision");
    for (const std::string* text : {&first.Data.UpdateUrl, &first.Data.SetupParams,
                                    &first.Data.SetupMd5, &first.Data.NewVersion})
        FUZZ_CHECK(platform::IsValidUtf8(*text), "what was read is valid text");

    const bool complete = !first.Data.UpdateUrl.empty() && !first.Data.SetupParams.empty() &&
                          !first.Data.SetupMd5.empty();
    FUZZ_CHECK(!first.Offer || complete, "an offer has an address, parameters and a digest");
    FUZZ_CHECK(first.Removed <= 1 && first.Asked <= 1, "the task and the display are asked once");
    FUZZ_CHECK(first.Offer == (first.Asked == 1 && first.Removed == 1),
               "an offer asks for the display and removes the task; a 'not now' before that "
               "point does neither");
    if (!first.Offer && first.Asked == 0 && first.Removed == 1)
        FUZZ_CHECK(!complete, "the task goes without an offer only for an incomplete file");

    FUZZ_CHECK(Same(first, Decide(updateIni, settings)), "the same files give the same answer");

    // A recorded showing holds the next offer back (a byte-order mark inside the settings file
    // turns its whole encoding once rewritten, as the system's functions do: skip those).
    const bool innerMark = fuzz::HasInnerMark(
        reinterpret_cast<const uint8_t*>(settingsBytes.data()), settingsBytes.size());
    if (first.Offer && !innerMark) {
        // As the first showing writes it; the program's own version is looked up by reading
        // the whole executable, too slow to do for every input, and plays no part here.
        bool recorded = true;
        try {
            platform::TIniFile record(first.Data.SettingsPath);
            record.WriteFloat("VT", "LeapLastTime", locale::NowLocal());
            record.WriteString("VT", "LeapVersion", "6.4.0.123");
        } catch (...) {
            recorded = false;  // the program ignores a failed record too
        }
        if (recorded)
            FUZZ_CHECK(!Decide(updateIni, settings).Offer, "a showing holds the offer back a day");
    }
    platform::DeleteFile(updateIni);
    platform::DeleteFile(settings);
    return 0;
}
