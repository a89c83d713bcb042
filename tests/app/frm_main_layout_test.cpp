// The offer window's texts and layout: the places of the controls and of the feature rows,
// tags, badges and table texts, the language adjustments, and the font fitting.
#include <gtest/gtest.h>

#include <cmath>

#include "app/frm_main.h"
#include "platform/resources.h"
#include "platform/text.h"

using namespace app;
using controls::TFont;

namespace {

locale::TLeapgateLang Table(const std::string& name) {
    locale::TLeapgateLang t;
    if (const auto data = platform::FindResourceData("LANG", name)) t.LoadFromText(*data);
    return t;
}

class FormMainLayout : public testing::Test {
protected:
    locale::TLeapgateLang Texts = Table("ENGLISH");
    std::string Language = "English", TableName = "ENGLISH";
    std::unique_ptr<TFormMain> Form;

    // Texts and layout as the first show does them.
    TFormMain& Make() {
        Form = std::make_unique<TFormMain>();
        Form->Texts = &Texts;
        Form->Data.NewVersion = "6.4.0.123";
        Form->ProductLanguage = [this] { return Language; };
        Form->TableName = [this] { return TableName; };
        Form->LoadTexts();
        Form->LayoutControls();
        return *Form;
    }
    controls::TRdAniLayer& L(int i) { return Form->Layer(i); }
    int Width(int layer) { return TFormMain::MeasureTextWidth(L(layer).Font(), L(layer).Text()); }
    int End(int titleLayer) { return L(titleLayer).TextLeft() + Width(titleLayer); }
    // Pixels between the end of a title's letters (centred in its line) and the top of the
    // text below it.
    int GapBelow(int titleLayer, int below) {
        const int h =
            int(std::ceil(platform::MeasureTextOnce(L(titleLayer).Text(), L(titleLayer).Font(),
                                                    {0, 0, 10000, 10000}, {})
                              .Height));
        const int lettersEnd = L(titleLayer).TextTop() + (L(titleLayer).TextHeight() + h) / 2;
        return L(below).TextTop() - lettersEnd;
    }
};

TEST_F(FormMainLayout, WindowControlsSitWhereTheyBelong) {
    TFormMain& f = Make();
    EXPECT_EQ(f.Width(), 900);
    EXPECT_EQ(f.Height(), 600);
    EXPECT_EQ(f.Caption, "Vantrel Updater");
    EXPECT_EQ(f.imgLogo.BoundsRect(), controls::RectWH(54, 20, 70, 70));
    EXPECT_EQ(f.lblTitle.Left(), 54 + 70 + 18);
    EXPECT_EQ(f.lblTitle.Top(), 28);
    EXPECT_EQ(f.lblTitle.Width(), 700);
    EXPECT_EQ(f.lblTitle.Font.Height, -26);
    EXPECT_EQ(f.lblTitle.Font.Color, controls::Rgb(238, 238, 238));
    EXPECT_GT(f.lblTitle.Height(), 20);
    EXPECT_EQ(f.lblDes.Top(), f.lblTitle.Top() + f.lblTitle.Height() + 5);
    EXPECT_EQ(f.lblDes.Left(), f.lblTitle.Left());
    EXPECT_EQ(f.lblDes.Font.Height, -12);
    EXPECT_TRUE(f.lblDes.EndEllipsis);
    // The description's ellipsis shows inside the window, 20 pixels before its edge.
    EXPECT_EQ(f.lblDes.Left() + f.lblDes.Width(), 900 - 20);
    EXPECT_EQ(f.btnClose.BoundsRect(), controls::RectWH(865, 1, 34, 34));
    EXPECT_EQ(f.btnClose.Hint, "Close");
    const int dotLefts[] = {406, 438, 470};
    for (int dot = 1; dot <= 3; ++dot) {
        EXPECT_EQ(f.Dot(dot).BoundsRect(), controls::RectWH(dotLefts[dot - 1], 475, 24, 5));
        EXPECT_EQ(f.Dot(dot).Tag, dot);
        EXPECT_EQ(f.Dot(dot).Cursor(), controls::TCursor::Hand);
    }
    EXPECT_EQ(f.btnUpgrade.BoundsRect(), controls::RectWH(354, 536, 192, 40));
    EXPECT_EQ(f.btnMin.BoundsRect(), controls::RectWH(900 - 192 - 30, 536, 192, 40));
    EXPECT_EQ(f.lblSpeed.Left(), 20);
    EXPECT_EQ(f.lblSpeed.Top(), 600 - f.lblSpeed.Height() - 60);
    EXPECT_GT(f.lblSpeed.Height(), 10);
    EXPECT_EQ(f.ProDownInfo.BoundsRect(), controls::RectWH(0, 507, 900, 5));
    EXPECT_EQ(f.pbMain.BoundsRect(), controls::RectWH(0, 142, 900, 300));
    // The offer look: Upgrade Now, no download controls.
    EXPECT_TRUE(f.btnUpgrade.Visible());
    EXPECT_FALSE(f.btnMin.Visible());
    EXPECT_FALSE(f.lblSpeed.Visible());
    EXPECT_FALSE(f.ProDownInfo.Visible());
    EXPECT_FALSE(f.imgShine.Visible());
    EXPECT_EQ(f.imgShine.FrameCount(), 25);
    EXPECT_EQ(f.animMain.Layers().Count(), 43);
    EXPECT_EQ(f.animMain.DrawBox(), &f.pbMain);
}

TEST_F(FormMainLayout, TextsComeFromTheTableWithTheirProcessing) {
    TFormMain& f = Make();
    EXPECT_EQ(f.lblTitle.Caption(), "Vantrel 6.4 is available");
    // "&" is doubled for the label, which then shows one.
    EXPECT_NE(f.lblDes.Caption().find("new && powerful"), std::string::npos);
    EXPECT_NE(f.lblDes.DisplayText().find("new & powerful"), std::string::npos);
    EXPECT_EQ(f.btnUpgrade.Caption(), "Upgrade Now");
    EXPECT_EQ(f.btnMin.Caption(), "Minimize");
    EXPECT_EQ(L(3).Text(), "Update 3,000,000+ Drivers");
    EXPECT_EQ(L(4).Text(), "IMPROVED");
    EXPECT_EQ(L(20).Text(), "NEW");
    EXPECT_EQ(L(29).Text(), "IMPROVED / PRO");
    EXPECT_EQ(L(42).Text(), "Check more new features");
    EXPECT_EQ(f.SpeedTemplate, "Updating: %s1 / %s2 Speed: %s3 - %s4");
    EXPECT_EQ(f.InstallTitle,
              "Downloading Vantrel\xC2\xA0"
              "6.4");
    // The table figures and the underline keep their design texts.
    EXPECT_EQ(L(9).Text(), "Vantrel 5");
    EXPECT_EQ(L(13).Text(), "3,000,000+");
    EXPECT_EQ(L(41).Text(), std::string(120, '_'));
    for (int i = 0; i < 43; ++i) EXPECT_EQ(L(i).Opacity(), 0) << "layer " << i;
    for (int i : layers::kTitles) EXPECT_EQ(L(i).TextWidth(), -1) << "title " << i;
}

TEST_F(FormMainLayout, FeatureRowsOfPagesOneAndTwo) {
    Make();
    struct TRow {
        int Bullet, Title, Des, TitleTop, BulletTop;
    };
    const TRow rows[] = {{17, 18, 21, 0, 15},
                         {22, 23, 26, 106, 121},
                         {27, 28, 30, 208, 223},
                         {33, 34, 36, 20, 35},
                         {37, 38, 40, 126, 141}};
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.Title);
        EXPECT_EQ(L(r.Bullet).ImageLeft(), 414);
        EXPECT_EQ(L(r.Bullet).ImageTop(), r.BulletTop);
        EXPECT_EQ(L(r.Title).TextLeft(), 424 + L(r.Bullet).ImageWidth());
        EXPECT_EQ(L(r.Title).TextTop(), r.TitleTop);
        EXPECT_EQ(L(r.Des).TextLeft(), L(r.Title).TextLeft());
        // Ten pixels below the title's letters, whatever the line they stand centred in.
        EXPECT_NEAR(GapBelow(r.Title, r.Des), 10, 1);
        EXPECT_TRUE(L(r.Des).WordWrap());
        EXPECT_EQ(L(r.Des).TextWidth(), 410);
    }
    EXPECT_EQ(L(17).ImageWidth(), 12);
}

TEST_F(FormMainLayout, BadgesAndTagsFollowTheirTitles) {
    Make();
    // Badges of page 1: 10 pixels after the title, as wide as their text + 8.
    const int badgeTops[] = {13, 119};
    const int badges[] = {19, 24};
    for (int i = 0; i < 2; ++i) {
        const int b = badges[i];
        SCOPED_TRACE(b);
        EXPECT_EQ(L(b).ImageLeft(), End(b - 1) + 10);
        EXPECT_EQ(L(b).ImageTop(), badgeTops[i]);
        EXPECT_EQ(L(b).ImageWidth(), Width(b + 1) + 8);
        EXPECT_EQ(L(b).ImageHeight(), 16);
        EXPECT_EQ(L(b + 1).TextLeft(), L(b).ImageLeft() + 1);
        EXPECT_EQ(L(b + 1).TextTop(), L(b).ImageTop());
    }
    EXPECT_EQ(L(29).TextLeft(), End(28) + 10);
    EXPECT_EQ(L(29).TextTop(), 363 - 142);
    EXPECT_EQ(L(35).TextLeft(), End(34) + 10);
    EXPECT_EQ(L(35).TextTop(), 175 - 142);
    EXPECT_EQ(L(39).TextLeft(), End(38) + 10);
    EXPECT_EQ(L(39).TextTop(), 281 - 142);
    // The link and its underline.
    EXPECT_EQ(L(42).TextLeft(), L(40).TextLeft());
    EXPECT_EQ(L(42).TextTop(), 382 - 142);
    EXPECT_EQ(L(41).TextLeft(), L(42).TextLeft());
    EXPECT_EQ(L(41).TextTop(), 384 - 142);
    EXPECT_EQ(L(41).TextWidth(), Width(42) + 15);
    EXPECT_EQ(L(41).Font().Color, controls::Rgb(112, 112, 112));
    EXPECT_EQ(L(42).Font().Color, controls::Rgb(112, 112, 112));
}

TEST_F(FormMainLayout, PageZeroTitleTagBulletAndTable) {
    Make();
    const TFont font = L(3).Font();
    EXPECT_LE(Width(3), 380);
    EXPECT_EQ(L(3).TextTop(), 16);
    EXPECT_EQ(L(3).TextLeft(), 424 + 12);
    EXPECT_EQ(L(2).ImageLeft(), 414);
    EXPECT_EQ(L(2).ImageTop(), 16 - font.Height / 2 + 5);
    EXPECT_EQ(L(4).TextLeft(), End(3) + 10);
    EXPECT_EQ(L(4).TextTop(), L(2).ImageTop() - 3);
    EXPECT_EQ(L(5).TextLeft(), 424);
    EXPECT_NEAR(GapBelow(3, 5), 10, 1);
    EXPECT_EQ(L(5).TextWidth(), 400);
    // The table stands 192 pixels above the window's bottom.
    EXPECT_EQ(L(6).ImageLeft(), 414);
    EXPECT_EQ(L(6).ImageTop(), 600 - 120 - 192 - 142);
    const int tl = 414, tt = L(6).ImageTop();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(L(9 + i).TextLeft(), tl + 130);
        EXPECT_EQ(L(9 + i).TextWidth(), 130);
        EXPECT_EQ(L(9 + i).TextAlignH(), controls::taCenter);
        EXPECT_EQ(L(12 + i).TextLeft(), tl + 264);
        EXPECT_EQ(L(12 + i).TextWidth(), 144);
    }
    EXPECT_EQ(L(9).TextTop(), tt + 25);
    EXPECT_EQ(L(10).TextTop(), tt + 58);
    EXPECT_EQ(L(11).TextTop(), tt + 88);
    EXPECT_EQ(L(12).TextTop(), tt + 16);
    EXPECT_EQ(L(13).TextTop(), tt + 58);
    EXPECT_EQ(L(14).TextTop(), tt + 88);
    // Short row headers: their width + 5, centred in the first 130-pixel column.
    for (int h : {7, 8}) {
        const int w = Width(h);
        ASSERT_LE(w, 125);
        EXPECT_EQ(L(h).TextWidth(), w + 5);
        EXPECT_EQ(L(h).TextLeft(), tl + (130 - (w + 5)) / 2);
        EXPECT_EQ(L(h).Ellipsis(), controls::epNone);
    }
    const int th = int(std::ceil(
        platform::MeasureTextOnce("Free Version", L(7).Font(), {0, 0, 10000, 10000}, {}).Height));
    EXPECT_EQ(L(7).TextTop(), tt + 65 - th / 2);
}

TEST_F(FormMainLayout, LongRowHeaderIsCutTo130PixelsWithAnEllipsis) {
    Texts.LoadFromText(
        "[FormMain]\np1TableDes1=A very long row header that is much wider than the column\n"
        "p1TableDes2=Pro\n");
    Make();
    EXPECT_GT(Width(7), 125);
    EXPECT_EQ(L(7).TextWidth(), 130);
    EXPECT_EQ(L(7).TextLeft(), 414);
    EXPECT_EQ(L(7).Ellipsis(), controls::epEndEllipsis);
    EXPECT_EQ(L(8).TextWidth(), Width(8) + 5);
    EXPECT_EQ(L(8).Ellipsis(), controls::epNone);
}

TEST_F(FormMainLayout, ATitleTooWideEvenSmallerIsCutSoItsTagStaysInTheWindow) {
    const std::string longTitle =
        "Update three million drivers and more for every device you own today";
    Texts.LoadFromText("[Common]\nlblImproved=IMPROVED\n[FormMain]\np1Title=" + longTitle + "\n");
    TFormMain& f = Make();
    EXPECT_EQ(L(3).Font().Size(), TFont{.Height = -20}.Size() - 5);  // five points, no more
    EXPECT_TRUE(f.TitleCut());
    EXPECT_EQ(L(3).Ellipsis(), controls::epEndEllipsis);
    // Cut by the window itself: the start of the title and an ellipsis, within its width.
    const std::string ellipsis = "\xE2\x80\xA6";
    ASSERT_GT(L(3).Text().size(), ellipsis.size());
    EXPECT_EQ(L(3).Text().substr(L(3).Text().size() - ellipsis.size()), ellipsis);
    EXPECT_EQ(longTitle.rfind(L(3).Text().substr(0, L(3).Text().size() - ellipsis.size()), 0), 0u);
    EXPECT_GT(L(3).TextWidth(), 0);  // kept, not reset to the box's edge
    EXPECT_LE(Width(3), L(3).TextWidth());
    EXPECT_GT(Width(3), L(3).TextWidth() - 20);  // no more cut than needed
    EXPECT_EQ(L(4).TextLeft(), L(3).TextLeft() + L(3).TextWidth() + 10);
    EXPECT_EQ(L(4).TextLeft() + Width(4), 900 - TFormMain::kTagMargin);
    // An ordinary title is not cut.
    Texts = Table("ENGLISH");
    TFormMain& g = Make();
    EXPECT_FALSE(g.TitleCut());
    EXPECT_EQ(L(3).Ellipsis(), controls::epNone);
    EXPECT_EQ(L(3).TextWidth(), -1);
}

TEST_F(FormMainLayout, ATitleThatFitsOnceSmallerStaysWholeBesideItsTag) {
    // Fits 380 pixels at the design size, but not with its tag after it: it is made smaller,
    // not cut.
    Make();
    const TFont design = L(3).Font();  // the English title fits at its design size
    std::string title = "Update drivers";
    while (TFormMain::MeasureTextWidth(design, title + "s") <= 378) title += "s";
    ASSERT_GT(TFormMain::MeasureTextWidth(design, title), 360);
    Texts.LoadFromText("[Common]\nlblImproved=IMPROVED\n[FormMain]\np1Title=" + title + "\n");
    TFormMain& f = Make();
    EXPECT_FALSE(f.TitleCut());
    EXPECT_EQ(L(3).Text(), title);
    EXPECT_LT(L(3).Font().Size(), design.Size());
    EXPECT_LE(L(4).TextLeft() + Width(4), 900 - TFormMain::kTagMargin);
    EXPECT_EQ(L(4).TextLeft(), End(3) + 10);
}

TEST_F(FormMainLayout, TitlesOfTheLaterPagesAreFittedBesideTheirTagsAndBadges) {
    const std::string wide = "Automatic driver updates for every device";  // wider than its room
    const std::string wider = wide + " you own, at home and at work, every day";
    Texts.LoadFromText("[Common]\nlblNew=NEW\nlblImproved=IMPROVED\n[FormMain]\np2Title1=" + wide +
                       "\np2Title2=Boost\np2Title3=" + wider + "\np2Tag3=IMPROVED\n" +
                       "p2Des1=x\np2Des3=y\np3Title2=" + wide + "\n");
    Make();
    const int design = TFont{.Height = -20}.Size();
    const int right = 900 - TFormMain::kTagMargin;
    // Made smaller, kept whole, badge and tag after them inside the margin.
    for (int title : {18, 38}) {
        SCOPED_TRACE(title);
        EXPECT_LT(L(title).Font().Size(), design);
        EXPECT_GE(L(title).Font().Size(), design - 5);
        EXPECT_EQ(L(title).Text().substr(0, wide.size()), wide);
        EXPECT_EQ(L(title).Ellipsis(), controls::epNone);
    }
    EXPECT_LE(L(19).ImageLeft() + L(19).ImageWidth(), right);
    EXPECT_LE(L(39).TextLeft() + Width(39), right);
    // A short title keeps its design size.
    EXPECT_EQ(L(23).Font().Size(), design);
    // Too wide even five points smaller: cut with an ellipsis, its tag still inside.
    EXPECT_EQ(L(28).Font().Size(), design - 5);
    EXPECT_EQ(L(28).Ellipsis(), controls::epEndEllipsis);
    EXPECT_LE(Width(28), L(28).TextWidth());
    EXPECT_EQ(L(29).TextLeft(), L(28).TextLeft() + L(28).TextWidth() + 10);
    EXPECT_LE(L(29).TextLeft() + Width(29), right);
    // The descriptions follow the smaller titles.
    EXPECT_NEAR(GapBelow(18, 21), 10, 1);
    EXPECT_NEAR(GapBelow(28, 30), 10, 1);
}

TEST_F(FormMainLayout, ADescriptionTooLongForItsLineTakesASecond) {
    TFormMain& f = Make();
    EXPECT_FALSE(f.lblDes.WordWrap);  // the English one fits
    const int oneLine = f.lblDes.Height();
    Texts.LoadFromText("[FormMain]\nmainDes=" + std::string(30, 'x') +
                       " a description that is far too long for one line of the window, with "
                       "many more words than the English one has, and more still %s\n");
    TFormMain& g = Make();
    EXPECT_TRUE(g.lblDes.WordWrap);
    EXPECT_GT(g.lblDes.Height(), oneLine);
    EXPECT_LE(g.lblDes.Height(), 2 * oneLine);
    EXPECT_EQ(g.lblDes.Left() + g.lblDes.Width(), 900 - 20);
    EXPECT_LT(g.lblDes.Top() + g.lblDes.Height(), TFormMain::kBoxTop);
}

TEST_F(FormMainLayout, FrenchTablesPutTheFirstTagTwentyPixelsAway) {
    TableName = "French";
    Make();
    EXPECT_EQ(L(4).TextLeft(), End(3) + 20);
    EXPECT_EQ(L(35).TextLeft(), End(34) + 10);  // only the first page's tag
    TableName = "GERMAN";
    Make();
    EXPECT_EQ(L(4).TextLeft(), End(3) + 10);
}

TEST_F(FormMainLayout, EnglishAndRussianTitlesGetABlankThatMovesTheirTag) {
    const int blank =
        TFormMain::MeasureTextWidth(TFont{}, "x x") - TFormMain::MeasureTextWidth(TFont{}, "xx");
    ASSERT_GT(blank, 0);
    Language = "German";
    Make();
    const int tag35 = L(35).TextLeft(), tag39 = L(39).TextLeft();
    Language = "ENGLISH";  // compared without regard to case
    Make();
    EXPECT_EQ(L(34).Text().back(), ' ');
    EXPECT_GT(L(35).TextLeft(), tag35);
    EXPECT_EQ(L(39).TextLeft(), tag39);
    Language = "Russian";
    Make();
    EXPECT_EQ(L(38).Text().back(), ' ');
    EXPECT_EQ(L(35).TextLeft(), tag35);
    EXPECT_GT(L(39).TextLeft(), tag39);
}

TEST(FormMainFonts, MeasureTextWidthCountsTrailingBlanks) {
    TFont f;
    f.Height = -20;
    EXPECT_EQ(TFormMain::MeasureTextWidth(f, ""), 0);
    const int tools = TFormMain::MeasureTextWidth(f, "Tools");
    EXPECT_GT(tools, 20);
    EXPECT_GT(TFormMain::MeasureTextWidth(f, "Tools "), tools);
    EXPECT_GT(TFormMain::MeasureTextWidth(f, "Tools  "), TFormMain::MeasureTextWidth(f, "Tools "));
    f.Height = -10;
    EXPECT_LT(TFormMain::MeasureTextWidth(f, "Tools"), tools);
}

TEST(FormMainFonts, FitFontToWidthStopsAfterFivePoints) {
    const std::string text = "A title that is far too wide for any button at all";
    TFont f;
    f.SetSize(15);
    TFormMain::FitFontToWidth(f, text, 4, 50);
    EXPECT_EQ(f.Size(), 10);  // five points smaller and still too wide: it stays
    EXPECT_GT(TFormMain::MeasureTextWidth(f, text), 50);
    // A text that fits is left alone.
    TFont g;
    g.SetSize(15);
    TFormMain::FitFontToWidth(g, "Go", 4, 192);
    EXPECT_EQ(g.Size(), 15);
    // A width reached after two points stops there.
    TFont h;
    h.SetSize(13);
    const int target = TFormMain::MeasureTextWidth(h, text);
    h.SetSize(15);
    TFormMain::FitFontToWidth(h, text, 4, target);
    EXPECT_EQ(h.Size(), 13);
    // Never below nothing.
    TFont tiny;
    tiny.SetSize(2);
    TFormMain::FitFontToWidth(tiny, text, 4, 1);
    EXPECT_EQ(tiny.Size(), 0);
}

TEST_F(FormMainLayout, ButtonCaptionsFitTheirButtons) {
    Texts.LoadFromText(
        "[FormMain]\nbtnUpgrade=An upgrade caption far wider than its button can show\n"
        "btnMin=Min\n");
    TFormMain& f = Make();
    EXPECT_EQ(f.btnUpgrade.Font.Size(), TFont{.Height = -18}.Size() - 5);
    EXPECT_EQ(f.btnMin.Font.Height, -18);
}

}  // namespace
