// lgdownload [options] URL FILE: the program's own download engine from the command line, with
// a progress bar, one final line, a state file that is resumed only when it is this download's,
// and an orderly stop on SIGINT/SIGTERM (Ctrl-C, Ctrl-Break) that keeps it. Exits with the
// download's result code (see --help).
#include <cstdio>
#include <string>

#include "download/downloader.h"
#include "platform/clock.h"
#include "platform/eventloop.h"
#include "platform/file.h"
#include "platform/socket.h"
#include "platform/stop_request.h"
#include "tools/lgdownload/options.h"

namespace {

using namespace lgdownload;

std::string Bytes(double n) {
    const char* units[] = {"B", "KiB", "MiB", "GiB"};
    int u = 0;
    while (n >= 1024 && u < 3) {
        n /= 1024;
        ++u;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", n, units[u]);
    return text;
}

const char* CodeText(int code) {
    switch (code) {
        case download::kDownloadStalled:
            return "the transfer stalled";
        case download::kDownloadRefused:
            return "the server or the network refused the download";
        case download::kDownloadDigestMismatch:
            return "the file's MD5 does not match";
        case download::kDownloadFileError:
            return "the file cannot be written";
        case download::kDownloadNoDigest:
            return "no MD5 to compare with";
        case download::kDownloadDigestUnreadable:
            return "the file cannot be read back";
        default:
            return "failed";
    }
}

// The progress bar on one terminal line, redrawn in place while the download runs.
class TBar {
public:
    explicit TBar(bool quiet) : FQuiet(quiet) {}

    void Draw(double percent, int64_t size, double bytesPerSecond, int64_t total) {
        const uint32_t now = platform::Clock().TickCount();
        // The end has a line of its own; a full bar before it only repeats it.
        if (FQuiet || percent >= 100 || (FShown && now - FLastDraw < 200)) return;
        FLastDraw = now;
        const int width = 30;
        int filled = static_cast<int>(percent * width / 100.0);
        filled = filled < 0 ? 0 : filled > width ? width : filled;
        std::string bar(static_cast<size_t>(filled), '#');
        bar.append(static_cast<size_t>(width - filled), '.');
        std::string eta = "--:--";
        if (bytesPerSecond > 0 && total > size) {
            const long seconds = static_cast<long>((total - size) / bytesPerSecond);
            char t[32];
            std::snprintf(t, sizeof t, "%02ld:%02ld", seconds / 60, seconds % 60);
            eta = t;
        }
        std::fprintf(stderr, "\r[%s] %5.1f%%  %s  %s/s  ETA %s   ", bar.c_str(), percent,
                     Bytes(static_cast<double>(size)).c_str(), Bytes(bytesPerSecond).c_str(),
                     eta.c_str());
        std::fflush(stderr);
        FShown = true;
    }
    // Ends the bar's line, so that what follows starts on a line of its own.
    void Break() {
        if (FShown) std::fprintf(stderr, "\n");
        FShown = false;
    }

private:
    bool FQuiet;
    bool FShown = false;
    uint32_t FLastDraw = 0;
};

}  // namespace

int main(int argc, char** argv) {
    TOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "lgdownload: %s\n%s", error.c_str(), UsageText().c_str());
        return kExitUsage;
    }
    if (options.Help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    platform::SocketsStartup();
    download::TDownloader downloader;
    downloader.VerifyMd5 = !options.Md5.empty();
    downloader.ExpectedMd5 = options.Md5;
    downloader.PartCount = options.Parts;
    downloader.TimeOut = options.TimeOut;
    downloader.StateMustMatch = !options.Resume;
    if (!options.ProxyHost.empty()) {
        downloader.ProxyMode = 2;
        downloader.ProxyHost = options.ProxyHost;
        downloader.ProxyPort = options.ProxyPort;
    }
    const std::string stateFile = options.File + ".dat";
    TBar bar(options.Quiet);
    bool finished = false, stopped = false, completed = false;
    int result = download::kDownloadRefused;

    downloader.OnProgress = [&](int, int64_t size, double percent, double speed, double) {
        // Bits per millisecond are kilobits per second: * 1000 / 8 gives bytes per second.
        if (!finished) bar.Draw(percent, size, speed * 125.0, downloader.ContentLength());
    };
    downloader.OnStateDiscarded = [&](const std::string& why) {
        bar.Break();
        std::fprintf(stderr, "lgdownload: %s is from another download (%s): starting afresh\n",
                     stateFile.c_str(), why.c_str());
    };
    downloader.OnDone = [&](bool done, int code, const std::string&, int) {
        if (finished) return;
        completed = done;
        result = code;
        finished = true;
        downloader.Stop();
        platform::TEventLoop::Quit();
    };
    platform::WatchStopRequests([&] {
        if (finished) return;
        // Stop writes the state file of what arrived, so that a later run can go on from it.
        finished = stopped = true;
        downloader.Stop();
        platform::TEventLoop::Quit();
    });
    try {
        downloader.Start(options.File, options.Url);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lgdownload: %s\n", e.what());
        return kExitUsage;
    }
    if (!finished) platform::TEventLoop::Run();
    platform::WatchStopRequests(nullptr);
    bar.Break();

    if (stopped) {
        std::fprintf(stderr, "lgdownload: stopped (code %d)%s\n", kExitStopped,
                     platform::FileExists(stateFile) ? "; run again to go on" : "");
        return kExitStopped;
    }
    // A complete file leaves nothing to resume: a state file that says "all done" would make
    // the next run into this name trust bytes it never checked.
    if (completed) platform::DeleteFile(stateFile);
    if (!completed || result != download::kDownloadOk) {
        std::fprintf(stderr, "lgdownload: %s (code %d)\n", CodeText(result), result);
        return result == download::kDownloadOk ? download::kDownloadRefused : result;
    }
    if (!options.Quiet) {
        const auto size = platform::GetFileSize(options.File);
        std::fprintf(stderr, "lgdownload: %s complete, %lld bytes%s%s\n", options.File.c_str(),
                     static_cast<long long>(size), options.Md5.empty() ? "" : ", MD5 ",
                     options.Md5.empty() ? "" : (downloader.ComputedMd5 + " matches").c_str());
    }
    return 0;
}
