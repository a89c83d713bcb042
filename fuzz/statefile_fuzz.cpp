// A state file left by an earlier run, any bytes: reading its totals and counts never fails
// whatever it holds, and totals written through the profile functions read back as written.
#include <cstdint>
#include <string>

#include "download/statefile.h"
#include "fuzz/fuzz_check.h"
#include "platform/file.h"
#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = fuzz::PutScratch("state", data, size);
    int64_t length = -1, downloaded = -1;
    download::ReadStoredTotals(file, length, downloaded);
    for (int i = -1; i < 6; ++i) download::ReadStoredDataCount(file, i);

    if (fuzz::HasInnerMark(data, size)) {
        platform::DeleteFile(file);
        return 0;
    }
    const int64_t want = static_cast<int64_t>(size) * 104729;
    platform::ProfileWriteString(file, "GLOBAL", "ContentLength", std::to_string(want));
    platform::ProfileWriteString(file, "GLOBAL", "DownloadedSize", std::to_string(want / 2));
    platform::ProfileWriteString(file, "PART_2", "DataCount", std::to_string(want / 3));
    download::ReadStoredTotals(file, length, downloaded);
    FUZZ_CHECK(length == want && downloaded == want / 2, "written totals read back");
    FUZZ_CHECK(download::ReadStoredDataCount(file, 2) == want / 3, "a written count reads back");
    platform::DeleteFile(file);
    return 0;
}
