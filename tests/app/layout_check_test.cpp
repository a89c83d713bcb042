// Every scene of the three windows in every built-in language, checked from the layout itself:
// each text is measured with the canvas the way it is drawn, and must be shown whole, stay 8
// pixels inside its window, overlap no other text (nor the comparison table), keep inside its
// button, badge or table column, and sit nearer its own title than the next one. One case per
// scene, so that a failure names the scene, the language and the texts.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "controls/imagebutton.h"
#include "controls/label.h"
#include "platform/canvas.h"
#include "tools/formshot/scenes.h"

using controls::TRdAniLayer;
using platform::TRectF;

namespace {

constexpr float kWindowMargin = 8;   // a text keeps this far from every window edge
constexpr float kCaptionMargin = 4;  // a caption keeps this far from its button's sides
constexpr float kSlack = 0.5f;       // measured widths are fractional

struct TText {
    std::string What;
    TRectF Ink;  // where the letters go, in window coordinates, as measured (never clipped)
};

struct TLayoutProbe {
    std::string Scene, Language;
    std::vector<TText> Texts;
    std::vector<TText> Obstacles;  // pictures no text may cover
    std::vector<std::string> Problems;

    void Problem(const std::string& what) {
        Problems.push_back(Language + " " + Scene + ": " + what);
    }
};

std::string Describe(const TRectF& r) {
    std::ostringstream s;
    s << "(" << r.X << "," << r.Y << " " << r.Width << "x" << r.Height << ")";
    return s.str();
}

bool Inside(const TRectF& inner, const TRectF& outer, float margin = 0) {
    return inner.X >= outer.X + margin - kSlack && inner.Y >= outer.Y + margin - kSlack &&
           inner.X + inner.Width <= outer.X + outer.Width - margin + kSlack &&
           inner.Y + inner.Height <= outer.Y + outer.Height - margin + kSlack;
}

bool Overlap(const TRectF& a, const TRectF& b) {
    return a.X + kSlack < b.X + b.Width && b.X + kSlack < a.X + a.Width &&
           a.Y + kSlack < b.Y + b.Height && b.Y + kSlack < a.Y + a.Height;
}

// The size `text` takes in `font`: on one line, or wrapped at `wrapWidth`.
TRectF Natural(const std::string& text, const controls::TFont& font, float wrapWidth = 0) {
    platform::TTextFormat f;
    f.NoWrap = wrapWidth <= 0;
    return platform::MeasureTextOnce(text, font, {0, 0, wrapWidth > 0 ? wrapWidth : 100000, 100000},
                                     f);
}

float Place(platform::TTextAlign align, float start, float room, float size) {
    return align == platform::TTextAlign::Near     ? start
           : align == platform::TTextAlign::Center ? start + (room - size) / 2
                                                   : start + room - size;
}

// A one-line text drawn in `box` must fit it: a cut one would be clipped, or trimmed
// differently by each backend.
void CheckWhole(TLayoutProbe& p, const std::string& what, const TRectF& natural, float room) {
    if (natural.Width > room + kSlack)
        p.Problem(what + " needs " + std::to_string(natural.Width) + " px, has " +
                  std::to_string(room));
}

// The text of an animator layer, where the animator draws it (box at window y 142).
TText LayerText(TLayoutProbe& p, const TRdAniLayer& l, int index) {
    const std::string what = "layer " + std::to_string(index) + " \"" + l.Text() + "\"";
    const float boxW = 900, boxH = 300, boxTop = float(app::TFormMain::kBoxTop);
    const float left = float(l.TextLeft()), top = float(l.TextTop());
    const float width = l.TextWidth() < 0 ? boxW - left : float(l.TextWidth());
    const float height = l.TextHeight() < 0 ? boxH - top : float(l.TextHeight());
    const TRectF n = Natural(l.Text(), l.Font(), l.WordWrap() ? width : 0);
    if (!l.WordWrap()) CheckWhole(p, what, n, width);
    using A = platform::TTextAlign;
    const A h = l.TextAlignH() == controls::taLeftJustify    ? A::Near
                : l.TextAlignH() == controls::taRightJustify ? A::Far
                                                             : A::Center;
    const A v = l.TextAlignV() == controls::taAlignTop      ? A::Near
                : l.TextAlignV() == controls::taAlignBottom ? A::Far
                                                            : A::Center;
    const float w = l.WordWrap() ? std::min(n.Width, width) : n.Width;
    float y = Place(v, top, height, n.Height);
    if (l.WordWrap() && n.Height > height) y = top;  // as the animator lets a long text run on
    return {what, {Place(h, left, width, w), y + boxTop, w, n.Height}};
}

void ProbeControls(TLayoutProbe& p, const controls::TControl& parent, int ox, int oy) {
    for (const controls::TControl* c : parent.Controls()) {
        if (!c->Visible()) continue;
        const TRectF bounds{float(ox + c->Left()), float(oy + c->Top()), float(c->Width()),
                            float(c->Height())};
        if (const auto* label = dynamic_cast<const controls::TLabel*>(c)) {
            const std::string text = label->DisplayText();
            if (text.empty()) continue;
            const std::string what = "label \"" + text + "\"";
            const TRectF n = Natural(text, label->Font, label->WordWrap ? bounds.Width : 0);
            if (!label->WordWrap) CheckWhole(p, what, n, bounds.Width);
            const auto align =
                label->Alignment == controls::TAlignment::Center  ? platform::TTextAlign::Center
                : label->Alignment == controls::TAlignment::Right ? platform::TTextAlign::Far
                                                                  : platform::TTextAlign::Near;
            const float w = label->WordWrap ? std::min(n.Width, bounds.Width) : n.Width;
            const TRectF ink{Place(align, bounds.X, bounds.Width, w), bounds.Y, w, n.Height};
            if (n.Height > bounds.Height + kSlack)
                p.Problem(what + " is " + std::to_string(n.Height) + " px high in a " +
                          std::to_string(bounds.Height) + "-px label");
            p.Texts.push_back({what, ink});
        } else if (const auto* button = dynamic_cast<const controls::TImageButton*>(c)) {
            const std::string caption = controls::StripAccelerators(button->Caption());
            if (caption.empty() || bounds.IsEmpty()) continue;
            const std::string what = "caption \"" + caption + "\"";
            const TRectF n = Natural(caption, button->Font);
            const TRectF ink{bounds.X + (bounds.Width - n.Width) / 2,
                             bounds.Y + (bounds.Height - n.Height) / 2, n.Width, n.Height};
            if (n.Width > bounds.Width - 2 * kCaptionMargin + kSlack ||
                n.Height > bounds.Height + kSlack)
                p.Problem(what + " " + Describe(ink) + " does not keep " +
                          std::to_string(int(kCaptionMargin)) + " px inside its button " +
                          Describe(bounds));
            p.Texts.push_back({what, ink});
        }
        ProbeControls(p, *c, ox + c->Left(), oy + c->Top());
    }
}

// The offer window's layers: texts of the page on show, the table as an obstacle, the table's
// columns, the badges, and each description between its title and the next.
void ProbeLayers(TLayoutProbe& p, app::TFormMain& f) {
    std::map<int, TText> byLayer;
    for (int i = 0; i < f.animMain.Layers().Count(); ++i) {
        const TRdAniLayer& l = f.Layer(i);
        // The link's underline is a row of low lines cut to the link on purpose.
        if (l.Opacity() == 0 || l.Text().empty() || i == app::layers::kP3Line) continue;
        byLayer[i] = LayerText(p, l, i);
        p.Texts.push_back(byLayer[i]);
    }
    const float boxTop = float(app::TFormMain::kBoxTop);
    auto image = [&](int i) {
        const TRdAniLayer& l = f.Layer(i);
        return TRectF{float(l.ImageLeft()), float(l.ImageTop()) + boxTop, float(l.ImageWidth()),
                      float(l.ImageHeight())};
    };
    if (byLayer.count(app::layers::kP1TableDes1)) {
        const TRectF table = image(app::layers::kP1Table);
        p.Obstacles.push_back({"the comparison table", table});
        struct TColumn {
            int First, Last;
            float Left, Width;
        } columns[] = {{7, 8, 0, 130}, {9, 11, 130, 130}, {12, 14, 264, 144}};
        for (const TColumn& c : columns)
            for (int i = c.First; i <= c.Last; ++i) {
                const TRectF column{table.X + c.Left, table.Y, c.Width, table.Height};
                if (!Inside(byLayer[i].Ink, column))
                    p.Problem(byLayer[i].What + " " + Describe(byLayer[i].Ink) +
                              " leaves its table column " + Describe(column));
            }
    }
    for (int badge : {19, 24})
        if (byLayer.count(badge + 1) && !Inside(byLayer[badge + 1].Ink, image(badge)))
            p.Problem(byLayer[badge + 1].What + " " + Describe(byLayer[badge + 1].Ink) +
                      " leaves its badge " + Describe(image(badge)));
    // Title, its description, the next title (-1: none).
    const int rows[][3] = {{18, 21, 23}, {23, 26, 28}, {28, 30, -1},
                           {34, 36, 38}, {38, 40, -1}, {3, 5, -1}};
    for (const auto& r : rows) {
        if (!byLayer.count(r[0]) || !byLayer.count(r[1])) continue;
        const TRectF title = byLayer[r[0]].Ink, des = byLayer[r[1]].Ink;
        const float own = des.Y - (title.Y + title.Height);
        if (own < 0) p.Problem(byLayer[r[1]].What + " starts above the end of its title");
        if (r[2] < 0) continue;
        const TRectF next = byLayer[r[2]].Ink;
        const float toNext = next.Y - (des.Y + des.Height);
        if (toNext <= own)
            p.Problem(byLayer[r[1]].What + " is " + std::to_string(own) +
                      " px below its title but " + std::to_string(toNext) +
                      " px above the next one");
    }
}

TLayoutProbe Probe(const std::string& scene, const std::string& language) {
    TLayoutProbe p{scene, language, {}, {}, {}};
    std::string error;
    auto s = formshot::MakeScene(scene, language, error);
    if (!s) {
        p.Problem(error);
        return p;
    }
    controls::TForm& form = s->Form();
    ProbeControls(p, form, 0, 0);
    if (app::TFormMain* f = s->Main()) ProbeLayers(p, *f);
    const TRectF window{0, 0, float(form.Width()), float(form.Height())};
    for (const TText& t : p.Texts)
        if (!Inside(t.Ink, window, kWindowMargin))
            p.Problem(t.What + " " + Describe(t.Ink) + " is not " +
                      std::to_string(int(kWindowMargin)) + " px inside the window");
    for (size_t i = 0; i < p.Texts.size(); ++i) {
        for (size_t j = i + 1; j < p.Texts.size(); ++j)
            if (Overlap(p.Texts[i].Ink, p.Texts[j].Ink))
                p.Problem(p.Texts[i].What + " " + Describe(p.Texts[i].Ink) + " overlaps " +
                          p.Texts[j].What + " " + Describe(p.Texts[j].Ink));
        const bool tableText = p.Texts[i].What.rfind("layer ", 0) == 0 && [&] {
            const int n = std::atoi(p.Texts[i].What.c_str() + 6);
            return n >= 7 && n <= 14;
        }();
        for (const TText& o : p.Obstacles)
            if (!tableText && Overlap(p.Texts[i].Ink, o.Ink))
                p.Problem(p.Texts[i].What + " " + Describe(p.Texts[i].Ink) + " runs under " +
                          o.What + " " + Describe(o.Ink));
    }
    if (p.Texts.empty()) p.Problem("no text at all");
    return p;
}

class LayoutCheck : public testing::TestWithParam<std::string> {};

TEST_P(LayoutCheck, EveryTextFitsInEveryLanguage) {
    size_t texts = 0;
    for (const std::string& language : formshot::Languages()) {
        const TLayoutProbe p = Probe(GetParam(), language);
        texts += p.Texts.size();
        for (const std::string& problem : p.Problems) ADD_FAILURE() << problem;
    }
    // The probe saw the scene's texts in every language, not an empty window.
    EXPECT_GE(texts, formshot::Languages().size());
}

INSTANTIATE_TEST_SUITE_P(Scenes, LayoutCheck, testing::ValuesIn(formshot::Scenes()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name;
                             for (char c : info.param)
                                 if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                             return name;
                         });

// The probe itself: a text pushed off the window, two texts on one another and a caption
// wider than its button are all reported.
TEST(LayoutProbe, ReportsWhatItIsMadeToFind) {
    std::string error;
    auto s = formshot::MakeScene("page1", "english", error);
    ASSERT_TRUE(s) << error;
    app::TFormMain& f = *s->Main();
    TLayoutProbe p{"page1", "probe", {}, {}, {}};
    f.Layer(23).SetTextLeft(880);                   // the second title off the right edge
    f.Layer(21).SetTextTop(f.Layer(18).TextTop());  // the first description over its title
    f.btnUpgrade.SetCaption("A caption far wider than any button of this window could be");
    ProbeControls(p, f, 0, 0);
    ProbeLayers(p, f);
    const TRectF window{0, 0, 900, 600};
    bool outside = false, overlap = false, caption = false;
    for (const TText& t : p.Texts) outside = outside || !Inside(t.Ink, window, kWindowMargin);
    for (size_t i = 0; i < p.Texts.size(); ++i)
        for (size_t j = i + 1; j < p.Texts.size(); ++j)
            overlap = overlap || Overlap(p.Texts[i].Ink, p.Texts[j].Ink);
    for (const std::string& problem : p.Problems)
        caption = caption || problem.find("inside its button") != std::string::npos;
    EXPECT_TRUE(outside);
    EXPECT_TRUE(overlap);
    EXPECT_TRUE(caption);
}

}  // namespace
