// Every fault the test server can play, at every place of a download (the probe, the first, a
// middle, the last or every segment), once or every time, through the facade as the main window
// drives it. Whatever happens, a run ends once and within its retry budget; it reports success
// only with a byte-identical file; and whatever it reports, the state file it leaves claims no
// byte the file does not hold. One case per fault and frequency runs its five places at once on
// the one loop, each with its own server and target.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "download/downloader.h"
#include "platform/clock.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "tests/download/dl_test_util.h"
#include "tests/support/faultserver.h"
#include "tests/support/testenv.h"

namespace download {
namespace {

using namespace testing_dl;
using testsupport::TFaultResponse;
using testsupport::TFaultServer;
using testsupport::TRecordedRequest;

enum class TFault {
    kStatus416,
    kStatus404,
    kStatus500,
    kResetMidBody,
    kShortBodyThenClose,
    kStallBeforeHeader,
    kStallMidBody,
    kWrongContentRange,
    kMoreBytesThanAsked,
    kWholeFileIgnoringRange,
    kGarbageStatusLine,
    kHugeLength,
};

struct TFaultCase {
    const char* Name;
    TFault Fault;
    bool Always;
    // Odd but harmless: what it sends holds the right bytes, and the engine takes only those.
    bool Harmless = false;
};

enum class TWhere { kProbe, kFirst, kMiddle, kLast, kEvery };
constexpr std::array<TWhere, 5> kPlaces = {TWhere::kProbe, TWhere::kFirst, TWhere::kMiddle,
                                           TWhere::kLast, TWhere::kEvery};
const char* PlaceName(TWhere w) {
    switch (w) {
        case TWhere::kProbe:
            return "probe";
        case TWhere::kFirst:
            return "first segment";
        case TWhere::kMiddle:
            return "a middle segment";
        case TWhere::kLast:
            return "last segment";
        case TWhere::kEvery:
            return "every segment";
    }
    return "?";
}

constexpr int kParts = 4;
constexpr unsigned kTimeOutSeconds = 1;
constexpr int kMaxRetries = 2;  // the facade's own: a slow machine may cost one attempt
const std::string kContent = Pattern(48007, 77);

// The segment a ranged request belongs to, by its requested end (which a restart keeps);
// -1 for the probe, -2 for a range we did not lay out.
int SegmentOf(const TRecordedRequest& rq) {
    const std::string range = rq.Range();
    if (range.empty()) return -1;
    const int64_t length = static_cast<int64_t>(kContent.size());
    const int64_t size = length / kParts;
    int64_t end = 0;
    const size_t dash = range.find('-');
    if (dash == std::string::npos || !platform::ParseInt64(range.substr(dash + 1), end)) return -2;
    for (int i = 0; i < kParts; ++i) {
        const int64_t start = i * (size + 1);
        if (end == (i < kParts - 1 ? start + size : length)) return i;
    }
    return -2;
}

int64_t RangeBegin(const TRecordedRequest& rq) {
    int64_t begin = 0;
    const std::string range = rq.Range();
    if (range.rfind("bytes=", 0) == 0)
        platform::ParseInt64(range.substr(6, range.find('-') - 6), begin);
    return begin;
}

// The header and half of the body of the answer a file server would give.
std::string HeaderAndHalfBody(const TRecordedRequest& rq) {
    const std::string whole = TFaultResponse::File(rq, kContent).Actions[0].Bytes;
    const size_t body = whole.find("\r\n\r\n") + 4;
    return whole.substr(0, body + (whole.size() - body) / 2);
}

TFaultResponse Faulty(TFault fault, const TRecordedRequest& rq) {
    const int64_t length = static_cast<int64_t>(kContent.size());
    const std::string total = "/" + std::to_string(length) + "\r\n";
    const bool ranged = !rq.Range().empty();
    const int64_t begin = RangeBegin(rq);
    switch (fault) {
        case TFault::kStatus416:
            return TFaultResponse::Status(416, "", "Content-Range: bytes */" + total.substr(1));
        case TFault::kStatus404:
            return TFaultResponse::Status(404, "not here");
        case TFault::kStatus500:
            return TFaultResponse::Status(500, "broken");
        case TFault::kResetMidBody:
            return TFaultResponse().Send(HeaderAndHalfBody(rq)).Reset();
        case TFault::kShortBodyThenClose:
            return TFaultResponse().Send(HeaderAndHalfBody(rq)).Close();
        case TFault::kStallBeforeHeader:
            return TFaultResponse().Stall();
        case TFault::kStallMidBody:
            return TFaultResponse().Send(HeaderAndHalfBody(rq)).Stall();
        case TFault::kWrongContentRange: {
            // Genuine bytes of the file, but not the ones asked for.
            const int64_t from = ranged ? begin + 1 : 100;
            const int64_t to = std::min(from + 999, length - 1);
            return TFaultResponse::Status(
                206, kContent.substr(static_cast<size_t>(from), static_cast<size_t>(to - from + 1)),
                "Content-Range: bytes " + std::to_string(from) + "-" + std::to_string(to) + total);
        }
        case TFault::kMoreBytesThanAsked:
            if (!ranged) {
                // More than the length it announces.
                std::string whole = TFaultResponse::File(rq, kContent).Actions[0].Bytes;
                return TFaultResponse().Send(whole + std::string(700, 'X')).Close();
            }
            // The rest of the file, past the end that was asked for.
            return TFaultResponse::Status(206, kContent.substr(static_cast<size_t>(begin)),
                                          "Content-Range: bytes " + std::to_string(begin) + "-" +
                                              std::to_string(length - 1) + total);
        case TFault::kWholeFileIgnoringRange:
            return TFaultResponse::Status(200, kContent);
        case TFault::kGarbageStatusLine:
            return TFaultResponse()
                .Send("HTXP/1.1 2OO Fine\r\nContent-Length: 5\r\n\r\nhello")
                .Close();
        case TFault::kHugeLength:
            if (!ranged)
                return TFaultResponse()
                    .Send("HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n" +
                          kContent.substr(0, 4000))
                    .Close();
            return TFaultResponse()
                .Send("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " +
                      std::to_string(begin) +
                      "-9223372036854775807/9223372036854775807\r\nContent-Length: "
                      "9223372036854775807\r\n\r\n" +
                      kContent.substr(static_cast<size_t>(begin), 2000))
                .Close();
    }
    return TFaultResponse::Status(500);
}

// One place of one fault: its own server, target and facade.
struct TCell {
    TWhere Where = TWhere::kProbe;
    std::mutex Lock;
    std::map<int, int> Faulted;  // by segment (-1 the probe): faults served so far
    std::unique_ptr<TDownloader> Facade;
    std::string Target;
    int Done = 0;
    int Code = -1;
    bool Completed = false;
    uint64_t EndedAtMs = 0;
    // Last, so that it goes first: its threads use the members above.
    std::unique_ptr<TFaultServer> Server;

    bool Hits(int segment) const {
        switch (Where) {
            case TWhere::kProbe:
                return segment == -1;
            case TWhere::kFirst:
                return segment == 0;
            case TWhere::kMiddle:
                return segment == 1;
            case TWhere::kLast:
                return segment == kParts - 1;
            case TWhere::kEvery:
                return segment >= 0;
        }
        return false;
    }
};

// The longest a run may take: every attempt it is allowed (the retries and the one through the
// system's proxy) ends at the latest when the stall limit passes, checked every 500 ms; on top
// of that a run that keeps moving (a reply cut short every time still brings bytes) restarts
// its segments, each after a pause, and a slow machine gets its margin.
uint32_t RetryBudgetMs() {
    return (kMaxRetries + 2) * (kTimeOutSeconds * 1000 + 1500) + 20000;
}

void ExpectStateAgreesWithFile(const std::string& target, const std::string& trace) {
    const std::string state = target + ".dat";
    if (!platform::FileExists(state)) return;  // nothing claimed
    const std::string bytes = ReadAll(target);
    int64_t sum = 0;
    for (int i = 0; i < kParts; ++i) {
        const std::string section = "PART_" + std::to_string(i);
        int64_t start = 0, count = 0;
        if (!platform::ParseInt64(platform::ProfileGetString(state, section, "StartOffset", "x"),
                                  start))
            continue;
        ASSERT_TRUE(platform::ParseInt64(
            platform::ProfileGetString(state, section, "DataCount", ""), count))
            << trace << " " << section;
        sum += count;
        ASSERT_GE(count, 0) << trace << " " << section;
        if (count == 0) continue;
        ASSERT_LE(start + count, static_cast<int64_t>(bytes.size()))
            << trace << " " << section << " claims bytes past the end of the file";
        EXPECT_EQ(bytes.substr(static_cast<size_t>(start), static_cast<size_t>(count)),
                  kContent.substr(static_cast<size_t>(start), static_cast<size_t>(count)))
            << trace << " " << section << " claims bytes the file does not hold";
    }
    int64_t stored = -1;
    platform::ParseInt64(platform::ProfileGetString(state, "GLOBAL", "DownloadedSize", ""), stored);
    EXPECT_EQ(stored, sum) << trace;
}

class FaultMatrix : public ::testing::TestWithParam<TFaultCase> {};

TEST_P(FaultMatrix, EveryPlaceEndsInBudgetAndKeepsFileAndStateTrue) {
    const TFaultCase fault = GetParam();
    // The last attempt goes through the system's proxy; here that is a direct connection.
    TFakeSystemProxy proxy(1, "");
    testsupport::TTempDir dir;
    std::array<TCell, kPlaces.size()> cells;
    const uint64_t start = platform::MonotonicMs();
    for (size_t i = 0; i < cells.size(); ++i) {
        TCell& cell = cells[i];
        cell.Where = kPlaces[i];
        cell.Server = std::make_unique<TFaultServer>();
        cell.Server->SetHandler([&cell, fault](const TRecordedRequest& rq) {
            const int segment = SegmentOf(rq);
            bool strike = false;
            if (cell.Hits(segment)) {
                std::lock_guard<std::mutex> lock(cell.Lock);
                strike = fault.Always || cell.Faulted[segment] == 0;
                if (strike) ++cell.Faulted[segment];
            }
            return strike ? Faulty(fault.Fault, rq) : TFaultResponse::File(rq, kContent);
        });
        cell.Target = dir.File("cell" + std::to_string(i) + ".exe");
        cell.Facade = std::make_unique<TDownloader>();
        TDownloader& d = *cell.Facade;
        d.TimeOut = kTimeOutSeconds;
        d.MaxRetries = kMaxRetries;
        d.PartCount = kParts;
        d.OnDone = [&cell, &d, start](bool completed, int code, const std::string&, int) {
            ++cell.Done;
            cell.Code = code;
            cell.Completed = completed;
            cell.EndedAtMs = platform::MonotonicMs() - start;
            d.Stop();  // as the main window does, inside the event
        };
    }
    for (TCell& cell : cells) cell.Facade->Start(cell.Target, cell.Server->Url("/setup.exe"));
    const bool allEnded = platform::TEventLoop::RunUntil(
        [&] {
            for (const TCell& cell : cells)
                if (cell.Done == 0) return false;
            return true;
        },
        RetryBudgetMs());
    // Late events of the last attempts, which must change nothing.
    platform::TEventLoop::RunUntil([] { return false; }, 600);
    for (TCell& cell : cells) {
        const std::string trace = std::string(fault.Name) + " at the " + PlaceName(cell.Where);
        EXPECT_EQ(cell.Done, 1) << trace << ": a run must end exactly once (within "
                                << RetryBudgetMs() << " ms)";
        if (cell.Done == 0) continue;
        EXPECT_LE(cell.EndedAtMs, RetryBudgetMs()) << trace;
        size_t probes = 0;
        for (const auto& rq : cell.Server->Requests()) probes += rq.Range().empty();
        EXPECT_LE(probes, static_cast<size_t>(kMaxRetries + 2)) << trace << ": attempts";
        if (cell.Code == kDownloadOk) {
            EXPECT_TRUE(cell.Completed) << trace;
            EXPECT_TRUE(ReadAll(cell.Target) == kContent)
                << trace << ": success reported for a file that differs";
        } else {
            EXPECT_FALSE(cell.Completed) << trace << " code " << cell.Code;
            ExpectStateAgreesWithFile(cell.Target, trace);
        }
        // A fault that strikes once is always recovered from with the retries allowed.
        if (!fault.Always || fault.Harmless) {
            EXPECT_EQ(cell.Code, kDownloadOk) << trace << ": this fault must not end the run";
        }
    }
    EXPECT_TRUE(allEnded);
    for (TCell& cell : cells) cell.Server->Release();
    for (TCell& cell : cells) cell.Facade.reset();
    platform::TEventLoop::ProcessMessages();
    for (TCell& cell : cells) cell.Server.reset();
}

const TFaultCase kCases[] = {
    {"Status416_Once", TFault::kStatus416, false},
    {"Status416_Always", TFault::kStatus416, true},
    {"Status404_Once", TFault::kStatus404, false},
    {"Status404_Always", TFault::kStatus404, true},
    {"Status500_Once", TFault::kStatus500, false},
    {"Status500_Always", TFault::kStatus500, true},
    {"ResetMidBody_Once", TFault::kResetMidBody, false},
    {"ResetMidBody_Always", TFault::kResetMidBody, true},
    {"ShortBodyThenClose_Once", TFault::kShortBodyThenClose, false},
    {"ShortBodyThenClose_Always", TFault::kShortBodyThenClose, true},
    {"StallBeforeHeader_Once", TFault::kStallBeforeHeader, false},
    {"StallBeforeHeader_Always", TFault::kStallBeforeHeader, true},
    {"StallMidBody_Once", TFault::kStallMidBody, false},
    {"StallMidBody_Always", TFault::kStallMidBody, true},
    {"WrongContentRange_Once", TFault::kWrongContentRange, false},
    {"WrongContentRange_Always", TFault::kWrongContentRange, true},
    {"MoreBytesThanAsked_Once", TFault::kMoreBytesThanAsked, false},
    {"MoreBytesThanAsked_Always", TFault::kMoreBytesThanAsked, true, true},
    {"WholeFileIgnoringRange_Once", TFault::kWholeFileIgnoringRange, false},
    {"WholeFileIgnoringRange_Always", TFault::kWholeFileIgnoringRange, true, true},
    {"GarbageStatusLine_Once", TFault::kGarbageStatusLine, false},
    {"GarbageStatusLine_Always", TFault::kGarbageStatusLine, true},
    {"HugeLength_Once", TFault::kHugeLength, false},
    {"HugeLength_Always", TFault::kHugeLength, true},
};

INSTANTIATE_TEST_SUITE_P(Cells, FaultMatrix, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TFaultCase>& info) {
                             return std::string(info.param.Name);
                         });

}  // namespace
}  // namespace download
