// Records what an HTTP client reports, in order, and runs the loop until it is done.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/httpcli.h"
#include "platform/eventloop.h"

namespace download::testing_http {

struct TClientLog {
    std::vector<std::string> Events;  // "header 200", "data", "location <url>", "done <code>"
    std::string Body;
    int DoneCount = 0;
    int ErrCode = -1;
    THttpRequest RqType = httpABORT;
    THttpState StateAtDone = httpAborting;
    int DataEvents = 0;
};

inline void Attach(THttpCli& client, TClientLog& log) {
    client.OnHeaderEnd = [&log](THttpCli* c) {
        log.Events.push_back("header " + std::to_string(c->StatusCode));
    };
    client.OnDocData = [&log](THttpCli*, const char* data, int len) {
        if (log.Events.empty() || log.Events.back() != "data") log.Events.push_back("data");
        ++log.DataEvents;
        log.Body.append(data, static_cast<size_t>(len));
    };
    client.OnLocationChange = [&log](THttpCli* c) {
        log.Events.push_back("location " + c->Location);
    };
    client.OnRequestDone = [&log](THttpCli* c, THttpRequest type, int code) {
        log.Events.push_back("done " + std::to_string(code));
        ++log.DoneCount;
        log.ErrCode = code;
        log.RqType = type;
        log.StateAtDone = c->State();
    };
}

// Runs the loop until the request is done, then a little longer so that a second
// OnRequestDone would show up.
inline bool RunToDone(TClientLog& log, uint32_t timeoutMs = 15000) {
    bool done = platform::TEventLoop::RunUntil([&] { return log.DoneCount > 0; }, timeoutMs);
    platform::TEventLoop::RunUntil([] { return false; }, 50);
    return done;
}

// One GET of `url` on `client`, run to its end (a failure to end is a test failure).
inline TClientLog Get(THttpCli& client, const std::string& url, uint32_t timeoutMs = 30000) {
    TClientLog log;
    Attach(client, log);
    client.URL = url;
    client.GetASync();
    EXPECT_TRUE(RunToDone(log, timeoutMs)) << url;
    return log;
}

inline std::string Pattern(size_t size, unsigned seed = 1) {
    std::string s(size, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (auto& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return s;
}

}  // namespace download::testing_http
