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
    FClock.reset();  // joins the clock thread; a posted step finds nothing to run
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
    box->Invalidate();
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
    if (FDrawBox && !FInEvent) FDrawBox->Invalidate();
}

void TRdAnimator::LayersChanged() {
    // Changes made in a frame event are drawn by the frame's own repaint.
    if (!FInEvent && !FDestroying) RepaintBox();
}

void TRdAnimator::LayersCleared() {
    FHot = nullptr;
    FPressLayer = nullptr;
    FPressed = false;
}

bool TRdAnimator::FrameStep() {
    if (FDestroying) return true;
    if (FPainting) return false;
    const auto life = FLife.Mark();
    FInEvent = true;
    Fire(OnAnimating, *this);
    if (life.Revoked()) return true;
    FInEvent = false;
    if (FDrawBox) FDrawBox->Repaint();
    if (life.Revoked()) return true;
    FInEvent = true;
    Fire(OnAnimated, *this);
    if (life.Revoked()) return true;
    FInEvent = false;
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
