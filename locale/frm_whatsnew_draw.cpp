// The What's New list: filling it from the history lines, and drawing its rows as a time line.
#include <cmath>

#include "locale/frm_whatsnew.h"

namespace locale {

using namespace controls;

namespace {

const TColor kTextColor = Rgb(0xB3, 0xB3, 0xB3);
const TColor kBarColor = Rgb(0x4D, 0x4D, 0x4D);
const char* const kBullet = "\xE2\x97\x8F";  // ●

platform::TTextFormat Format(bool oneLine, bool ellipsis, platform::TTextAlign lineAlign) {
    platform::TTextFormat f;
    f.NoWrap = oneLine;
    f.LineAlign = lineAlign;
    f.Trimming = ellipsis ? platform::TTrimming::EllipsisCharacter : platform::TTrimming::Character;
    return f;
}

// The time line: a one-pixel bar down the whole row.
void DrawBar(platform::TCanvas& canvas) {
    canvas.FillRect({36, 0, 1, 43}, kBarColor);
}

}  // namespace

void TformWhatsNew::FillHistoryView() {
    lv.ClearItems();
    lv.BeginUpdate();
    try {
        // The lines get their "&" doubled for the view, as it keeps them.
        const THistoryView view = BuildHistoryView(FHistory);
        for (const THistoryGroup& g : view.Groups) lv.AddGroup(g.Id, g.Header);
        for (const THistoryRow& r : view.Rows) lv.AddItem(r.Group, {"", kBullet, r.Text});
    } catch (...) {
        // What was added stays.
    }
    lv.EndUpdate();
}

void TformWhatsNew::lvAdvancedCustomDrawSubItem(TListView& sender, platform::TCanvas& canvas,
                                                const TListRow& row, int column,
                                                const TRect& rowRect, bool& defaultDraw) {
    TFont font = sender.Font;  // the list view's size for every text of the row
    font.Color = kTextColor;
    const int rowH = rowRect.Height();
    using platform::TTextAlign;
    if (row.IsGroupHeader) {
        if (column != 0) return;
        defaultDraw = false;
        DrawBar(canvas);
        if (!ImgIcon.Empty())
            canvas.DrawImage(ImgIcon, {33, float((rowH - 7) / 2), 7, 7},
                             {0, 0, float(ImgIcon.Width()), float(ImgIcon.Height())});
        TFont bold = font;
        bold.Bold = true;
        bold.Height = -14;
        canvas.DrawText(row.Group->Header, bold, {56, 0, float(rowRect.Right - 56), float(rowH)},
                        Format(true, true, TTextAlign::Center), kTextColor);
        return;
    }
    defaultDraw = false;
    const std::vector<std::string>& items = row.Item->SubItems;
    if (column == 1) {
        DrawBar(canvas);
        // The bullet "●" of the row, drawn as the round it stands for: some faces (the system
        // font of a Windows look-alike among them) have no such letter and would show nothing.
        const float d = std::round(font.EmPixels() / 2);
        canvas.Save();
        canvas.SetQuality({platform::TSmoothing::HighQuality, platform::TInterpolation::Bilinear,
                           platform::TCompositing::Default, platform::TTextHint::SystemDefault});
        canvas.FillEllipse({56 + (15 - d) / 2, (float(rowH) - d) / 2, d, d}, kTextColor);
        canvas.Restore();
        return;
    }
    if (column != 2 || items.size() < 3) return;
    // The view keeps "&&" for one ampersand; the canvas draws text as it is.
    std::string text = StripAccelerators(items[2]);
    const int left = 76;
    const int area = sender.Width() - 46 - left;
    if (area <= 0) return;
    const auto one = Format(true, false, TTextAlign::Center);
    const platform::TRectF measured =
        canvas.MeasureText(text, font, {0, 0, 100000, float(rowH)}, one);
    const int textWidth = int(std::ceil(measured.Width));
    if (textWidth <= area) {
        canvas.DrawText(text, font, {float(left), 0, float(area), float(rowH)}, one, kTextColor);
        return;
    }
    if (textWidth > 2 * area) text = ShortenToTwoLines(textWidth, area, text);
    const float lineH = std::ceil(measured.Height);
    const float top = std::floor((float(rowH) - 2 * lineH) / 2);
    canvas.DrawText(text, font, {float(left), top, float(area), 2 * lineH},
                    Format(false, true, TTextAlign::Near), kTextColor);
}

}  // namespace locale
