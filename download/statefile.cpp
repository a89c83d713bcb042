#include "download/statefile.h"

#include "platform/file.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace download {

namespace {

const char* const kGlobal = "GLOBAL";
const char* const kPartPrefix = "PART_";

std::string PartSection(int index) {
    return kPartPrefix + std::to_string(index);
}

int64_t ReadNumber(const std::string& fileName, const std::string& section,
                   const std::string& key) {
    int64_t value = 0;
    if (!platform::ParseInt64(platform::ProfileGetString(fileName, section, key, ""), value))
        return 0;
    return value;
}

}  // namespace

void WriteStateFile(const std::string& fileName, const TStateFileGlobal& global,
                    std::vector<std::unique_ptr<TMyHttpCli>>& parts,
                    const TSegmentCompleteTest& complete, const TStateFileLog& logDirect) {
    using platform::ProfileWriteString;
    for (const std::string& section : platform::ProfileSectionNames(fileName)) {
        if (section.compare(0, 5, kPartPrefix) == 0)
            platform::ProfileEraseSection(fileName, section);
    }
    platform::ProfileEraseSection(fileName, kGlobal);

    ProfileWriteString(fileName, kGlobal, "DownloadConfigMD5", global.ConfigMd5);
    ProfileWriteString(fileName, kGlobal, "Url", global.Url);
    ProfileWriteString(fileName, kGlobal, "ContentLength", std::to_string(global.ContentLength));
    ProfileWriteString(fileName, kGlobal, "DownloadedSize", std::to_string(global.DownloadedSize));
    ProfileWriteString(fileName, kGlobal, "PartCount", std::to_string(parts.size()));

    for (size_t i = 0; i < parts.size(); ++i) {
        if (!parts[i]) continue;
        TMyHttpCli& part = *parts[i];
        const std::string section = PartSection(static_cast<int>(i));
        ProfileWriteString(fileName, section, "StartOffset", std::to_string(part.FStartOffset));
        ProfileWriteString(fileName, section, "EndOffset", std::to_string(part.FEndOffset));
        if (part.FEndOffset - part.FStartOffset < part.FDataCount - 1) {
            if (logDirect)
                logDirect("Save Status Error: Index: " + std::to_string(part.Index) +
                          " FEndOffset: " + std::to_string(part.FEndOffset) +
                          " FStartOffSet: " + std::to_string(part.FStartOffset) +
                          " FDataCount: " + std::to_string(part.FDataCount));
            part.FDataCount = 0;
        }
        ProfileWriteString(fileName, section, "DataCount", std::to_string(part.FDataCount));
        ProfileWriteString(fileName, section, "URL", part.URL);
        part.Done = complete(part);
        ProfileWriteString(fileName, section, "Done", part.Done ? "1" : "0");
    }
}

int64_t ReadStoredDataCount(const std::string& fileName, int index) {
    return ReadNumber(fileName, PartSection(index), "DataCount");
}

bool ReadStoredGlobal(const std::string& fileName, TStateFileGlobal& global) {
    global = TStateFileGlobal();
    if (!platform::FileExists(fileName)) return false;
    global.ConfigMd5 = platform::ProfileGetString(fileName, kGlobal, "DownloadConfigMD5", "");
    global.Url = platform::ProfileGetString(fileName, kGlobal, "Url", "");
    ReadStoredTotals(fileName, global.ContentLength, global.DownloadedSize);
    return true;
}

void ReadStoredTotals(const std::string& fileName, int64_t& contentLength,
                      int64_t& downloadedSize) {
    contentLength = ReadNumber(fileName, kGlobal, "ContentLength");
    downloadedSize = ReadNumber(fileName, kGlobal, "DownloadedSize");
}

}  // namespace download
