#include "app/page_cycle.h"

#include <algorithm>

namespace app {

namespace {
constexpr int kPictureLayers[] = {0, 1, 15, 16, 31, 32};
}

TPageCycle::TPageCycle(controls::TRdAniLayerCollection& layers, TSetDot setDot,
                       std::function<uint32_t()> tickCount, std::function<void(uint32_t)> pause)
    : FLayers(layers),
      FSetDot(std::move(setDot)),
      FTickCount(std::move(tickCount)),
      FPause(std::move(pause)) {}

void TPageCycle::EnablePageDots() {
    for (int dot = 1; dot <= 3; ++dot) FSetDot(dot, true);
}

void TPageCycle::ResetPageImages() {
    for (int i : kPictureLayers) {
        L(i).SetImageLeft(44);
        L(i).SetImageTop(38);
    }
}

void TPageCycle::HidePageLayers(int first, int last) {
    for (int i = first; i <= last; ++i) L(i).SetOpacity(0);
}

void TPageCycle::ShowNextPage(int page) {
    EnablePageDots();
    ResetPageImages();
    if (page == 0) {
        CurrentPage = 1;
        PageFirstLayer = 15;
        PageLastLayer = 30;
        FSetDot(2, false);
    } else if (page == 1) {
        CurrentPage = 2;
        PageFirstLayer = 31;
        PageLastLayer = 42;
        FSetDot(3, false);
    } else {
        CurrentPage = 0;
        PageFirstLayer = 0;
        PageLastLayer = 14;
        FSetDot(1, false);
    }
    // A page change can cut a fade-in short; the new page's pictures start from the bottom of
    // their slide again rather than part-way up it.
    FadeCounter1 = FadeCounter2 = 0;
    AnimPhase = 1;
}

// One pass of the pictures' fade-in; true once both are fully in.
bool TPageCycle::FadeInPass() {
    controls::TRdAniLayer& first = L(PageFirstLayer);
    controls::TRdAniLayer& second = L(PageFirstLayer + 1);
    if (FadeCounter1 < 30) {
        ++FadeCounter1;
        second.SetOpacity(static_cast<uint8_t>(FadeCounter1 * 8));
        second.SetImageTop(second.ImageTop() - 1);
    }
    // The page's first picture follows ten passes behind its second.
    if (FadeCounter1 > 10 && FadeCounter2 < 30) {
        ++FadeCounter2;
        first.SetOpacity(static_cast<uint8_t>(FadeCounter2 * 8));
        first.SetImageTop(first.ImageTop() - 1);
    }
    if (FadeCounter1 == 30 && FadeCounter2 == 30) {
        first.SetOpacity(255);
        second.SetOpacity(255);
        FadeCounter1 = FadeCounter2 = 0;
        return true;
    }
    return false;
}

void TPageCycle::FrameStep() {
    switch (AnimPhase) {
        case 1:
            for (int pass = 0; pass < 2; ++pass) {
                FPause(5);
                if (FadeInPass()) {
                    AnimPhase = 2;
                    break;
                }
            }
            break;
        case 2: {
            for (int i = PageFirstLayer + 2; i <= PageLastLayer; ++i)
                L(i).SetOpacity(static_cast<uint8_t>(std::min(255, L(i).Opacity() + 5)));
            if (L(PageLastLayer).Opacity() == 255) {
                HoldStart = FTickCount();
                AnimPhase = 3;
            }
            break;
        }
        case 3:
            if (FTickCount() - HoldStart > kHoldMs) {
                FadeOutStep = 12;
                AnimPhase = 4;
            }
            break;
        case 4: {
            for (int i = PageFirstLayer; i <= PageLastLayer; ++i)
                L(i).SetOpacity(
                    static_cast<uint8_t>(std::max(0, L(i).Opacity() - (FadeOutStep + 1))));
            if (L(PageFirstLayer).Opacity() == 0 && L(PageFirstLayer + 1).Opacity() == 0)
                ShowNextPage(CurrentPage);
            break;
        }
        default:
            break;
    }
}

void TPageCycle::DotClicked(int tag) {
    CurrentPage = tag == 1 ? -1 : tag == 2 ? 0 : 1;
    AnimPhase = 4;
    FadeOutStep = 15;
}

}  // namespace app
