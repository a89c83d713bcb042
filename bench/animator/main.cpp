// Runs the offer window's three feature pages (43 layers, 900 × 300) through their fade-in,
// reveal, hold and fade-out at 30 frames a second and reports the process's CPU time over the
// wall time. Every frame is painted: into a real window with --window (needs a display),
// otherwise into an off-screen picture of the drawing box's size, as a window's back buffer.
//   bench_animator [seconds] [--window]
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#endif

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/clock.h"
#include "platform/eventloop.h"
#include "tools/screenshot/scenes.h"

namespace {

double CpuSeconds() {
#ifdef _WIN32
    FILETIME create, exit, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &create, &exit, &kernel, &user);
    auto secs = [](FILETIME f) {
        return double((uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e7;
    };
    return secs(kernel) + secs(user);
#else
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
#endif
}

// A page cycle like the offer window's: pictures fade in, the rest is revealed, a hold, then
// everything fades out and the next page follows.
struct TPageCycle {
    controls::TRdAnimator& Anim;
    int Page = 0, Phase = 1, Hold = 0;
    void Step() {
        int first[] = {0, 15, 31}, last[] = {14, 30, 42};
        auto& layers = Anim.Layers();
        auto bump = [&](int i, int delta) {
            int v = std::clamp(int(layers[i].Opacity()) + delta, 0, 255);
            layers[i].SetOpacity(uint8_t(v));
        };
        int f = first[Page], l = last[Page];
        if (Phase == 1) {
            bump(f, 16);
            bump(f + 1, 16);
            layers[f + 1].SetImageTop(layers[f + 1].ImageTop() - (layers[f + 1].Opacity() < 255));
            if (layers[f].Opacity() == 255) Phase = 2;
        } else if (Phase == 2) {
            for (int i = f + 2; i <= l; ++i) bump(i, 5 * 8);
            if (layers[l].Opacity() == 255) Phase = 3, Hold = 0;
        } else if (Phase == 3) {
            if (++Hold > 60) Phase = 4;
        } else {
            for (int i = f; i <= l; ++i) bump(i, -13);
            if (layers[f].Opacity() == 0) {
                layers[f + 1].SetImageTop(38);
                Page = (Page + 1) % 3;
                Phase = 1;
            }
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    int seconds = 10;
    bool window = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--window") == 0)
            window = true;
        else
            seconds = std::max(1, std::atoi(argv[i]));
    }
    demo::TOfferScene scene;
    demo::BuildFeaturePages(scene.Anim, 0);
    for (int i = 0; i < scene.Anim.Layers().Count(); ++i) scene.Anim.Layers()[i].SetOpacity(0);
    TPageCycle cycle{scene.Anim};
    int frames = 0;
    platform::TImage back(900, 300);
    auto canvas = platform::CreateImageCanvas(back);
    scene.Anim.OnAnimated = [&](controls::TObject&) {
        ++frames;
        cycle.Step();
        if (!window) {
            // What a window's paint of the drawing box costs.
            canvas->Save();
            scene.Box->PaintTree(*canvas);
            canvas->Restore();
        }
    };
    if (window) {
        scene.Form->Window().CenterOnScreen();
        scene.Form->ShowWindow();
    }
    platform::TEventLoop::ProcessMessages();
    double cpu0 = CpuSeconds();
    uint64_t wall0 = platform::MonotonicMs();
    scene.Anim.SetAnimate(true);
    platform::TEventLoop::RunUntil([] { return false; }, uint32_t(seconds) * 1000);
    scene.Anim.SetAnimate(false);
    double wall = double(platform::MonotonicMs() - wall0) / 1000.0;
    double cpu = CpuSeconds() - cpu0;
    std::printf("animator: %d layers, %d frames in %.1f s (%.1f fps), %s painting\n",
                scene.Anim.Layers().Count(), frames, wall, frames / wall,
                window ? "window" : "off-screen");
    std::printf("cpu: %.2f s over %.1f s wall = %.1f %% of one core\n", cpu, wall,
                100.0 * cpu / wall);
    return 0;
}
