// Runs the offer window's own page cycle on a 43-layer, 900 × 300 scene like the offer window's
// at 30 frames a second and reports what it costs: the share of one core during the 8-second hold
// and over whole page cycles, the page change time, and the frames per second stepped and
// actually painted during the animated phases. With --window the scene is a real window (needs a
// display); otherwise, after every frame, whatever the form would repaint is painted into an
// off-screen picture of the form's size, as into a window's back buffer.
//   bench_animator [--window] [--cycles N] [--also PID]...
//   bench_animator --empty [--seconds N]
// --also adds the CPU time of another process (the X server, wineserver) to every figure, read
// from /proc (Z:\proc under Wine). --empty runs the frame clock with nothing to do: the floor.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/page_cycle.h"
#include "platform/clock.h"
#include "platform/eventloop.h"
#include "tools/screenshot/scenes.h"

namespace {

// User and system time of another process from its /proc stat line (fields 14 and 15, in the
// kernel's clock ticks: 100 a second on the machines we measure on); 0 when it cannot be read.
// Under Wine the same file is reached through drive Z.
double OtherCpuSeconds(int pid) {
    const std::string id = std::to_string(pid);
    FILE* f = std::fopen(("/proc/" + id + "/stat").c_str(), "r");
    if (!f) f = std::fopen(("Z:\\proc\\" + id + "\\stat").c_str(), "r");
    if (!f) return 0;
    char line[1024] = {};
    size_t n = std::fread(line, 1, sizeof line - 1, f);
    std::fclose(f);
    line[n] = 0;
    const char* p = std::strrchr(line, ')');  // the name may hold spaces
    if (!p) return 0;
    unsigned long long utime = 0, stime = 0;
    // After the name: state (3) and fields 4 … 13, then utime (14) and stime (15).
    if (std::sscanf(p + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                    &stime) != 2)
        return 0;
    return double(utime + stime) / 100.0;
}

struct TSample {
    double Cpu = 0, Others = 0;
    uint64_t Wall = 0;
    int Frames = 0, Paints = 0;
    double PaintSeconds = 0;
};

struct TTotals {
    double Cpu = 0, Others = 0, Wall = 0, PaintSeconds = 0;
    int Frames = 0, Paints = 0, Count = 0;
    void Add(const TSample& a, const TSample& b) {
        Cpu += b.Cpu - a.Cpu;
        PaintSeconds += b.PaintSeconds - a.PaintSeconds;
        Others += b.Others - a.Others;
        Wall += double(b.Wall - a.Wall) / 1000.0;
        Frames += b.Frames - a.Frames;
        Paints += b.Paints - a.Paints;
        ++Count;
    }
    void Merge(const TTotals& o) {
        Cpu += o.Cpu;
        Others += o.Others;
        Wall += o.Wall;
        PaintSeconds += o.PaintSeconds;
        Frames += o.Frames;
        Paints += o.Paints;
        Count += o.Count;
    }
    double Percent(bool others) const {
        return Wall > 0 ? 100.0 * (Cpu + (others ? Others : 0)) / Wall : 0;
    }
};

struct TBench {
    std::vector<int> Also;
    int Frames = 0, Paints = 0;
    double PaintSeconds = 0;
    TSample Now() const {
        TSample s;
        s.Cpu = platform::ProcessCpuSeconds();
        for (int pid : Also) s.Others += OtherCpuSeconds(pid);
        s.Wall = platform::MonotonicMs();
        s.Frames = Frames;
        s.Paints = Paints;
        s.PaintSeconds = PaintSeconds;
        return s;
    }
};

int RunEmpty(TBench& b, int seconds) {
    controls::TRdAnimator anim;
    anim.OnAnimated = [&](controls::TObject&) { ++b.Frames; };
    platform::TEventLoop::ProcessMessages();
    TSample s0 = b.Now();
    anim.SetAnimate(true);
    platform::TimerId end = platform::TEventLoop::SetTimer(uint32_t(seconds) * 1000,
                                                           [] { platform::TEventLoop::Quit(); });
    platform::TEventLoop::Run();
    platform::TEventLoop::KillTimer(end);
    anim.SetAnimate(false);
    TTotals t;
    t.Add(s0, b.Now());
    std::printf("empty: %d frames in %.1f s = %.1f fps\n", t.Frames, t.Wall, t.Frames / t.Wall);
    std::printf("empty: cpu %.2f s = %.2f %% of one core", t.Cpu, t.Percent(false));
    if (!b.Also.empty()) std::printf("; with the other processes %.2f %%", t.Percent(true));
    std::printf("\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int cycles = 2, seconds = 10;
    bool window = false, empty = false;
    TBench b;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--window") {
            window = true;
        } else if (a == "--empty") {
            empty = true;
        } else if (a == "--cycles" && i + 1 < argc) {
            cycles = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--seconds" && i + 1 < argc) {
            seconds = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--also" && i + 1 < argc) {
            b.Also.push_back(std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr,
                         "usage: bench_animator [--window] [--cycles N] [--also PID]...\n"
                         "       bench_animator --empty [--seconds N] [--also PID]...\n");
            return 2;
        }
    }
    if (empty) return RunEmpty(b, seconds);

    demo::TOfferScene scene;
    controls::TForm& form = *scene.Form;
    scene.Box->OnPaint = [&](controls::TControl&, platform::TCanvas&) { ++b.Paints; };
    app::TPageCycle cycle(
        scene.Anim.Layers(), [](int, bool) {}, [] { return platform::Clock().TickCount(); },
        [](uint32_t ms) { platform::SleepMs(ms); });

    // Off-screen: the form's back buffer, painted where the form asks for it after each frame.
    platform::TImage back(form.Width(), form.Height());
    auto canvas = platform::CreateImageCanvas(back);
    auto timedPaint = [&](auto&& paint) {
        double t0 = double(platform::MonotonicMs());
        paint();
        b.PaintSeconds += (double(platform::MonotonicMs()) - t0) / 1000.0;
    };
    if (window) {
        form.Window().CenterOnScreen();
        auto paint = form.Window().OnPaint;
        form.Window().OnPaint = [&, paint](platform::TCanvas& c, const platform::TRect& d) {
            timedPaint([&] { paint(c, d); });
        };
        form.ShowWindow();
    }

    // Each phase's time (from the OnAnimated of its first frame to that of the next phase's
    // first frame, its paints included) goes to that phase; measuring starts with the first page
    // change after a warm-up page (pictures decoded, texts measured for the first time) and lasts
    // `cycles` pages. A sample is taken only where a phase or a page begins: it reads the other
    // processes' /proc files, which under Wine costs server round trips that a sample on every
    // frame would add to the very figures it measures.
    const char* names[] = {"", "fade-in", "reveal", "hold", "fade-out"};
    TTotals phases[5], whole;
    TSample prev, pageStart;
    int prevPhase = 0, changes = 0;
    bool done = false;
    auto closePhase = [&](const TSample& now) {
        if (changes >= 1 && prevPhase != 0) phases[prevPhase].Add(prev, now);
        prev = now;
    };
    scene.Anim.OnAnimated = [&](controls::TObject&) {
        ++b.Frames;
        if (!window && form.NeedsPaint()) {
            // As a window would, between the frames: the part the last frame invalidated.
            timedPaint([&] {
                platform::TRect dirty = form.DirtyRect();
                canvas->Save();
                canvas->IntersectClip(dirty.ToF());
                form.PaintTo(*canvas, &dirty);
                canvas->Restore();
            });
        }
        if (cycle.AnimPhase != prevPhase) {
            closePhase(b.Now());
            prevPhase = cycle.AnimPhase;
        }
        const int page = cycle.CurrentPage;
        cycle.FrameStep();
        if (cycle.CurrentPage != page) {
            const TSample now = b.Now();
            if (changes >= 1) whole.Add(pageStart, now);
            pageStart = now;
            closePhase(now);
            prevPhase = cycle.AnimPhase;
            if (++changes > cycles) {
                done = true;
                prevPhase = 0;
                platform::TEventLoop::Quit();
            }
        }
    };
    cycle.ShowNextPage(-1);
    platform::TEventLoop::ProcessMessages();
    scene.Anim.SetAnimate(true);
    // The program's own loop (not a polling wait), with a limit in case the cycle stalls.
    platform::TimerId limit = platform::TEventLoop::SetTimer(uint32_t(cycles + 1) * 40000,
                                                             [] { platform::TEventLoop::Quit(); });
    platform::TEventLoop::Run();
    platform::TEventLoop::KillTimer(limit);
    scene.Anim.SetAnimate(false);
    if (!done) {
        std::printf("animator: the page cycle did not complete\n");
        return 1;
    }
    std::printf("animator: %d layers, %s painting, %d page cycles measured after a warm-up\n",
                scene.Anim.Layers().Count(), window ? "window" : "off-screen", whole.Count);
    std::printf("page change: %.2f s, %d frames per page\n", whole.Wall / whole.Count,
                whole.Frames / whole.Count);
    auto line = [&](const char* name, const TTotals& t) {
        std::printf(
            "%-9s cpu %.3f s over %5.2f s = %5.2f %% of one core; %4d frames %4.1f fps, "
            "%4d painted %4.1f fps",
            (std::string(name) + ":").c_str(), t.Cpu, t.Wall, t.Percent(false), t.Frames,
            t.Wall > 0 ? t.Frames / t.Wall : 0, t.Paints, t.Wall > 0 ? t.Paints / t.Wall : 0);
        if (!b.Also.empty()) std::printf("; with the other processes %.2f %%", t.Percent(true));
        std::printf("\n");
    };
    TTotals moving, total;
    for (int p = 1; p <= 4; ++p) {
        line(names[p], phases[p]);
        if (p != 3) moving.Merge(phases[p]);
        total.Merge(phases[p]);
    }
    TTotals steady = phases[2];  // the phases whose frames have no pause of their own
    steady.Merge(phases[4]);
    line("moving", moving);
    line("cycle", total);
    std::printf("reveal and fade-out: %.1f fps stepped, %.1f fps painted\n",
                steady.Frames / steady.Wall, steady.Paints / steady.Wall);
    std::printf("paint: %.2f ms per painted frame\n",
                total.Paints ? 1000.0 * total.PaintSeconds / total.Paints : 0.0);
    return 0;
}
