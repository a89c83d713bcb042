// The window's texts and the places of its controls and layers, done once at the first show.
#include <algorithm>
#include <cmath>
#include <vector>

#include "app/frm_main.h"
#include "app/main_texts.h"
#include "platform/text.h"

namespace app {

using namespace controls;

namespace {

platform::TTextFormat OneLine() {
    platform::TTextFormat f;
    f.NoWrap = true;
    f.Trimming = platform::TTrimming::Character;
    return f;
}

float MeasureOneLine(const TFont& font, const std::string& text) {
    return platform::MeasureTextOnce(text, font, {0, 0, 10000, 10000}, OneLine()).Width;
}

// Height of one line of `text` (of a blank when it is empty).
int TextHeight(const TFont& font, const std::string& text) {
    const auto r =
        platform::MeasureTextOnce(text.empty() ? " " : text, font, {0, 0, 10000, 10000}, OneLine());
    return int(std::ceil(r.Height));
}

// The height of a title's text: its line when it has one, else what its letters take.
int TitleHeight(const TRdAniLayer& title) {
    return title.TextHeight() > 0 ? title.TextHeight() : TextHeight(title.Font(), title.Text());
}

// Layer coordinates are those of the drawing box, which starts at window y 142.
constexpr int BoxY(int windowY) {
    return windowY - TFormMain::kBoxTop;
}

// Where a title's letters end, below the layer's top: a title stands centred in its line.
int TitleTextBottom(const TRdAniLayer& title) {
    const int text = TextHeight(title.Font(), title.Text());
    return title.TextHeight() > text ? (title.TextHeight() + text + 1) / 2 : TitleHeight(title);
}

// The longest start of `text` that fits `width` with an ellipsis after it (the ellipsis alone
// when nothing does). Done here rather than left to the drawing backend: not every GDI+ draws
// an end ellipsis, and a text cut mid-letter without one reads as a different word.
std::string CutWithEllipsis(const TFont& font, const std::string& text, int width) {
    static const std::string kEllipsis = "\xE2\x80\xA6";
    if (TFormMain::MeasureTextWidth(font, text) <= width) return text;
    std::vector<size_t> ends;  // where each character ends (UTF-8)
    for (size_t i = 1; i <= text.size(); ++i)
        if (i == text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            ends.push_back(i);
    size_t lo = 0, hi = ends.size();  // the count of characters that fit lies in [lo, hi)
    while (lo + 1 < hi) {
        const size_t mid = (lo + hi) / 2;
        const std::string head = platform::TrimRight(text.substr(0, ends[mid - 1]));
        if (TFormMain::MeasureTextWidth(font, head + kEllipsis) <= width)
            lo = mid;
        else
            hi = mid;
    }
    return (lo == 0 ? std::string() : platform::TrimRight(text.substr(0, ends[lo - 1]))) +
           kEllipsis;
}

// Makes a title that, with what follows it on its line (`after` pixels), would run past
// `right` smaller the way the first page's title is fitted, and cuts it only if it still does
// not fit. True when it was cut to `room`, its drawing width.
bool FitTitle(TRdAniLayer& title, const TFont& design, int limit, int right, int after, int& room) {
    room = right - after - title.TextLeft();
    TFont font = design;
    TFormMain::FitFontToWidth(font, title.Text(), 4, std::min(limit, room));
    title.SetFont(font);
    title.SetTextWidth(TFormMain::MeasureTextWidth(font, title.Text()));
    if (title.TextWidth() <= room || room <= 0) return false;
    title.SetText(CutWithEllipsis(font, title.Text(), room));
    title.SetTextWidth(room);
    return true;
}

}  // namespace

int TFormMain::MeasureTextWidth(const TFont& font, const std::string& text) {
    if (text.empty()) return 0;
    // Trailing blanks count, as they do for a label; some measurers leave them out, so they
    // are added by the width one blank takes between two letters.
    const std::string body = platform::TrimRight(text);
    const size_t blanks = text.size() - body.size();
    float width = body.empty() ? 0 : MeasureOneLine(font, body);
    if (blanks > 0 && text.find_first_not_of(' ', body.size()) == std::string::npos) {
        const float blank = MeasureOneLine(font, "x x") - MeasureOneLine(font, "xx");
        width += float(blanks) * std::max(0.0f, blank);
    }
    return int(std::ceil(width));
}

void TFormMain::FitFontToWidth(TFont& font, const std::string& text, int tries, int width) {
    for (int i = 0; i <= tries; ++i) {
        TFont face = font;
        face.Name.clear();  // the window's own face
        if (MeasureTextWidth(face, text) <= width) return;
        if (font.Size() <= 0) return;
        font.SetSize(font.Size() - 1);
    }
}

void TFormMain::LoadTexts() {
    FLanguage = ProductLanguage ? ProductLanguage() : std::string();
    const TMainTexts t = PrepareMainTexts(*Texts, Data.NewVersion, FLanguage);
    lblTitle.SetCaption(t.Title);
    lblDes.SetCaption(t.Description);
    btnUpgrade.SetCaption(t.UpgradeCaption);
    btnClose.Hint = t.CloseHint;
    btnMin.SetCaption(t.MinimizeCaption);
    for (const auto& [index, text] : t.Layers) Layer(index).SetText(text);
    SpeedTemplate = t.SpeedTemplate;
    InstallTitle = t.InstallTitle;
    InstallDes = t.InstallDes;
    for (int i : layers::kTitles)
        Layer(i).SetTextWidth(MeasureTextWidth(Layer(i).Font(), Layer(i).Text()));
}

void TFormMain::LayoutControls() {
    // 1. Background, logo, title and description.
    imgBackground.SetBounds(0, 0, Width(), Height());
    imgLogo.SetBounds(54, 20, imgLogo.Width(), imgLogo.Height());
    lblTitle.Font.Height = -26;
    lblTitle.SetBounds(imgLogo.Left() + imgLogo.Width() + 18, 28, 700,
                       TextHeight(lblTitle.Font, lblTitle.DisplayText()));
    lblDes.Font.Height = -12;
    // The description ends 20 pixels before the window's right edge. One too long for its
    // line takes a second one (there is room above the pages) before its ellipsis shows.
    const int desWidth = Width() - 20 - lblTitle.Left();
    const std::string des = lblDes.DisplayText();
    lblDes.WordWrap = MeasureTextWidth(lblDes.Font, des) > desWidth;
    int desHeight = TextHeight(lblDes.Font, des);
    if (lblDes.WordWrap) {
        platform::TTextFormat wrapped;
        wrapped.NoWrap = false;
        const auto r =
            platform::MeasureTextOnce(des, lblDes.Font, {0, 0, float(desWidth), 10000}, wrapped);
        desHeight = std::min(int(std::ceil(r.Height)), 2 * desHeight);
    }
    lblDes.SetBounds(lblTitle.Left(), lblTitle.Top() + lblTitle.Height() + 5, desWidth, desHeight);
    // 2. Close button and page dots.
    btnClose.SetBounds(Width() - 35, 1, 34, 34);
    for (int dot = 1; dot <= 3; ++dot) Dot(dot).SetBounds(406 + 32 * (dot - 1), 475, 24, 5);
    // 3. Progress text and the two buttons.
    lblSpeed.Font.Height = -12;
    lblSpeed.AdjustSize();
    lblSpeed.SetBounds(20, Height() - lblSpeed.Height() - 60, lblSpeed.Width(), lblSpeed.Height());
    for (TImageButton* b : {&btnUpgrade, &btnMin}) {
        b->SetBounds(b->Left(), b->Top(), 192, 40);
        b->Font.Height = -18;
    }
    btnMin.SetBounds(Width() - btnUpgrade.Width() - 30, 536, btnMin.Width(), btnMin.Height());
    btnUpgrade.SetBounds((Width() - btnUpgrade.Width()) / 2, 536, btnUpgrade.Width(),
                         btnUpgrade.Height());
    // 4. The offer look.
    ShowDownloadControls(false);
    ShowOfferControls(true);
    // 5. The drawing box of the pages.
    pbMain.SetBounds(0, kBoxTop, 900, 300);
    ResetPageImages();
    // 6 … 9. The three pages.
    LayoutPage0();
    LayoutPage1();
    LayoutPage2();
    // 10. Titles take the width of whatever they show; captions fit their buttons.
    for (int i : layers::kTitles)
        if (Layer(i).Ellipsis() == epNone) Layer(i).SetTextWidth(-1);
    for (TImageButton* b : {&btnUpgrade, &btnMin}) {
        FitFontToWidth(b->Font, b->Caption(), 4, b->Width());
        b->Invalidate();
    }
    // 11. Nothing of the pages shows before the cycle brings it in.
    HidePageLayers(0, animMain.Layers().Count() - 1);
}

// A tag 10 pixels right of its title's end.
void TFormMain::PlaceTag(int tagLayer, int titleLayer, int top) {
    TRdAniLayer& title = Layer(titleLayer);
    Layer(tagLayer).SetTextLeft(title.TextLeft() + title.TextWidth() + 10);
    Layer(tagLayer).SetTextTop(top);
}

namespace {

// A feature row: bullet, title right of it, the description 10 pixels below the title.
void PlaceRow(TFormMain& f, int bullet, int title, int des, int titleTop, int bulletTop) {
    TRdAniLayer& b = f.Layer(bullet);
    TRdAniLayer& t = f.Layer(title);
    b.SetImageLeft(414);
    b.SetImageTop(bulletTop);
    t.SetTextLeft(424 + b.ImageWidth());
    t.SetTextTop(titleTop);
    t.SetTextWidth(TFormMain::MeasureTextWidth(t.Font(), t.Text()));
    f.Layer(des).SetTextLeft(t.TextLeft());
    f.Layer(des).SetTextTop(titleTop + TitleTextBottom(t) + 10);
}

// A title with a tag or badge of `tagWidth` pixels `gap` pixels after it keeps both inside the
// right margin; the description below moves with the title's new height.
void FitRowTitle(TFormMain& f, int title, int des, int tagWidth, int gap = 10) {
    TRdAniLayer& t = f.Layer(title);
    int room = 0;
    const bool cut = FitTitle(t, t.Font(), 10000, f.pbMain.Width() - TFormMain::kTagMargin,
                              tagWidth + gap, room);
    t.SetEllipsis(cut ? epEndEllipsis : epNone);
    f.Layer(des).SetTextTop(t.TextTop() + TitleTextBottom(t) + 10);
}

// A text centred in a column of `columnWidth` pixels starting at `columnLeft`.
void CentreInColumn(TRdAniLayer& l, int columnLeft, int columnWidth, int textWidth, int top) {
    l.SetTextWidth(textWidth);
    l.SetTextLeft(columnLeft + (columnWidth - textWidth) / 2);
    l.SetTextTop(top);
    l.SetTextAlignH(taCenter);
}

}  // namespace

void TFormMain::LayoutPage0() {
    TRdAniLayer& bullet = Layer(layers::kP1Point);
    TRdAniLayer& title = Layer(layers::kP1Title);
    TRdAniLayer& tag = Layer(layers::kP1Tag);
    const int titleTop = BoxY(158);
    title.SetTextLeft(424 + bullet.ImageWidth());
    title.SetTextTop(titleTop);
    const int gap = platform::SameText(TableName ? TableName() : "", "French") ? 20 : 10;
    // At most 380 pixels, and narrower where its tag would not fit after it: made smaller
    // first, cut with an ellipsis only when five points smaller is still too wide.
    int room = 0;
    FTitleCut = FitTitle(title, title.Font(), 380, pbMain.Width() - kTagMargin,
                         MeasureTextWidth(tag.Font(), tag.Text()) + gap, room);
    title.SetEllipsis(FTitleCut ? epEndEllipsis : epNone);
    const TFont& font = title.Font();
    bullet.SetImageLeft(414);
    bullet.SetImageTop(titleTop - (font.Height / 2) + 5);  // heights are negative
    tag.SetTextLeft(title.TextLeft() + title.TextWidth() + gap);
    tag.SetTextTop(bullet.ImageTop() - 3);
    TRdAniLayer& des = Layer(layers::kP1Des);
    des.SetTextLeft(424);
    des.SetTextTop(titleTop + TitleTextBottom(title) + 10);

    TRdAniLayer& table = Layer(layers::kP1Table);
    table.SetImageLeft(414);
    table.SetImageTop(BoxY(Height() - table.ImageHeight() - 192));
    const int left = table.ImageLeft(), top = table.ImageTop();
    // Row headers: as wide as their text, or cut to the column with an ellipsis.
    const int headerOffsets[] = {65, 95};
    for (int i = 0; i < 2; ++i) {
        TRdAniLayer& h = Layer(layers::kP1TableDes1 + i);
        // A header a little too long is made smaller to stay whole; one that is still too
        // long is cut to the column with an ellipsis.
        TFont font = h.Font();
        if (MeasureTextWidth(font, h.Text()) > 125) FitFontToWidth(font, h.Text(), 4, 125);
        h.SetFont(font);
        const int measured = MeasureTextWidth(font, h.Text());
        const bool cut = measured > 125;
        if (cut) h.SetText(CutWithEllipsis(font, h.Text(), 130));
        h.SetEllipsis(cut ? epEndEllipsis : epNone);
        CentreInColumn(h, left, 130, cut ? 130 : measured + 5,
                       top + headerOffsets[i] - TextHeight(h.Font(), h.Text()) / 2);
    }
    // The figures of the old and of the new version.
    const int oldTops[] = {25, 58, 88}, newTops[] = {16, 58, 88};
    for (int i = 0; i < 3; ++i) {
        CentreInColumn(Layer(9 + i), left + 130, 130, 130, top + oldTops[i]);
        CentreInColumn(Layer(12 + i), left + 264, 144, 144, top + newTops[i]);
    }
}

void TFormMain::LayoutPage1() {
    PlaceRow(*this, 17, 18, 21, BoxY(142), BoxY(157));
    PlaceRow(*this, 22, 23, 26, BoxY(248), BoxY(263));
    PlaceRow(*this, 27, 28, 30, BoxY(350), BoxY(365));
    // Badges: a picture as wide as its text + 8, the text on it.
    const int badgeTops[] = {BoxY(155), BoxY(261)};
    const int badges[] = {19, 24}, descriptions[] = {21, 26};
    for (int i = 0; i < 2; ++i) {
        TRdAniLayer& title = Layer(badges[i] - 1);
        TRdAniLayer& badge = Layer(badges[i]);
        TRdAniLayer& text = Layer(badges[i] + 1);
        const int width = MeasureTextWidth(text.Font(), text.Text()) + 8;
        FitRowTitle(*this, badges[i] - 1, descriptions[i], width);
        badge.SetImageLeft(title.TextLeft() + title.TextWidth() + 10);
        badge.SetImageTop(badgeTops[i]);
        badge.SetImageWidth(width);
        badge.SetImageHeight(badge.Image().Height());
        text.SetTextLeft(badge.ImageLeft() + 1);
        text.SetTextTop(badge.ImageTop());
        text.SetTextWidth(width - 2);
        text.SetTextHeight(badge.ImageHeight());
    }
    FitRowTitle(*this, 28, 30, MeasureTextWidth(Layer(29).Font(), Layer(29).Text()));
    PlaceTag(29, 28, BoxY(363));
}

void TFormMain::LayoutPage2() {
    PlaceRow(*this, 33, 34, 36, BoxY(162), BoxY(177));
    PlaceRow(*this, 37, 38, 40, BoxY(268), BoxY(283));
    FitRowTitle(*this, 34, 36, MeasureTextWidth(Layer(35).Font(), Layer(35).Text()));
    FitRowTitle(*this, 38, 40, MeasureTextWidth(Layer(39).Font(), Layer(39).Text()));
    PlaceTag(35, 34, BoxY(175));
    PlaceTag(39, 38, BoxY(281));
    TRdAniLayer& link = Layer(layers::kP3Btn);
    TRdAniLayer& line = Layer(layers::kP3Line);
    link.SetTextLeft(Layer(40).TextLeft());
    link.SetTextTop(BoxY(382));
    line.SetTextLeft(link.TextLeft());
    line.SetTextTop(BoxY(384));
    line.SetTextWidth(MeasureTextWidth(link.Font(), link.Text()) + 15);
    TFont f = link.Font();
    f.Color = Rgb(112, 112, 112);
    link.SetFont(f);
    f = line.Font();
    f.Color = Rgb(112, 112, 112);
    line.SetFont(f);
}

}  // namespace app
