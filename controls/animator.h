// The layer animator: draws an ordered collection of picture-and-text layers into a drawing box
// (a control it takes over), advances frames at a fixed rate while its animation is on, and
// turns mouse activity over the box into per-layer events, cursors and hints.
//
// Threads: the frame clock is a timer of the user-interface thread, and the frame step
// (OnAnimating, repaint, OnAnimated) runs there, so layers are only ever changed from that one
// thread.
//
// Repaints cost only what changed: a layer that changes marks itself, and the frame's repaint
// invalidates the part of the box that the changed layers covered before and cover now (nothing
// at all when no layer changed, as during a page's hold). A paint draws only the layers that
// reach into the part being painted, and each layer keeps the copy of its picture prepared for
// its blur, opacity and colour key until one of them or the picture changes.
#pragma once
#include <memory>
#include <vector>

#include "controls/animator_layer.h"
#include "controls/control.h"
#include "controls/hintscheduler.h"
#include "platform/eventloop_scope.h"

namespace controls {

enum TRdAniQuality { quLow, quNormal, quHigh };
enum TRdAniTextStyle { tsNone, tsAntiAlias, tsClearType };

class TFrameClock;

class TRdAnimator : public TObject {
public:
    TRdAnimator();
    ~TRdAnimator() override;

    TControl* DrawBox() const { return FDrawBox; }
    void SetDrawBox(TControl* box);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TRdAniLayerCollection& Layers() { return FLayers; }
    TRdAniQuality Quality() const { return FQuality; }
    void SetQuality(TRdAniQuality v);
    TRdAniTextStyle TextStyle() const { return FTextStyle; }
    void SetTextStyle(TRdAniTextStyle v);
    bool Animate() const { return FAnimate; }
    void SetAnimate(bool on);
    uint8_t FPS() const { return FFps; }
    void SetFPS(uint8_t v);

    TNotifyEvent OnAnimating, OnAnimated;

    // The drawing settings of a quality and text style.
    static platform::TRenderQuality RenderQuality(TRdAniQuality quality, TRdAniTextStyle style);
    // Paints the layers into a canvas whose origin is the drawing box's top-left; with `only`
    // (box coordinates), the layers that cannot reach into it are passed over.
    void PaintLayers(platform::TCanvas& canvas, int boxWidth, int boxHeight,
                     const TRect* only = nullptr);
    // The renderer used when the full one fails: no pies, rotation done on the pixels.
    void PaintLayersSimple(platform::TCanvas& canvas, int boxWidth, int boxHeight,
                           const TRect* only = nullptr);
    // The part of a box of that size that a paint of the layer can touch (either renderer),
    // clipped to the box; empty when the layer draws and measures nothing. A layer at opacity 0
    // still covers its text rectangle: its text is measured for hit testing.
    static TRect LayerBounds(const TRdAniLayer& layer, int boxWidth, int boxHeight);
    bool ForceSimpleRenderer = false;
    // The topmost visible layer whose hit rectangle holds the point, or null.
    TRdAniLayer* LayerAt(int x, int y);
    TRdAniLayer* HotLayer() const { return FHot; }
    THintScheduler& Hints() { return FHints; }

    // One frame: OnAnimating, repaint, OnAnimated. The clock calls it; tests may too. Refused
    // (false) while the drawing box is being painted: a paint that runs a nested message loop
    // must not see the layers change under it; the step follows when the paint is over.
    bool FrameStep();
    bool InFrameEvent() const { return FInEvent; }
    // Called by the collection when it changed as a whole (the whole box is repainted), by a
    // layer when one of its properties changed, and before the layers are cleared.
    void LayersChanged();
    void LayerChanged(TRdAniLayer& layer);
    void LayersCleared();

private:
    void Detach();
    void BoxPaint(platform::TCanvas& canvas);
    void BoxMessage(TMessage& m);
    void MouseMove(TMessage& m);
    void SetHot(TRdAniLayer* layer, int x, int y);
    void RepaintBox();
    // Invalidates the parts of the box that the changes since the last call touched.
    void FlushChanges();
    void PaintAll(platform::TCanvas& canvas, int boxW, int boxH, const TRect* only, bool simple);
    void PaintLayer(platform::TCanvas& canvas, TRdAniLayer& layer, int boxW, int boxH, bool simple);
    const platform::TImage& PreparedPicture(TRdAniLayer& layer);
    void PaintText(platform::TCanvas& canvas, TRdAniLayer& layer, int boxW, int boxH);

    TControl* FDrawBox = nullptr;
    int FFreeNotifyId = 0;
    std::function<void(TMessage&)> FSavedWindowProc;
    std::function<void(platform::TCanvas&)> FSavedPaintProc;
    bool FVisible = true;
    TColor FColor = clNone;
    TRdAniLayerCollection FLayers{this};
    TRdAniQuality FQuality = quNormal;
    TRdAniTextStyle FTextStyle = tsNone;
    bool FAnimate = false;
    uint8_t FFps = 30;
    std::unique_ptr<TFrameClock> FClock;
    bool FInEvent = false;
    bool FPainting = false;
    std::vector<TRdAniLayer*> FChanged;  // each layer once, while its Pending flag is set
    bool FAllChanged = false;
    // A frame event that frees the animator ends the step there.
    platform::TLoopScope FLife;
    bool FDestroying = false;
    TRdAniLayer* FHot = nullptr;
    bool FCursorSaved = false;
    TCursor FSavedCursor = TCursor::Default;
    bool FPressed = false;
    int FPressX = 0, FPressY = 0;
    TRect FPressRect;
    TRdAniLayer* FPressLayer = nullptr;
    THintScheduler FHints;
};

}  // namespace controls
