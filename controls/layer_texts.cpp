#include "controls/layer_texts.h"

#include <algorithm>

#include "platform/text.h"

namespace controls {

namespace {

// A row of underscores or dots draws a line, not words; any letter or digit (or any character
// beyond ASCII) makes it text.
bool HasWords(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x80 || (u >= '0' && u <= '9') || ((u | 0x20) >= 'a' && (u | 0x20) <= 'z');
    });
}

// Where the text is: what the last paint drew, or before any paint its rectangle as laid out
// (a negative size reaches to the box's edge).
TRect WhereDrawn(const TRdAniLayer& l, const TControl& box) {
    if (!l.TextBounds().IsEmpty()) return l.TextBounds();
    const int w = l.TextWidth() < 0 ? box.Width() - l.TextLeft() : l.TextWidth();
    const int h = l.TextHeight() < 0 ? box.Height() - l.TextTop() : l.TextHeight();
    return RectWH(l.TextLeft(), l.TextTop(), std::max(0, w), std::max(0, h));
}

bool Overlap(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

}  // namespace

void AppendLayerTexts(const TRdAniLayerCollection& layers, const TControl& box,
                      std::vector<TAccessibleNode>& out, int parent, int ox, int oy,
                      const std::function<bool(int index)>& skip) {
    const bool boxShowing = box.Showing();
    for (int i = 0; i < layers.Count(); ++i) {
        const TRdAniLayer& l = layers[i];
        // A text of size 0 is never drawn.
        if (l.TextWidth() == 0 || l.TextHeight() == 0 || !HasWords(l.Text())) continue;
        if (skip && skip(i)) continue;
        TAccessibleNode n;
        n.Role = TAccessibleRole::StaticText;
        n.Name = platform::Trim(l.Text());
        if (!boxShowing || !l.Visible() || l.Opacity() == 0) n.State |= platform::kAccInvisible;
        n.Bounds = WhereDrawn(l, box);
        if (!Overlap(n.Bounds, box.ClientRect())) n.State |= platform::kAccOffscreen;
        n.Bounds = n.Bounds.Offset(ox, oy);
        n.Parent = parent;
        out.push_back(std::move(n));
    }
}

}  // namespace controls
