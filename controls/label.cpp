#include "controls/label.h"

#include <algorithm>
#include <cmath>

#include "platform/text.h"

namespace controls {

std::string StripAccelerators(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

TLabel::TLabel() {
    Font.Color = Rgb(238, 238, 238);
}

std::optional<TAccessibleRole> TLabel::OwnAccessibleRole() const {
    if (DisplayText().empty()) return std::nullopt;  // nothing to read
    if (OnClick) return TAccessibleRole::Link;
    const auto parts = Parts();
    const bool allLink = !parts.empty() && std::all_of(parts.begin(), parts.end(),
                                                       [](const TPart& p) { return p.Link; });
    return allLink ? TAccessibleRole::Link : TAccessibleRole::StaticText;
}

void TLabel::SetCaption(const std::string& caption) {
    if (caption == FCaption) return;
    FCaption = caption;
    AdjustSize();
    Invalidate();
}

std::vector<TLabel::TPart> TLabel::Parts() const {
    std::vector<TPart> parts;
    std::string rest = FCaption;
    while (!rest.empty()) {
        size_t open = platform::FindNoCase(rest, "<a");
        size_t close = open == std::string::npos ? open : platform::FindNoCase(rest, "</a>", open);
        size_t tagEnd = open == std::string::npos ? open : rest.find('>', open);
        if (open == std::string::npos || close == std::string::npos || tagEnd > close) {
            parts.push_back(TPart{StripAccelerators(rest), false, {}, 0, 0});
            break;
        }
        if (open > 0)
            parts.push_back(TPart{StripAccelerators(rest.substr(0, open)), false, {}, 0, 0});
        std::string tag = rest.substr(open, tagEnd - open);
        std::string href;
        size_t h = platform::FindNoCase(tag, "href=");
        if (h != std::string::npos) {
            href = tag.substr(h + 5);
            if (!href.empty() && (href[0] == '"' || href[0] == '\'')) {
                char q = href[0];
                href = href.substr(1, href.find(q, 1) == std::string::npos ? std::string::npos
                                                                           : href.find(q, 1) - 1);
            }
        }
        parts.push_back(TPart{StripAccelerators(rest.substr(tagEnd + 1, close - tagEnd - 1)), true,
                              href, 0, 0});
        rest = rest.substr(close + 4);
    }
    return parts;
}

std::string TLabel::DisplayText() const {
    std::string out;
    for (const auto& p : Parts()) out += p.Text;
    return out;
}

platform::TTextFormat TLabel::Format() const {
    platform::TTextFormat f;
    f.NoWrap = !WordWrap;
    f.Trimming =
        EndEllipsis ? platform::TTrimming::EllipsisCharacter : platform::TTrimming::Character;
    f.Align = Alignment == TAlignment::Center  ? platform::TTextAlign::Center
              : Alignment == TAlignment::Right ? platform::TTextAlign::Far
                                               : platform::TTextAlign::Near;
    return f;
}

void TLabel::AdjustSize() {
    if (!AutoSize) return;
    std::string text = DisplayText();
    platform::TTextFormat f = Format();
    f.Trimming = platform::TTrimming::Character;
    float maxW = WordWrap && Width() > 0 ? float(Width()) : 10000.0f;
    TRectF r = platform::MeasureTextOnce(text.empty() ? " " : text, Font, {0, 0, maxW, 10000}, f);
    int w = WordWrap ? Width() : int(std::ceil(r.Width));
    SetBounds(Left(), Top(), text.empty() ? 0 : w, int(std::ceil(r.Height)));
}

void TLabel::Paint(platform::TCanvas& canvas) {
    if (!Transparent && BackColor != clNone) canvas.FillRect(ClientRect().ToF(), BackColor);
    auto parts = Parts();
    TRectF rect = ClientRect().ToF();
    bool hasLink = false;
    for (auto& p : parts) hasLink = hasLink || p.Link;
    if (!hasLink || WordWrap) {
        canvas.DrawText(DisplayText(), Font, rect, Format(), Font.Color);
        FLaidOut.clear();
    } else {
        // Links: the parts one after another on one line.
        platform::TTextFormat f = Format();
        f.Align = platform::TTextAlign::Near;
        float x = 0;
        for (auto& p : parts) {
            TFont font = Font;
            if (p.Link) font.Underline = true;
            TRectF m = canvas.MeasureText(p.Text, font, {x, 0, 10000, rect.Height}, f);
            p.Left = x;
            p.Width = m.Width;
            canvas.DrawText(p.Text, font, {x, 0, rect.Width - x, rect.Height}, f,
                            p.Link ? LinkColor : Font.Color);
            x += m.Width;
        }
        FLaidOut = parts;
    }
    TControl::Paint(canvas);
}

void TLabel::MouseMove(TShiftState, int x, int) {
    bool over = false;
    for (const auto& p : FLaidOut) over = over || (p.Link && x >= p.Left && x < p.Left + p.Width);
    if (over == FOverLink) return;
    // The hand over a link; the label's own cursor elsewhere.
    if (over) FOwnCursor = Cursor();
    FOverLink = over;
    SetCursor(over ? TCursor::Hand : FOwnCursor);
}

void TLabel::MouseLeave() {
    if (!FOverLink) return;
    FOverLink = false;
    SetCursor(FOwnCursor);
}

void TLabel::MouseUp(TMouseButton button, TShiftState, int x, int) {
    if (button != TMouseButton::Left || !OnLinkClick) return;
    for (const auto& p : FLaidOut)
        if (p.Link && x >= p.Left && x < p.Left + p.Width) OnLinkClick(*this, p.Href);
}

}  // namespace controls
