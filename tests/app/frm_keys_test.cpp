// The three windows for the keyboard and for assistive technology: the focus order of each
// state, Enter as the default button, Esc as the close button, the arrows on the page dots and
// on the What's New list, and the names, roles and states the controls give.
#include <gtest/gtest.h>

#include <optional>

#include "app/frm_confirm.h"
#include "app/frm_main.h"
#include "locale/frm_whatsnew.h"
#include "locale/history.h"
#include "platform/eventloop.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "tests/app/english_offer.h"

using namespace app;
using controls::TAccessibleNode;
using controls::TAccessibleRole;
using controls::TControl;
using controls::TKey;
using controls::TShiftState;
using platform::kShift;

namespace {

// The controls Tab reaches from where the focus is, once round.
std::vector<const TControl*> TabRound(controls::TForm& f, TShiftState shift = 0) {
    std::vector<const TControl*> seen;
    const TControl* start = nullptr;
    for (int i = 0; i < 20; ++i) {
        f.HandleKeyDown(TKey::Tab, shift);
        if (f.Focused() == start) break;
        if (!start) start = f.Focused();
        seen.push_back(f.Focused());
    }
    return seen;
}

const TAccessibleNode* Named(const std::vector<TAccessibleNode>& tree, const std::string& name,
                             std::optional<TAccessibleRole> role = std::nullopt) {
    for (const auto& n : tree)
        if (n.Name == name && (!role || n.Role == *role)) return &n;
    return nullptr;
}

class MainKeys : public testing::Test {
protected:
    locale::TLeapgateLang Texts = testsupport::EnglishTexts();
    uint32_t Now = 500000;
    int Confirms = 0, WhatsNews = 0, Starts = 0;
    std::unique_ptr<TFormMain> Form;

    void SetUp() override {
        Form = std::make_unique<TFormMain>();
        TFormMain& f = *Form;
        testsupport::WireEnglishOffer(f, Texts);
        f.TickCount = [this] { return Now; };
        f.ShowConfirm = [this](int) {
            ++Confirms;
            return kConfirmContinue;
        };
        f.ShowWhatsNew = [this] { ++WhatsNews; };
        f.StartDownload = [this] {
            ++Starts;
            Form->ShowDownloadControls(true);
            Form->ShowOfferControls(false);
        };
        f.FormShow();
        f.animMain.SetAnimate(false);
        f.tmrShine.SetEnabled(false);
    }
    void TearDown() override { Form.reset(); }
    void Frame() {
        Now += 33;
        Form->animMain.FrameStep();
    }
    bool FramesUntil(int page, int phase) {
        for (int i = 0; i < 3000; ++i) {
            Frame();
            if (Form->Pages().CurrentPage == page && Form->Pages().AnimPhase == phase) return true;
        }
        return false;
    }
    void Paint() {
        platform::TImage image(900, 600);
        auto canvas = platform::CreateImageCanvas(image);
        Form->PaintTo(*canvas);
    }
};

}  // namespace

TEST_F(MainKeys, FocusOrderFollowsTheStateAndThePage) {
    TFormMain& f = *Form;
    // Page 0: the dot of the page on show is disabled, the link is not on show.
    EXPECT_EQ(TabRound(f), (std::vector<const TControl*>{&f.btnUpgrade, &f.btnCheck2, &f.btnCheck3,
                                                         &f.btnClose}));
    EXPECT_EQ(TabRound(f, kShift), (std::vector<const TControl*>{&f.btnClose, &f.btnCheck3,
                                                                 &f.btnCheck2, &f.btnUpgrade}));
    // Page 2 shows the link, where it is drawn.
    ASSERT_TRUE(FramesUntil(0, 3));
    Now += 9000;
    ASSERT_TRUE(FramesUntil(1, 3));
    Now += 9000;
    ASSERT_TRUE(FramesUntil(2, 3));
    Paint();
    Frame();
    EXPECT_EQ(TabRound(f), (std::vector<const TControl*>{&f.btnUpgrade, &f.btnCheck1, &f.btnCheck2,
                                                         &f.lnkWhatsNew, &f.btnClose}));
    controls::TRect link = f.Layer(layers::kP3Btn).HitRect();
    link = link.Offset(0, TFormMain::kBoxTop);
    int x, y;
    f.lnkWhatsNew.OriginInForm(x, y);
    EXPECT_EQ(controls::RectWH(x, y, f.lnkWhatsNew.Width(), f.lnkWhatsNew.Height()), link);
    // Enter on the link opens What's New; the link goes when its page goes, with the focus.
    f.SetFocus(&f.lnkWhatsNew);
    f.HandleKeyDown(TKey::Enter, 0);
    EXPECT_EQ(WhatsNews, 1);
    EXPECT_TRUE(f.HistoryOpened);
    f.animMain.SetAnimate(false);
    Now += 9000;
    ASSERT_TRUE(FramesUntil(0, 1));
    EXPECT_FALSE(f.lnkWhatsNew.Visible());
    EXPECT_EQ(f.Focused(), &f.btnClose);
    // Downloading: Minimize takes the place of Upgrade Now in the order.
    f.SetFocus(&f.btnUpgrade);
    f.HandleKeyDown(TKey::Space, 0);
    EXPECT_EQ(Starts, 1);
    EXPECT_EQ(f.Focused(), &f.btnMin);
    EXPECT_EQ(TabRound(f).front(), &f.btnCheck2);
}

TEST_F(MainKeys, EnterIsUpgradeNowAndEscIsTheCloseButton) {
    TFormMain& f = *Form;
    f.HandleKeyDown(TKey::Escape, 0);
    EXPECT_EQ(Confirms, 1);
    EXPECT_EQ(Starts, 0);
    f.HandleKeyDown(TKey::Enter, 0);
    EXPECT_EQ(Starts, 1);
    EXPECT_TRUE(f.UpgradeClicked);
    // On a page dot, Enter chooses that page rather than the default button.
    f.SetFocus(&f.btnCheck3);
    f.HandleKeyDown(TKey::Enter, 0);
    EXPECT_EQ(f.Pages().AnimPhase, 4);
    EXPECT_EQ(f.Pages().CurrentPage, 1);  // the page before the chosen one
    EXPECT_EQ(Confirms, 1);
    // Esc while downloading still asks.
    f.HandleKeyDown(TKey::Escape, 0);
    EXPECT_EQ(Confirms, 2);
}

TEST_F(MainKeys, LeftAndRightChooseTheNeighbouringPageRoundTheEnds) {
    TFormMain& f = *Form;
    f.animMain.SetAnimate(false);
    // From the page on show (0): Right is page 1, Left (round the start) page 2.
    f.HandleKeyDown(TKey::Right, 0);
    EXPECT_EQ(f.Focused(), &f.btnCheck2);
    EXPECT_EQ(f.Pages().CurrentPage, 0);  // the page before page 1
    EXPECT_EQ(f.Pages().AnimPhase, 4);
    f.animMain.SetAnimate(false);
    ASSERT_TRUE(FramesUntil(1, 1));
    EXPECT_FALSE(f.btnCheck2.Enabled());
    EXPECT_EQ(f.Focused(), &f.btnCheck2);  // the dot keeps the focus while its page shows
    f.HandleKeyDown(TKey::Right, 0);
    EXPECT_EQ(f.Focused(), &f.btnCheck3);
    f.animMain.SetAnimate(false);
    ASSERT_TRUE(FramesUntil(2, 1));
    f.HandleKeyDown(TKey::Right, 0);  // round the end
    EXPECT_EQ(f.Focused(), &f.btnCheck1);
    EXPECT_EQ(f.Pages().CurrentPage, -1);
    f.animMain.SetAnimate(false);
    ASSERT_TRUE(FramesUntil(0, 1));
    f.HandleKeyDown(TKey::Left, 0);  // round the start
    EXPECT_EQ(f.Focused(), &f.btnCheck3);
    EXPECT_EQ(f.Pages().CurrentPage, 1);
    f.animMain.SetAnimate(false);
    EXPECT_EQ(Starts, 0);
}

TEST_F(MainKeys, NamesRolesAndStatesOfTheOfferWindow) {
    TFormMain& f = *Form;
    auto tree = f.AccessibleTree();
    const TAccessibleNode* upgrade = Named(tree, "Upgrade Now");
    ASSERT_NE(upgrade, nullptr);
    EXPECT_EQ(upgrade->Role, TAccessibleRole::Button);
    EXPECT_EQ(upgrade->Bounds, f.btnUpgrade.BoundsRect());
    EXPECT_TRUE(upgrade->State & platform::kAccFocusable);
    EXPECT_FALSE(upgrade->State & (platform::kAccInvisible | platform::kAccFocused));
    const TAccessibleNode* close = Named(tree, Texts.GetText("Common", "closeHint"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->Role, TAccessibleRole::Button);
    const TAccessibleNode* title = Named(tree, f.lblTitle.Caption());
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->Role, TAccessibleRole::StaticText);
    // The dots are named after their pages' first titles; the one on show is disabled.
    const TAccessibleNode* dot1 = Named(tree, f.Layer(3).Text(), TAccessibleRole::Button);
    ASSERT_NE(dot1, nullptr);
    EXPECT_TRUE(dot1->State & platform::kAccDisabled);
    EXPECT_NE(Named(tree, f.Layer(18).Text(), TAccessibleRole::Button), nullptr);
    // The link is there but invisible while its page is not on show.
    const TAccessibleNode* link = Named(tree, f.Layer(layers::kP3Btn).Text());
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Role, TAccessibleRole::Link);
    EXPECT_TRUE(link->State & platform::kAccInvisible);
    // No picture is told of; every node has a name.
    for (const auto& n : tree) EXPECT_FALSE(n.Name.empty()) << int(n.Role);
    // The progress bar and its value, and the focus, while downloading.
    f.HandleKeyDown(TKey::Enter, 0);
    f.ProDownInfo.SetPosition(42);
    tree = f.AccessibleTree();
    const TAccessibleNode* bar = Named(tree, f.InstallTitle, TAccessibleRole::ProgressBar);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Role, TAccessibleRole::ProgressBar);
    EXPECT_EQ(bar->Value, "42%");
    EXPECT_FALSE(bar->State & platform::kAccInvisible);
    EXPECT_TRUE(Named(tree, "Upgrade Now")->State & platform::kAccInvisible);
    const TAccessibleNode* min = Named(tree, f.btnMin.Caption());
    ASSERT_NE(min, nullptr);
    EXPECT_TRUE(min->State & platform::kAccFocused);
}

// The dot of the page a sighted user sees is the selected one: while a chosen page waits for
// the one on show to fade out, the one on show stays selected.
TEST_F(MainKeys, DotOfThePageOnShowIsSelected) {
    TFormMain& f = *Form;
    auto states = [&] {
        const auto tree = f.AccessibleTree();
        std::vector<unsigned> out;
        for (int dot = 1; dot <= 3; ++dot) {
            const TAccessibleNode* n = Named(tree, f.Dot(dot).AccName, TAccessibleRole::Button);
            EXPECT_NE(n, nullptr) << dot;
            out.push_back(n ? n->State & (platform::kAccSelected | platform::kAccSelectable) : 0);
        }
        return out;
    };
    const unsigned sel = platform::kAccSelected | platform::kAccSelectable;
    const unsigned can = platform::kAccSelectable;
    EXPECT_EQ(states(), (std::vector<unsigned>{sel, can, can}));
    ASSERT_TRUE(FramesUntil(0, 3));
    f.SetFocus(&f.btnCheck3);
    f.HandleKeyDown(TKey::Enter, 0);
    f.animMain.SetAnimate(false);
    ASSERT_EQ(f.Pages().CurrentPage, 1);  // the page before the chosen one
    EXPECT_EQ(states(), (std::vector<unsigned>{sel, can, can}));
    Frame();
    EXPECT_EQ(states(), (std::vector<unsigned>{sel, can, can}));  // still fading out
    ASSERT_TRUE(FramesUntil(2, 1));
    EXPECT_EQ(states(), (std::vector<unsigned>{can, can, sel}));
    // Nothing else in the window is a choice.
    for (const auto& n : f.AccessibleTree()) {
        if (n.Role == TAccessibleRole::Button && n.Bounds.Top == f.btnCheck1.Top()) continue;
        EXPECT_FALSE(n.State & (platform::kAccSelected | platform::kAccSelectable)) << n.Name;
    }
}

// The texts the animator draws on the pages are static texts in layer order, with the content
// they have now, where they are drawn; only the page on show is visible. The underline under
// the link is no text, and the link itself is told of once, as a link.
TEST_F(MainKeys, PageTextsAreStaticTextsWithTheirCurrentContent) {
    TFormMain& f = *Form;
    const int page0[] = {3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14};
    const int page1[] = {18, 20, 21, 23, 25, 26, 28, 29, 30};
    const int page2[] = {34, 35, 36, 38, 39, 40};
    auto layerTexts = [&] {
        std::vector<std::pair<std::string, bool>> out;  // name, visible
        for (const auto& n : f.AccessibleTree())
            if (n.Role == TAccessibleRole::StaticText && n.Bounds.Top >= TFormMain::kBoxTop &&
                n.Bounds.Top < TFormMain::kBoxTop + f.pbMain.Height())
                out.emplace_back(n.Name, !(n.State & platform::kAccInvisible));
        return out;
    };
    auto expected = [&](int visiblePage) {
        std::vector<std::pair<std::string, bool>> out;
        int page = 0;
        auto add = [&](const auto& indexes) {
            for (int i : indexes)
                out.emplace_back(platform::Trim(f.Layer(i).Text()), page == visiblePage);
            ++page;
        };
        add(page0);
        add(page1);
        add(page2);
        return out;
    };
    ASSERT_TRUE(FramesUntil(0, 3));
    Paint();
    EXPECT_EQ(layerTexts(), expected(0));
    const auto tree = f.AccessibleTree();
    const TAccessibleNode* title = Named(tree, f.Layer(3).Text(), TAccessibleRole::StaticText);
    ASSERT_NE(title, nullptr);
    ASSERT_FALSE(f.Layer(3).TextBounds().IsEmpty());
    EXPECT_EQ(title->Bounds, f.Layer(3).TextBounds().Offset(0, TFormMain::kBoxTop));
    int links = 0;
    for (const auto& n : tree) links += n.Name == f.Layer(layers::kP3Btn).Text();
    EXPECT_EQ(links, 1);
    // What the page shows now, not what it showed when the tree was first asked for.
    f.Layer(layers::kP1Des).SetText("A changed description");
    EXPECT_EQ(layerTexts(), expected(0));
    EXPECT_NE(Named(f.AccessibleTree(), "A changed description", TAccessibleRole::StaticText),
              nullptr);
    Now += 9000;
    ASSERT_TRUE(FramesUntil(1, 3));
    EXPECT_EQ(layerTexts(), expected(1));
    // A page fading in is heard as soon as any of it can be seen.
    Now += 9000;
    ASSERT_TRUE(FramesUntil(2, 2));
    Frame();
    ASSERT_GT(f.Layer(40).Opacity(), 0);
    ASSERT_LT(f.Layer(40).Opacity(), 255);
    EXPECT_EQ(layerTexts(), expected(2));
}

TEST(ConfirmKeys, EnterContinuesEscClosesTheLinkCancels) {
    const locale::TLeapgateLang texts = testsupport::EnglishTexts();
    {
        TfrmConfirm d(nullptr, texts);
        EXPECT_EQ(TabRound(d),
                  (std::vector<const TControl*>{&d.RdImgBtnCtn, &d.lblCancel, &d.RdImgBtnClose}));
        d.SetFocus(nullptr);
        d.HandleKeyDown(TKey::Enter, 0);
        EXPECT_EQ(d.ModalResult, kConfirmContinue);
        d.HandleKeyDown(TKey::Escape, 0);
        EXPECT_EQ(d.ModalResult, kConfirmClosed);
        d.SetFocus(&d.lblCancel);
        d.HandleKeyDown(TKey::Space, 0);
        EXPECT_EQ(d.ModalResult, kConfirmCancelled);
        d.SetFocus(&d.RdImgBtnClose);
        d.HandleKeyDown(TKey::Enter, 0);
        EXPECT_EQ(d.ModalResult, kConfirmClosed);
        const auto tree = d.AccessibleTree();
        const TAccessibleNode* cancel = Named(tree, d.lblCancel.Caption());
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(cancel->Role, TAccessibleRole::Link);
        ASSERT_NE(Named(tree, "Continue"), nullptr);
        EXPECT_EQ(Named(tree, "Continue")->Role, TAccessibleRole::Button);
        ASSERT_NE(Named(tree, d.lblInfo.Caption()), nullptr);
        EXPECT_EQ(Named(tree, d.lblInfo.Caption())->Role, TAccessibleRole::StaticText);
        EXPECT_EQ(d.Role, TAccessibleRole::Dialog);
    }
    TfrmConfirm e(nullptr, texts);
    e.SetMode(TfrmConfirm::kModeError);
    // No link in error mode: OK and the close button.
    EXPECT_EQ(TabRound(e), (std::vector<const TControl*>{&e.RdImgBtnCtn, &e.RdImgBtnClose}));
    e.HandleKeyDown(TKey::Enter, 0);
    EXPECT_EQ(e.ModalResult, kConfirmContinue);
}

TEST(WhatsNewKeys, ArrowsScrollTheListWhereverTheFocusIsAndEscCloses) {
    const locale::TLeapgateLang texts = testsupport::EnglishTexts();
    locale::TformWhatsNew w(nullptr, texts);
    w.SettleMs = 0;
    w.ApplyTexts();
    w.ArrangeControls();
    w.LoaderDone(locale::LoadHistoryFor("English"));
    ASSERT_GT(w.lv.ContentHeight(), w.lv.Height());
    EXPECT_EQ(TabRound(w), (std::vector<const TControl*>{&w.lv, &w.btnclose}));
    ASSERT_EQ(w.Focused(), &w.lv);
    w.HandleKeyDown(TKey::Down, 0);
    EXPECT_EQ(w.lv.ScrollPos(), w.lv.RowHeight);
    w.SetFocus(&w.btnclose);
    w.HandleKeyDown(TKey::PageDown, 0);
    EXPECT_EQ(w.lv.ScrollPos(), w.lv.RowHeight + w.lv.Height() - w.lv.RowHeight);
    w.HandleKeyDown(TKey::End, 0);
    EXPECT_EQ(w.lv.ScrollPos(), w.lv.ContentHeight() - w.lv.Height());
    w.HandleKeyDown(TKey::Home, 0);
    EXPECT_EQ(w.lv.ScrollPos(), 0);
    // The list and its rows for assistive technology: the first version, then its changes;
    // rows scrolled out of the list are off the screen.
    const auto tree = w.AccessibleTree();
    int list = -1;
    for (size_t i = 0; i < tree.size(); ++i)
        if (tree[i].Role == TAccessibleRole::List) list = int(i);
    ASSERT_GE(list, 0);
    EXPECT_EQ(tree[size_t(list)].Name, w.lblWhatsNew.Caption());
    std::vector<const TAccessibleNode*> rows;
    for (const auto& n : tree)
        if (n.Parent == list) rows.push_back(&n);
    ASSERT_GT(rows.size(), 12u);
    EXPECT_EQ(rows[0]->Name, "V6.4");
    EXPECT_EQ(rows[1]->Name, "Optimized the process of driver automatic update.");
    EXPECT_EQ(rows[1]->Role, TAccessibleRole::ListItem);
    EXPECT_FALSE(rows[0]->State & platform::kAccOffscreen);
    EXPECT_TRUE(rows.back()->State & platform::kAccOffscreen);
    // Esc is the close button.
    int closes = 0;
    auto original = w.btnclose.OnClick;
    w.btnclose.OnClick = [&](controls::TObject& s) {
        ++closes;
        original(s);
    };
    w.HandleKeyDown(TKey::Escape, 0);
    EXPECT_EQ(closes, 1);
}
