#include "app/page_cycle.h"

#include <gtest/gtest.h>

#include "controls/animator.h"

using namespace app;

namespace {

class PageCycle : public testing::Test {
protected:
    controls::TRdAnimator Anim;
    uint32_t Now = 100000;
    int Pauses = 0;
    bool Dots[4] = {false, true, true, true};
    std::unique_ptr<TPageCycle> Cycle;

    void SetUp() override {
        for (int i = 0; i < 43; ++i) Anim.Layers().Add().SetOpacity(0);
        Cycle = std::make_unique<TPageCycle>(
            Anim.Layers(), [this](int dot, bool on) { Dots[dot] = on; }, [this] { return Now; },
            [this](uint32_t ms) {
                EXPECT_EQ(ms, 5u);
                ++Pauses;
            });
    }
    controls::TRdAniLayer& L(int i) { return Anim.Layers()[i]; }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            Now += 33;
            Cycle->FrameStep();
        }
    }
    int FramesUntilPhase(int phase, int limit = 1000) {
        for (int i = 1; i <= limit; ++i) {
            Now += 33;
            Cycle->FrameStep();
            if (Cycle->AnimPhase == phase) return i;
        }
        return -1;
    }
};

TEST_F(PageCycle, FirstShowStartsWithPageZeroAndItsDotDisabled) {
    Cycle->ShowNextPage(-1);
    EXPECT_EQ(Cycle->CurrentPage, 0);
    EXPECT_EQ(Cycle->PageFirstLayer, 0);
    EXPECT_EQ(Cycle->PageLastLayer, 14);
    EXPECT_EQ(Cycle->AnimPhase, 1);
    EXPECT_FALSE(Dots[1]);
    EXPECT_TRUE(Dots[2]);
    EXPECT_TRUE(Dots[3]);
    for (int i : {0, 1, 15, 16, 31, 32}) {
        EXPECT_EQ(L(i).ImageLeft(), 44);
        EXPECT_EQ(L(i).ImageTop(), 38);
    }
}

TEST_F(PageCycle, PicturesFadeInSlidingUpTheSecondTenPassesAhead) {
    Cycle->ShowNextPage(-1);
    Frames(1);  // two passes
    EXPECT_EQ(L(1).Opacity(), 16);
    EXPECT_EQ(L(1).ImageTop(), 36);
    EXPECT_EQ(L(0).Opacity(), 0);
    EXPECT_EQ(L(0).ImageTop(), 38);
    Frames(5);  // passes 3 … 12: the first picture has started on pass 11
    EXPECT_EQ(L(1).Opacity(), 96);
    EXPECT_EQ(L(0).Opacity(), 16);
    EXPECT_EQ(L(0).ImageTop(), 36);
    const int more = FramesUntilPhase(2);
    EXPECT_EQ(6 + more, 20);  // 40 passes, two per frame
    EXPECT_EQ(Pauses, 40);
    EXPECT_EQ(L(0).Opacity(), 255);
    EXPECT_EQ(L(1).Opacity(), 255);
    EXPECT_EQ(L(0).ImageTop(), 8);  // each slid up 30 pixels
    EXPECT_EQ(L(1).ImageTop(), 8);
    EXPECT_EQ(Cycle->FadeCounter1, 0);
}

TEST_F(PageCycle, RevealHoldFadeOutAndTheAutomaticOrder) {
    Cycle->ShowNextPage(-1);
    FramesUntilPhase(2);
    Frames(1);
    EXPECT_EQ(L(2).Opacity(), 5);
    EXPECT_EQ(L(14).Opacity(), 5);
    EXPECT_EQ(L(15).Opacity(), 0);       // other pages untouched
    EXPECT_EQ(FramesUntilPhase(3), 50);  // 255 in steps of 5
    const uint32_t holdStart = Now;
    EXPECT_EQ(Cycle->HoldStart, holdStart);
    Now = holdStart + 8000;
    Cycle->FrameStep();
    EXPECT_EQ(Cycle->AnimPhase, 3);  // not more than 8000 ms yet
    Now = holdStart + 8001;
    Cycle->FrameStep();
    EXPECT_EQ(Cycle->AnimPhase, 4);
    EXPECT_EQ(Cycle->FadeOutStep, 12);
    Cycle->FrameStep();
    EXPECT_EQ(L(0).Opacity(), 255 - 13);
    EXPECT_EQ(L(14).Opacity(), 255 - 13);
    FramesUntilPhase(1);  // 255 / 13 frames later the next page begins
    EXPECT_EQ(Cycle->CurrentPage, 1);
    EXPECT_EQ(Cycle->PageFirstLayer, 15);
    EXPECT_EQ(Cycle->PageLastLayer, 30);
    EXPECT_EQ(L(0).Opacity(), 0);
    EXPECT_FALSE(Dots[2]);
    EXPECT_TRUE(Dots[1]);
    // Page 1 → 2 → 0.
    for (int expected : {2, 0}) {
        FramesUntilPhase(3);
        Now += 9000;
        FramesUntilPhase(4);
        FramesUntilPhase(1);
        EXPECT_EQ(Cycle->CurrentPage, expected);
    }
    EXPECT_EQ(Cycle->PageLastLayer, 14);
}

TEST_F(PageCycle, DotClickDuringTheHoldFadesOutFastThenShowsTheChosenPage) {
    Cycle->ShowNextPage(-1);
    FramesUntilPhase(3);
    Cycle->DotClicked(3);
    EXPECT_EQ(Cycle->CurrentPage, 1);
    EXPECT_EQ(Cycle->AnimPhase, 4);
    Cycle->FrameStep();
    EXPECT_EQ(L(0).Opacity(), 255 - 16);
    EXPECT_EQ(L(7).Opacity(), 255 - 16);
    FramesUntilPhase(1);
    EXPECT_EQ(Cycle->CurrentPage, 2);
    EXPECT_EQ(Cycle->PageFirstLayer, 31);
    EXPECT_FALSE(Dots[3]);
    for (int i = 0; i <= 14; ++i) EXPECT_EQ(L(i).Opacity(), 0) << i;
}

TEST_F(PageCycle, InterruptedFadeInRestartsTheNextPageFromTheBottom) {
    Cycle->ShowNextPage(-1);
    Frames(8);  // part-way through the fade-in
    Cycle->DotClicked(2);
    FramesUntilPhase(1);
    EXPECT_EQ(Cycle->CurrentPage, 1);
    EXPECT_EQ(Cycle->FadeCounter1, 0);
    Frames(1);
    EXPECT_EQ(L(16).Opacity(), 16);
    EXPECT_EQ(L(16).ImageTop(), 36);
    EXPECT_EQ(FramesUntilPhase(2), 19);
    EXPECT_EQ(L(15).ImageTop(), 8);
}

TEST_F(PageCycle, DotOfThePageBeforeZeroWrapsToPageZero) {
    Cycle->ShowNextPage(0);
    EXPECT_EQ(Cycle->CurrentPage, 1);
    Cycle->DotClicked(1);
    EXPECT_EQ(Cycle->CurrentPage, -1);
    FramesUntilPhase(1);
    EXPECT_EQ(Cycle->CurrentPage, 0);
}

}  // namespace
