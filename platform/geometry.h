// Rectangles of the screen, the windows and the drawing: whole pixels with a right and bottom
// edge outside (as window rectangles are), and floating-point ones with a size for drawing.
#pragma once
#include <algorithm>

namespace platform {

struct TPointF {
    float X = 0, Y = 0;
    bool operator==(const TPointF&) const = default;
};

struct TRectF {
    float X = 0, Y = 0, Width = 0, Height = 0;
    float Right() const { return X + Width; }
    float Bottom() const { return Y + Height; }
    bool IsEmpty() const { return Width <= 0 || Height <= 0; }
    bool Intersects(const TRectF& o) const {
        return X < o.Right() && o.X < Right() && Y < o.Bottom() && o.Y < Bottom();
    }
    TRectF Intersect(const TRectF& o) const {
        float l = std::max(X, o.X), t = std::max(Y, o.Y);
        float r = std::min(Right(), o.Right()), b = std::min(Bottom(), o.Bottom());
        return r > l && b > t ? TRectF{l, t, r - l, b - t} : TRectF{l, t, 0, 0};
    }
    bool operator==(const TRectF&) const = default;
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    TRect Inflated(int d) const { return {Left - d, Top - d, Right + d, Bottom + d}; }
    TRectF ToF() const { return {float(Left), float(Top), float(Width()), float(Height())}; }
    // Union as window rectangles are joined: an empty one adds nothing.
    TRect Union(const TRect& o) const {
        if (o.IsEmpty()) return *this;
        if (IsEmpty()) return o;
        return {std::min(Left, o.Left), std::min(Top, o.Top), std::max(Right, o.Right),
                std::max(Bottom, o.Bottom)};
    }
    bool operator==(const TRect&) const = default;
};
inline TRect RectWH(int l, int t, int w, int h) {
    return {l, t, l + w, t + h};
}

}  // namespace platform
