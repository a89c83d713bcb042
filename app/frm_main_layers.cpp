// The 43 layers of the feature pages as the window designs them: pictures, fonts, colours,
// wrapping and the design texts. LoadTexts replaces the texts (except the table figures and
// the link's underline) and LayoutControls places everything.
#include "app/frm_main.h"

namespace app {

using namespace controls;

namespace {

const TColor kTitleColor = Rgb(238, 238, 238);
const TColor kDesColor = Rgb(130, 130, 130);
const TColor kTagColor = Rgb(255, 138, 31);
const TColor kTableColor = Rgb(179, 179, 179);
const TColor kFigureColor = Rgb(150, 150, 150);
const TColor kNewFigureColor = Rgb(90, 168, 255);
const TColor kLinkColor = Rgb(112, 112, 112);
constexpr int kTitleLineHeight = 42;

TFont MakeFont(int height, TColor color, bool bold = false) {
    TFont f;
    f.Height = height;
    f.Color = color;
    f.Bold = bold;
    return f;
}

struct TLayerMaker {
    TRdAnimator& Anim;

    TRdAniLayer& Add(const char* name) {
        TRdAniLayer& l = Anim.Layers().Add();
        l.SetName(name);
        return l;
    }
    TRdAniLayer& Picture(const char* name, const char* resource, int left, int top) {
        TRdAniLayer& l = Add(name);
        l.SetImage(platform::LoadPngResource(resource).value_or(platform::TImage()));
        l.SetImageLeft(left);
        l.SetImageTop(top);
        return l;
    }
    // A one-line text, top-left aligned; the layout gives it its place.
    TRdAniLayer& Text(const char* name, const std::string& text, const TFont& font, int left,
                      int top, int width = -1) {
        TRdAniLayer& l = Add(name);
        l.SetText(text);
        l.SetFont(font);
        l.SetTextAlignH(taLeftJustify);
        l.SetTextAlignV(taAlignTop);
        l.SetTextLeft(left);
        l.SetTextTop(top);
        l.SetTextWidth(width);
        return l;
    }
    TRdAniLayer& Description(const char* name, int left, int top, int width) {
        TRdAniLayer& l = Text(name, "", MakeFont(-13, kDesColor), left, top, width);
        l.SetWordWrap(true);
        return l;
    }
    // Titles stand centred in a 42-pixel line, so that bullet, tag and badge, placed from the
    // title's top, meet the middle of its letters.
    TRdAniLayer& Title(const char* name, const char* text, int left, int top) {
        TRdAniLayer& l = Text(name, text, MakeFont(-20, kTitleColor, true), left, top);
        l.SetTextHeight(kTitleLineHeight);
        l.SetTextAlignV(taVerticalCenter);
        return l;
    }
    TRdAniLayer& Tag(const char* name) {
        return Text(name, "IMPROVED", MakeFont(-12, kTagColor, true), 0, 0);
    }
    TRdAniLayer& Badge(const char* name) {
        TRdAniLayer& l = Picture(name, "BADGE", 0, 0);
        l.SetAutoSize(false);
        return l;
    }
    TRdAniLayer& BadgeText(const char* name) {
        TRdAniLayer& l = Text(name, "NEW", MakeFont(-11, clWhite, true), 0, 0);
        l.SetTextAlignH(taCenter);
        l.SetTextAlignV(taVerticalCenter);
        l.SetTextHeight(16);
        return l;
    }
    TRdAniLayer& Figure(const char* name, const char* text, const TFont& font) {
        return Text(name, text, font, 0, 0);
    }
};

}  // namespace

void TFormMain::CreateLayers() {
    animMain.Layers().Clear();
    TLayerMaker m{animMain};
    // Page 0: layers 0 … 14.
    m.Picture("p1Pic1", "P1PIC1", 44, 38);
    m.Picture("p1Pic2", "P1PIC2", 44, 38);
    m.Picture("p1Point1", "BULLET", 414, 31);
    m.Title("p1Title", "Update 3,000,000+ Drivers", 436, 16);
    m.Tag("p1Tag");
    m.Description("p1Des", 424, 50, 400);
    m.Picture("p1Table", "TABLE", 414, 146);
    m.Text("p1TableDes1", "Free Version", MakeFont(-13, kTableColor), 414, 204);
    m.Text("p1TableDes2", "Pro Version", MakeFont(-13, kTableColor), 414, 234);
    // The table's figures are the same in every language.
    const TFont oldHead = MakeFont(-13, kTableColor, true), oldFig = MakeFont(-13, kFigureColor);
    const TFont newHead = MakeFont(-16, clWhite, true),
                newFig = MakeFont(-13, kNewFigureColor, true);
    m.Figure("p1TableDes3", "Vantrel 5", oldHead);
    m.Figure("p1TableDes4", "1,000,000+", oldFig);
    m.Figure("p1TableDes5", "1,500,000+", oldFig);
    m.Figure("p1TableDes6", "Vantrel 6", newHead);
    m.Figure("p1TableDes7", "3,000,000+", newFig);
    m.Figure("p1TableDes8", "3,000,000+", newFig);
    // Page 1: layers 15 … 30.
    m.Picture("p2Pic1", "P2PIC1", 44, 38);
    m.Picture("p2Pic2", "P2PIC2", 44, 38);
    m.Picture("p2Point1", "BULLET", 414, 15);
    m.Title("p2Title1", "Game Ready Drivers", 426, 0);
    m.Badge("p2Tag1Pic");
    m.BadgeText("p2Tag1");
    m.Description("p2Des1", 426, 34, 410);
    m.Picture("p2Point2", "BULLET", 414, 121);
    m.Title("p2Title2", "Game Boost", 426, 106);
    m.Badge("p2Tag2Pic");
    m.BadgeText("p2Tag2");
    m.Description("p2Des2", 426, 140, 410);
    m.Picture("p2Point3", "BULLET", 414, 223);
    m.Title("p2Title3", "Game Component", 426, 208);
    m.Tag("p2Tag3");
    m.Description("p2Des3", 426, 242, 410);
    // Page 2: layers 31 … 42.
    m.Picture("p3Pic1", "P3PIC1", 44, 38);
    m.Picture("p3Pic2", "P3PIC2", 44, 38);
    m.Picture("p3Point1", "BULLET", 414, 35);
    m.Title("p3Title1", "Tools", 426, 20);
    m.Tag("p3Tag1");
    m.Description("p3Des1", 426, 54, 410);
    m.Picture("p3Point2", "BULLET", 414, 141);
    m.Title("p3Title2", "Auto driver update", 426, 126);
    m.Tag("p3Tag2");
    m.Description("p3Des2", 426, 160, 410);
    // The link's underline is a row of low lines cut to the link's width.
    m.Text("p3Line", std::string(120, '_'), MakeFont(-13, kLinkColor), 426, 242);
    TRdAniLayer& link =
        m.Text("p3Btn", "Check more new features", MakeFont(-13, kLinkColor), 426, 240);
    link.OnClick = [this](TObject& s) { animMainLayers41Click(s); };
    link.OnMouseEnter = [this](TObject& s) { animMainLayers41MouseEnter(s); };
    link.OnMouseLeave = [this](TObject& s) { animMainLayers41MouseLeave(s); };

    for (int i = 0; i < animMain.Layers().Count(); ++i) Layer(i).SetOpacity(0);
    animMain.SetDrawBox(&pbMain);
    animMain.OnAnimated = [this](TObject& s) { animMainAnimated(s); };
}

}  // namespace app
