// The offer window's three feature pages on the animator's layers: the two pictures of a page
// fade in while sliding up, its other layers are revealed, the page holds for eight seconds and
// fades out, and the next page follows; a page dot fades the page on show out quickly and
// brings the chosen one. Driven one step per animator frame, on the user-interface thread.
#pragma once
#include <cstdint>
#include <functional>

#include "controls/animator_layer.h"

namespace app {

class TPageCycle {
public:
    using TSetDot = std::function<void(int dot, bool enabled)>;  // dot 1 … 3
    TPageCycle(controls::TRdAniLayerCollection& layers, TSetDot setDot,
               std::function<uint32_t()> tickCount, std::function<void(uint32_t ms)> pause);

    // Shows the page after `page` (-1 and 2 lead to page 0).
    void ShowNextPage(int page);
    // One frame (the animator's OnAnimated).
    void FrameStep();
    // A page dot (tag 1 … 3) was clicked; the caller switches the animation off around this.
    void DotClicked(int tag);
    void HidePageLayers(int first, int last);
    void ResetPageImages();
    void EnablePageDots();

    int CurrentPage = 0;
    int AnimPhase = 1;  // 1 fade-in, 2 reveal, 3 hold, 4 fade-out
    int PageFirstLayer = 0, PageLastLayer = 14;
    int FadeOutStep = 12;
    int FadeCounter1 = 0, FadeCounter2 = 0;
    uint32_t HoldStart = 0;

    static constexpr uint32_t kHoldMs = 8000;

private:
    bool FadeInPass();
    controls::TRdAniLayer& L(int i) { return FLayers[i]; }
    controls::TRdAniLayerCollection& FLayers;
    TSetDot FSetDot;
    std::function<uint32_t()> FTickCount;
    std::function<void(uint32_t)> FPause;
};

}  // namespace app
