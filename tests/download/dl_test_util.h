// Helpers of the downloader tests: a recorder of what a segmented downloader reports, a
// scriptable system proxy, and file content.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "download/multipart_downloader.h"
#include "platform/eventloop.h"
#include "platform/file.h"
#include "platform/proxy.h"
#include "tests/download/http_test_util.h"

namespace download::testing_dl {

using testing_http::Pattern;

struct TDownloadLog {
    std::vector<std::string> Lines;
    std::vector<int> Codes;
    int Done = 0;
    int DoneCode = -1;
    std::string DoneReason;
    int TimeOuts = 0;

    bool Has(const std::string& line) const {
        for (const auto& l : Lines)
            if (l == line) return true;
        return false;
    }
    int Count(const std::string& prefix) const {
        int n = 0;
        for (const auto& l : Lines) n += l.rfind(prefix, 0) == 0;
        return n;
    }
    size_t IndexOf(const std::string& prefix) const {
        for (size_t i = 0; i < Lines.size(); ++i)
            if (Lines[i].rfind(prefix, 0) == 0) return i;
        return std::string::npos;
    }
};

inline void Attach(TMultipartHttpDownloader& d, TDownloadLog& log) {
    d.OnDisplay = [&log](TMultipartHttpDownloader*, const std::string& msg, int code) {
        log.Lines.push_back(msg);
        log.Codes.push_back(code);
    };
    d.OnRequestDone = [&log](TMultipartHttpDownloader*, int code, const std::string& reason) {
        ++log.Done;
        log.DoneCode = code;
        log.DoneReason = reason;
    };
    d.OnTimeOut = [&log](TMultipartHttpDownloader*) { ++log.TimeOuts; };
}

// Runs the loop until `done` holds, then a little longer so that late events show up.
inline bool RunUntil(const std::function<bool()>& done, uint32_t timeoutMs = 15000) {
    bool ok = platform::TEventLoop::RunUntil(done, timeoutMs);
    platform::TEventLoop::RunUntil([] { return false; }, 100);
    return ok;
}

inline std::unique_ptr<platform::TFileStream> CreateTarget(const std::string& path) {
    return platform::TFileStream::Open(path, platform::FileMode::kCreateExclusive);
}

inline std::string ReadAll(const std::string& path) {
    return platform::ReadFileBytes(path).value_or("<missing>");
}

class TFakeSystemProxy : public platform::ISystemProxy {
public:
    TFakeSystemProxy(uint32_t accessType, std::string list) : FAccess(accessType), FList(list) {
        platform::SetSystemProxy(this);
    }
    ~TFakeSystemProxy() override { platform::SetSystemProxy(nullptr); }
    bool Query(platform::TSystemProxySettings& settings) override {
        ++Queries;
        settings.AccessType = FAccess;
        settings.ProxyList = FList;
        return Succeeds;
    }
    bool Succeeds = true;
    int Queries = 0;

private:
    uint32_t FAccess;
    std::string FList;
};

}  // namespace download::testing_dl
