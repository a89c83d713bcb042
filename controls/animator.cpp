#include "controls/animator.h"

#include <map>

#include "controls/form.h"
#include "controls/frameclock.h"
#include "platform/text.h"

namespace controls {
namespace {

// Which animator owns which drawing box (user-interface thread only).
std::map<TControl*, TRdAnimator*>& BoxOwners() {
    static std::map<TControl*, TRdAnimator*> owners;
    return owners;
}

}  // namespace

TRdAnimator::TRdAnimator() = default;

TRdAnimator::~TRdAnimator() {
    FDestroying = true;
    Detach();
    FHints.RequestHide();
    FClock.reset();  // a step already handed to the loop finds nothing to run
    FLayers.Clear();
}

void TRdAnimator::SetDrawBox(TControl* box) {
    if (box == FDrawBox) return;
    if (box) {
        auto it = BoxOwners().find(box);
        if (it != BoxOwners().end() && it->second != this) it->second->SetDrawBox(nullptr);
    }
    Detach();
    if (!box) return;
    FDrawBox = box;
    BoxOwners()[box] = this;
    FSavedWindowProc = box->WindowProc;
    FSavedPaintProc = box->PaintProc;
    box->WindowProc = [this](TMessage& m) { BoxMessage(m); };
    box->PaintProc = [this](platform::TCanvas& c) { BoxPaint(c); };
    FFreeNotifyId = box->AddFreeNotification([this] {
        // The box is going away: forget it without touching it further.
        BoxOwners().erase(FDrawBox);
        FDrawBox = nullptr;
        FHot = nullptr;
    });
    FAllChanged = true;
    FlushChanges();
}

void TRdAnimator::Detach() {
    if (!FDrawBox) return;
    TControl* box = FDrawBox;
    FDrawBox = nullptr;
    BoxOwners().erase(box);
    box->RemoveFreeNotification(FFreeNotifyId);
    box->WindowProc = std::move(FSavedWindowProc);
    box->PaintProc = std::move(FSavedPaintProc);
    if (FCursorSaved) box->SetCursor(FSavedCursor);
    FCursorSaved = false;
    FHot = nullptr;
    FPressed = false;
    box->Invalidate();
}

void TRdAnimator::SetVisible(bool v) {
    if (FVisible == v) return;
    FVisible = v;
    RepaintBox();
}

void TRdAnimator::SetColor(TColor v) {
    if (FColor == v) return;
    FColor = v;
    RepaintBox();
}

void TRdAnimator::SetQuality(TRdAniQuality v) {
    if (FQuality == v) return;
    FQuality = v;
    RepaintBox();
}

void TRdAnimator::SetTextStyle(TRdAniTextStyle v) {
    if (FTextStyle == v) return;
    FTextStyle = v;
    RepaintBox();
}

void TRdAnimator::SetFPS(uint8_t v) {
    if (FFps == v) return;
    FFps = v;
    if (FClock) FClock->SetFps(v);
    RepaintBox();
}

void TRdAnimator::SetAnimate(bool on) {
    if (FAnimate == on) return;
    FAnimate = on;
    if (on && !FClock) {
        FClock = std::make_unique<TFrameClock>([this] { return FrameStep(); });
        FClock->SetFps(FFps);
    }
    if (FClock) FClock->SetRunning(on);
}

void TRdAnimator::RepaintBox() {
    FAllChanged = true;
    // Changes made in a frame event are drawn by the frame's own repaint.
    if (!FInEvent) FlushChanges();
}

void TRdAnimator::LayersChanged() {
    RepaintBox();
}

void TRdAnimator::LayerChanged(TRdAniLayer& layer) {
    TRdAniLayer::TPaintCache& cache = layer.PaintCache();
    if (!cache.Pending) {
        cache.Pending = true;
        FChanged.push_back(&layer);
    }
    if (!FInEvent) FlushChanges();
}

void TRdAnimator::LayersCleared() {
    FHot = nullptr;
    FPressLayer = nullptr;
    FPressed = false;
    FChanged.clear();  // those layers are going
}

void TRdAnimator::FlushChanges() {
    if (FDestroying) return;
    std::vector<TRdAniLayer*> changed;
    changed.swap(FChanged);
    const bool all = FAllChanged;
    FAllChanged = false;
    for (TRdAniLayer* l : changed) l->PaintCache().Pending = false;
    if (!FDrawBox) return;  // attaching a box repaints it whole
    const int w = FDrawBox->Width(), h = FDrawBox->Height();
    if (all) {
        for (int i = 0; i < FLayers.Count(); ++i)
            FLayers[i].PaintCache().Shown = LayerBounds(FLayers[i], w, h);
        FDrawBox->Invalidate();
        return;
    }
    // Where each changed layer was drawn and where it will be: what lies between (other
    // layers, the box's own painting, what is behind the box) is painted again there.
    TRect dirty;
    for (TRdAniLayer* l : changed) {
        TRdAniLayer::TPaintCache& cache = l->PaintCache();
        TRect now = LayerBounds(*l, w, h);
        dirty = dirty.Union(cache.Shown).Union(now);
        cache.Shown = now;
    }
    if (dirty.IsEmpty()) return;
    TForm* form = FDrawBox->Form();
    if (!form) return;
    if (form == FDrawBox) {
        form->InvalidateRect(dirty);
        return;
    }
    int x, y;
    FDrawBox->OriginInForm(x, y);
    form->InvalidateRect(dirty.Offset(x, y));
}

bool TRdAnimator::FrameStep() {
    if (FDestroying) return true;
    if (FPainting) return false;
    const auto life = FLife.Mark();
    FInEvent = true;
    Fire(OnAnimating, *this);
    if (life.Revoked()) return true;
    FInEvent = false;
    // The frame's repaint: only the parts the changes touched, nothing when no layer changed.
    // The window paints them once the loop is idle, while the clock waits for the next frame,
    // so the paint does not lengthen the frame period.
    FlushChanges();
    FInEvent = true;
    Fire(OnAnimated, *this);
    if (life.Revoked()) return true;
    FInEvent = false;
    // What OnAnimated changed joins that same paint rather than waiting a frame: a paint that
    // met only some of the frame's changes would show a picture that never was.
    FlushChanges();
    return true;
}

TRdAniLayer* TRdAnimator::LayerAt(int x, int y) {
    for (int i = FLayers.Count() - 1; i >= 0; --i) {
        TRdAniLayer& l = FLayers[i];
        if (l.Visible() && l.HitRect().Contains(x, y)) return &l;
    }
    return nullptr;
}

void TRdAnimator::BoxMessage(TMessage& m) {
    bool passOn = true;
    switch (m.Kind) {
        case TMessageKind::EraseBackground:
            m.Result = 1;
            break;
        case TMessageKind::MouseMove:
            MouseMove(m);
            break;
        case TMessageKind::MouseLeave:
            SetHot(nullptr, m.X, m.Y);
            break;
        case TMessageKind::MouseDown: {
            TRdAniLayer* layer = LayerAt(m.X, m.Y);
            if (layer && layer->OnMouseDown)
                layer->OnMouseDown(*layer, m.Button, m.Shift, m.X, m.Y);
            if (m.Button == TMouseButton::Left) {
                FPressed = layer != nullptr;
                FPressX = m.X;
                FPressY = m.Y;
                FPressRect = layer ? layer->HitRect() : TRect{};
                FPressLayer = layer;
            }
            if (layer && layer->OnClick) passOn = false;
            break;
        }
        case TMessageKind::MouseUp: {
            TRdAniLayer* layer = LayerAt(m.X, m.Y);
            if (!layer) break;
            bool click = m.Button == TMouseButton::Left && FPressed && layer == FPressLayer &&
                         FPressRect.Contains(m.X, m.Y);
            if (m.Button == TMouseButton::Left) {
                FPressed = false;
                FPressRect = {};
                FPressLayer = nullptr;
            }
            if (click) Fire(layer->OnClick, *layer);
            // The click handler may have cleared the layers.
            if (LayerAt(m.X, m.Y) == layer && layer->OnMouseUp)
                layer->OnMouseUp(*layer, m.Button, m.Shift, m.X, m.Y);
            break;
        }
        default:
            break;
    }
    if (passOn && FSavedWindowProc) FSavedWindowProc(m);
}

void TRdAnimator::MouseMove(TMessage& m) {
    TRdAniLayer* layer = LayerAt(m.X, m.Y);
    if (layer && layer->OnMouseMove) layer->OnMouseMove(*layer, m.Shift, m.X, m.Y);
    SetHot(layer, m.X, m.Y);
}

void TRdAnimator::SetHot(TRdAniLayer* layer, int x, int y) {
    if (layer == FHot) return;
    FHints.RequestHide();
    TRdAniLayer* old = FHot;
    FHot = layer;
    if (old) Fire(old->OnMouseLeave, *old);
    if (FHot != layer) return;  // the leave handler moved the mouse's layer on
    if (layer) {
        if (layer->ShowHint() && !platform::Trim(layer->Hint()).empty()) {
            int sx = x, sy = y;
            if (FDrawBox) {
                int ox, oy;
                FDrawBox->OriginInForm(ox, oy);
                sx += ox;
                sy += oy;
                TForm* f = FDrawBox->Form();
                if (f && f->HasWindow()) {
                    platform::TRect r = f->Window().ScreenRect();
                    sx += r.Left;
                    sy += r.Top;
                }
            }
            FHints.RequestShow(layer->Hint(), sx, sy);
        }
        if (FDrawBox) {
            // Saved once, when the mouse comes onto the layers: moving from one layer straight
            // to another must not save the first layer's cursor as the box's own.
            if (!FCursorSaved) {
                FSavedCursor = FDrawBox->Cursor();
                FCursorSaved = true;
            }
            FDrawBox->SetCursor(layer->Cursor());
        }
        Fire(layer->OnMouseEnter, *layer);
    } else if (FDrawBox && FCursorSaved) {
        FDrawBox->SetCursor(FSavedCursor);
        FCursorSaved = false;
    }
}

}  // namespace controls
