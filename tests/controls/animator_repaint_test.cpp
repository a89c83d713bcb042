// What the frame step asks of the window: nothing in a frame where no layer changed, only the
// part of the box the changes touched otherwise, and frames at the clock's rate whether or not
// they paint.
#include <gtest/gtest.h>

#include <vector>

#include "controls/animator.h"
#include "controls/form.h"
#include "controls/paintbox.h"
#include "platform/clock.h"
#include "platform/eventloop.h"
#include "platform/window.h"

using namespace controls;
using platform::TImage;

namespace {

struct TBoxScene {
    TForm Form{400, 300};
    TPaintBox Box;
    TRdAnimator Anim;
    TRdAniLayer* Big = nullptr;
    TRdAniLayer* Small = nullptr;
    TBoxScene() {
        Box.SetParent(&Form);
        Box.SetBounds(0, 100, 400, 150);
        Big = &Anim.Layers().Add();
        Big->SetImage(TImage(200, 120, 0xFF336699));
        Big->SetImageLeft(10);
        Big->SetImageTop(10);
        Small = &Anim.Layers().Add();
        Small->SetImage(TImage(20, 10, 0xFFFFFFFF));
        Small->SetImageLeft(300);
        Small->SetImageTop(40);
        Anim.SetDrawBox(&Box);
    }
};

struct TPaintLog {
    int Paints = 0;
    std::vector<platform::TRect> Dirty;
};

// Counts the window's paints and the parts they covered.
void Watch(TForm& form, TPaintLog& log) {
    auto paint = form.Window().OnPaint;
    form.Window().OnPaint = [&log, paint](platform::TCanvas& c, const platform::TRect& d) {
        ++log.Paints;
        log.Dirty.push_back(d);
        paint(c, d);
    };
}

bool Pump(const std::function<bool()>& until, uint32_t ms) {
    return platform::TEventLoop::RunUntil(until, ms);
}

// Until the window system has sent what it sends after mapping a window.
void Settle(const TPaintLog& log) {
    for (int i = 0; i < 20; ++i) {
        int before = log.Paints;
        Pump([] { return false; }, 300);
        if (log.Paints == before) return;
    }
}

}  // namespace

TEST(AnimatorRepaint, AFrameWithoutChangesAsksForNoPaint) {
    TBoxScene s;
    TImage target(400, 300);
    auto canvas = platform::CreateImageCanvas(target);
    s.Form.PaintTo(*canvas);
    ASSERT_FALSE(s.Form.NeedsPaint());
    int frames = 0;
    s.Anim.OnAnimated = [&](TObject&) { ++frames; };
    for (int i = 0; i < 5; ++i) {
        s.Anim.FrameStep();
        EXPECT_FALSE(s.Form.NeedsPaint()) << "frame " << i;
    }
    EXPECT_EQ(frames, 5);
    // A property set to the value it has is no change either.
    s.Anim.OnAnimated = [&](TObject&) { s.Small->SetOpacity(255), s.Big->SetImageLeft(10); };
    s.Anim.FrameStep();
    EXPECT_FALSE(s.Form.NeedsPaint());
    s.Anim.OnAnimated = [&](TObject&) { s.Small->SetOpacity(100); };
    s.Anim.FrameStep();
    EXPECT_TRUE(s.Form.NeedsPaint());
}

TEST(AnimatorRepaint, ChangedLayersInvalidateWhereTheyWereAndAreNotTheWholeBox) {
    TBoxScene s;
    TImage target(400, 300);
    auto canvas = platform::CreateImageCanvas(target);
    s.Form.PaintTo(*canvas);
    s.Anim.OnAnimated = [&](TObject&) { s.Small->SetImageTop(60); };
    s.Anim.FrameStep();
    // Form coordinates: the box starts at y 100. Old place 140…150, new 160…170, x 300…320.
    TRect d = s.Form.DirtyRect();
    EXPECT_LE(d.Left, 300);
    EXPECT_GE(d.Right, 320);
    EXPECT_LE(d.Top, 140);
    EXPECT_GE(d.Bottom, 170);
    EXPECT_GT(d.Left, 210) << "the big picture did not change";
    EXPECT_LT(d.Width() * d.Height(), 40 * 40);
    // Changes made in both frame events go into one part; so do changes made between frames.
    s.Form.PaintTo(*canvas);
    s.Anim.OnAnimating = [&](TObject&) { s.Small->SetImageLeft(320); };
    s.Anim.OnAnimated = [&](TObject&) { s.Big->SetOpacity(10); };
    s.Anim.FrameStep();
    d = s.Form.DirtyRect();
    EXPECT_LE(d.Left, 10);
    EXPECT_GE(d.Right, 340);
    s.Anim.OnAnimating = nullptr;
    s.Anim.OnAnimated = nullptr;
    // The box's own settings repaint all of it.
    s.Form.PaintTo(*canvas);
    s.Anim.SetColor(Rgb(1, 2, 3));
    EXPECT_EQ(s.Form.DirtyRect(), (TRect{0, 100, 400, 250}));
}

TEST(AnimatorRepaint, AHoldSendsTheWindowNothingAndAChangeOnePaintOfItsPart) {
    if (!platform::TWindow::Available()) GTEST_SKIP() << "no display to open windows on";
    TBoxScene s;
    TPaintLog log;
    Watch(s.Form, log);
    s.Form.Window().CenterOnScreen();
    s.Form.ShowWindow();
    ASSERT_TRUE(Pump([&] { return log.Paints > 0; }, 20000));
    Settle(log);
    int frames = 0;
    bool move = false;
    s.Anim.OnAnimated = [&](TObject&) {
        ++frames;
        if (move) {
            s.Small->SetImageLeft(s.Small->ImageLeft() + 4);
            move = false;
        }
    };
    int before = log.Paints;
    s.Anim.SetAnimate(true);
    ASSERT_TRUE(Pump([&] { return frames >= 10; }, 5000));
    EXPECT_EQ(log.Paints, before) << frames << " frames without a change";
    move = true;
    ASSERT_TRUE(Pump([&] { return !move; }, 3000));
    ASSERT_TRUE(Pump([&] { return log.Paints > before; }, 3000));
    int seen = frames;
    ASSERT_TRUE(Pump([&] { return frames >= seen + 5; }, 3000));
    s.Anim.SetAnimate(false);
    EXPECT_EQ(log.Paints, before + 1);
    const platform::TRect& d = log.Dirty.back();
    EXPECT_LE(d.Left, 300);
    EXPECT_GE(d.Right, 324);
    EXPECT_GT(d.Left, 210) << "the big picture did not change";
    s.Form.HideWindow();
}

TEST(AnimatorRepaint, FramesKeepTheClocksRateThroughAHoldThatPaintsNothing) {
    // A page in small: 15 frames of reveal, a hold of 600 ms by the clock, 15 of fade-out.
    TBoxScene s;
    TImage target(400, 300);
    auto canvas = platform::CreateImageCanvas(target);
    s.Form.PaintTo(*canvas);
    int phase = 0, step = 0, holdFrames = 0, holdPaints = 0, movingPaints = 0;
    int lastFramePhase = 0;  // the phase the frame before ran in
    uint64_t holdStart = 0, start = 0, end = 0;
    s.Anim.OnAnimating = [&](TObject&) {
        // As a window paints between frames: what the frame before asked for.
        if (!s.Form.NeedsPaint()) return;
        (lastFramePhase == 1 ? holdPaints : movingPaints)++;
        s.Form.PaintTo(*canvas);
    };
    s.Anim.OnAnimated = [&](TObject&) {
        lastFramePhase = phase;
        if (phase == 0) {
            if (step == 0) start = platform::MonotonicMs();
            s.Small->SetOpacity(uint8_t(255 - 17 * ++step));
            if (step == 15) phase = 1, holdStart = platform::MonotonicMs();
        } else if (phase == 1) {
            ++holdFrames;
            if (platform::MonotonicMs() - holdStart > 600) phase = 2, step = 0;
        } else if (phase == 2) {
            s.Small->SetOpacity(uint8_t(17 * ++step));
            if (step == 15) phase = 3, end = platform::MonotonicMs();
        }
    };
    s.Anim.SetAnimate(true);
    ASSERT_TRUE(Pump([&] { return phase == 3; }, 20000));
    s.Anim.SetAnimate(false);
    EXPECT_EQ(holdPaints, 0);
    EXPECT_EQ(movingPaints, 29);  // every frame that changed something but the last
    // 600 ms at 33 ms a frame plus the frame's own time: never faster than the clock, and not
    // much slower on a busy machine.
    EXPECT_LE(holdFrames, 600 / 33 + 2);
    EXPECT_GE(holdFrames, 600 / 80);
    // The page lasts its frames: 30 moving frames of at least 33 ms beside the hold.
    EXPECT_GE(end - start, 29u * 33 + 600);
    EXPECT_LE(end - start, 29u * 80 + 600 + 500);
}
