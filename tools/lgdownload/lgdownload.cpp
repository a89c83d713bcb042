// lgdownload URL FILE [--md5 HEX] [--quiet]: the program's own download engine from the command
// line, with a text progress bar, speed and time left; exits with the result code.
#include <cstdio>
#include <cstring>
#include <string>

#include "download/downloader.h"
#include "platform/clock.h"
#include "platform/eventloop.h"
#include "platform/socket.h"

namespace {

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

void DrawBar(double percent, int64_t size, double bytesPerSecond, int64_t total) {
    const int width = 30;
    int filled = static_cast<int>(percent * width / 100.0);
    if (filled > width) filled = width;
    if (filled < 0) filled = 0;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(width - filled), '.');
    std::string eta = "--:--";
    if (bytesPerSecond > 0 && total > size) {
        long seconds = static_cast<long>((total - size) / bytesPerSecond);
        char t[32];
        std::snprintf(t, sizeof t, "%02ld:%02ld", seconds / 60, seconds % 60);
        eta = t;
    }
    std::fprintf(stderr, "\r[%s] %5.1f%%  %s  %s/s  ETA %s   ", bar.c_str(), percent,
                 Bytes(static_cast<double>(size)).c_str(), Bytes(bytesPerSecond).c_str(),
                 eta.c_str());
    std::fflush(stderr);
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

}  // namespace

int main(int argc, char** argv) {
    std::string url, file, md5;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--md5") == 0 && i + 1 < argc) {
            md5 = argv[++i];
        } else if (std::strcmp(argv[i], "--quiet") == 0) {
            quiet = true;
        } else if (url.empty()) {
            url = argv[i];
        } else if (file.empty()) {
            file = argv[i];
        } else {
            url.clear();
            break;
        }
    }
    if (url.empty() || file.empty()) {
        std::fprintf(stderr, "usage: lgdownload URL FILE [--md5 HEX] [--quiet]\n");
        return 64;
    }
    platform::SocketsStartup();
    download::TDownloader downloader;
    downloader.VerifyMd5 = !md5.empty();
    downloader.ExpectedMd5 = md5;
    bool finished = false;
    int result = 2;
    bool completed = false;
    uint32_t lastDraw = 0;
    downloader.OnProgress = [&](int, int64_t size, double percent, double speed, double) {
        if (quiet) return;
        uint32_t now = platform::Clock().TickCount();
        if (now - lastDraw < 200 && percent < 100) return;
        lastDraw = now;
        // Bits per millisecond are kilobits per second: * 1000 / 8 gives bytes per second.
        DrawBar(percent, size, speed * 125.0, downloader.ContentLength());
    };
    downloader.OnDone = [&](bool done, int code, const std::string&, int) {
        if (code == download::kDownloadFileError) {
            std::fprintf(stderr, "\ncannot write %s\n", file.c_str());
        }
        completed = done;
        result = code;
        finished = true;
        downloader.Stop();
        platform::TEventLoop::Quit();
    };
    try {
        downloader.Start(file, url);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lgdownload: %s\n", e.what());
        return 64;
    }
    if (!finished) platform::TEventLoop::Run();
    if (!quiet) std::fprintf(stderr, "\n");
    if (!completed || result != 0) {
        std::fprintf(stderr, "lgdownload: %s (code %d)\n", CodeText(result), result);
        return result == 0 ? 2 : result;
    }
    if (!quiet && !md5.empty())
        std::fprintf(stderr, "MD5 %s matches\n", downloader.ComputedMd5.c_str());
    return 0;
}
