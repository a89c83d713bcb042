// Where a layer's paint can reach in its drawing box: what the frame's repaint invalidates for a
// changed layer, and how a paint of a part of the box tells the layers it can pass over. It
// follows the painting step by step and errs on the large side: a pixel outside these bounds
// must never change when the layer does.
#include <cmath>

#include "controls/animator.h"
#include "controls/animator_pixels.h"

namespace controls {
namespace {

// Antialiased edges, a clip at a fractional position and the backends' half-pixel rules reach
// at most this far beyond the exact rectangle.
constexpr int kEdge = 2;

struct TExtent {
    float L = 0, T = 0, R = 0, B = 0;
    bool Any = false;
    void Add(float x, float y) {
        if (!Any) {
            L = R = x;
            T = B = y;
            Any = true;
            return;
        }
        L = std::min(L, x);
        R = std::max(R, x);
        T = std::min(T, y);
        B = std::max(B, y);
    }
    void Add(const TRectF& r) {
        Add(r.X, r.Y);
        Add(r.Right(), r.Bottom());
    }
    TRect Pixels() const {
        if (!Any) return {};
        return TRect{int(std::floor(L)), int(std::floor(T)), int(std::ceil(R)), int(std::ceil(B))}
            .Inflated(kEdge);
    }
};

// The picture's part, as both renderers place it; false when nothing of the layer is drawn, its
// text included.
bool AddPicture(const TRdAniLayer& l, int boxW, int boxH, TExtent& out) {
    const platform::TImage& picture = l.Image();
    if (picture.Empty()) return true;
    TRectF client{0, 0, float(boxW), float(boxH)};
    const TRectF dest = l.PictureDestination(boxW, boxH);
    if (dest.IsEmpty() || !dest.Intersects(client)) return false;
    if (l.Opacity() == 0) return true;  // a fully transparent picture is not drawn
    float sx, sy;
    l.InflateScale(sx, sy);
    float cx = dest.X + dest.Width / 2, cy = dest.Y + dest.Height / 2;
    // The full renderer: the destination (or the pie inside it) through the layer's transform.
    using platform::TTransform;
    TTransform t = TTransform::Translation(-cx, -cy);
    if (l.Rotate() != 0) t = t.Then(TTransform::Rotation(l.Rotate()));
    t = t.Then(TTransform::Scaling(sx, sy)).Then(TTransform::Translation(cx, cy));
    for (auto p :
         {platform::TPointF{dest.X, dest.Y}, platform::TPointF{dest.Right(), dest.Y},
          platform::TPointF{dest.X, dest.Bottom()}, platform::TPointF{dest.Right(), dest.Bottom()}})
        out.Add(t.Apply(p).X, t.Apply(p).Y);
    // The simpler one: the turned picture scaled as the destination is, about its centre.
    int tw = picture.Width(), th = picture.Height();
    if (l.Rotate() != 0) RotatedSize(picture.Width(), picture.Height(), l.Rotate(), tw, th);
    float gw = std::abs(float(tw) / float(picture.Width()) * dest.Width * sx);
    float gh = std::abs(float(th) / float(picture.Height()) * dest.Height * sy);
    out.Add({cx - gw / 2, cy - gh / 2, gw, gh});
    return true;
}

void AddText(const TRdAniLayer& l, int boxW, int boxH, TExtent& out) {
    if (l.Text().empty() || l.TextWidth() == 0 || l.TextHeight() == 0) return;
    float left = float(l.TextLeft()), top = float(l.TextTop());
    float width = l.TextWidth() < 0 ? float(boxW - l.TextLeft()) : float(l.TextWidth());
    float height = l.TextHeight() < 0 ? float(boxH - l.TextTop()) : float(l.TextHeight());
    TRectF rect{left, top, width, height};
    if (rect.IsEmpty()) return;
    // The text is clipped to its rectangle, which wrapped text taller than it enlarges upwards
    // (bottom alignment) or both ways (centred) by as much as it needs: up to the box's edges.
    if (l.WordWrap() && l.TextAlignV() != taAlignTop && l.TextHeight() > 0) {
        float bottom = l.TextAlignV() == taAlignBottom ? rect.Bottom() : float(boxH);
        rect.Y = std::min(rect.Y, 0.0f);
        rect.Height = std::max(bottom, rect.Bottom()) - rect.Y;
    }
    out.Add(rect);
}

}  // namespace

TRect TRdAnimator::LayerBounds(const TRdAniLayer& l, int boxW, int boxH) {
    if (!l.Visible() || boxW <= 0 || boxH <= 0) return {};
    TExtent e;
    if (!AddPicture(l, boxW, boxH, e)) return {};
    AddText(l, boxW, boxH, e);
    TRect r = e.Pixels();
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::min(r.Right, boxW);
    r.Bottom = std::min(r.Bottom, boxH);
    return r.IsEmpty() ? TRect{} : r;
}

}  // namespace controls
