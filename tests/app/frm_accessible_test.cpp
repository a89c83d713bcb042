// The windows as a screen reader reads them on Windows: the client-area object of the offer
// window with its buttons, link, the words of each page and the selected page dot, and, while
// downloading, the progress bar and its value; the default action of a button; the
// confirmation dialog while it runs modally; the What's New list as an object with its rows.
// With LG_PRINT_SPOKEN set, each test prints what a screen reader says of the window.
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
#include "tests/support/accessible_reader.h"

using namespace app;
using testsupport::TReadAccessible;

namespace {

// The numbers of the object model's roles and states.
constexpr long kRoleClient = 0x0a, kRoleDialog = 0x12, kRoleLink = 0x1e, kRoleList = 0x21,
               kRoleListItem = 0x22, kRoleStaticText = 0x29, kRoleButton = 0x2b,
               kRoleProgressBar = 0x30;
constexpr long kUnavailable = 0x1, kSelected = 0x2, kFocused = 0x4, kInvisible = 0x8000,
               kOffscreen = 0x10000, kFocusable = 0x100000, kSelectable = 0x200000;

const TReadAccessible* Find(const TReadAccessible& root, const std::string& name, long role) {
    for (const auto& c : root.Children)
        if (c.Name == name && c.Role == role) return &c;
    return nullptr;
}

long IdOf(const TReadAccessible& root, const TReadAccessible* child) {
    for (size_t i = 0; i < root.Children.size(); ++i)
        if (&root.Children[i] == child) return long(i + 1);
    return 0;
}

}  // namespace

TEST(AccessibleTree, OfferWindowWithItsProgressWhileDownloading) {
    if (!testsupport::CanReadAccessibleTrees()) GTEST_SKIP() << "reads the Windows object tree";
    const locale::TLeapgateLang texts = testsupport::EnglishTexts();
    int starts = 0;
    TFormMain f;
    testsupport::WireEnglishOffer(f, texts);
    f.StartDownload = [&] {
        ++starts;
        f.ShowDownloadControls(true);
        f.ShowOfferControls(false);
    };
    f.ShowWindow();
    f.animMain.SetAnimate(false);
    f.tmrShine.SetEnabled(false);
    platform::TEventLoop::RunUntil([] { return false; }, 200);

    auto tree = testsupport::ReadClientTree(f.Window().NativeHandle());
    ASSERT_TRUE(tree.has_value());
    EXPECT_EQ(tree->Name, "Vantrel Updater");
    EXPECT_EQ(tree->Role, kRoleClient);
    EXPECT_EQ(tree->Width, 900);
    EXPECT_EQ(tree->Height, 600);
    const TReadAccessible* upgrade = Find(*tree, "Upgrade Now", kRoleButton);
    ASSERT_NE(upgrade, nullptr);
    EXPECT_EQ(upgrade->State & (kInvisible | kUnavailable), 0);
    EXPECT_NE(upgrade->State & kFocusable, 0);
    EXPECT_EQ(upgrade->DefaultAction, "Press");
    EXPECT_EQ(upgrade->Width, 192);
    EXPECT_EQ(upgrade->Left - tree->Left, f.btnUpgrade.Left());
    ASSERT_NE(Find(*tree, "Close", kRoleButton), nullptr);
    ASSERT_NE(Find(*tree, f.lblTitle.Caption(), kRoleStaticText), nullptr);
    const TReadAccessible* link = Find(*tree, f.Layer(layers::kP3Btn).Text(), kRoleLink);
    ASSERT_NE(link, nullptr);
    EXPECT_NE(link->State & kInvisible, 0);  // its page is not on show
    // The dot of the page on show is the selected one of the three.
    const TReadAccessible* dot1 = Find(*tree, f.Layer(3).Text(), kRoleButton);
    ASSERT_NE(dot1, nullptr);
    EXPECT_NE(dot1->State & kUnavailable, 0);
    EXPECT_EQ(dot1->State & (kSelected | kSelectable), kSelected | kSelectable);
    EXPECT_EQ(tree->Selection, IdOf(*tree, dot1));
    for (const auto* other : {Find(*tree, f.btnCheck2.AccName, kRoleButton),
                              Find(*tree, f.btnCheck3.AccName, kRoleButton)}) {
        ASSERT_NE(other, nullptr);
        EXPECT_EQ(other->State & (kSelected | kSelectable), kSelectable) << other->Name;
    }
    // The words of the pages, where the animator draws them: the first page's pictures fade in
    // first, so its words are not seen yet; they are there, as the other pages' are.
    const TReadAccessible* title = Find(*tree, platform::Trim(f.Layer(3).Text()), kRoleStaticText);
    ASSERT_NE(title, nullptr);
    ASSERT_EQ(f.Pages().AnimPhase, 1);
    EXPECT_NE(title->State & kInvisible, 0);
    const controls::TRect drawn = f.Layer(3).TextBounds();
    EXPECT_EQ(title->Top - tree->Top,
              TFormMain::kBoxTop + (drawn.IsEmpty() ? f.Layer(3).TextTop() : drawn.Top));
    const TReadAccessible* other = Find(*tree, platform::Trim(f.Layer(18).Text()), kRoleStaticText);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other->State & kInvisible, 0);
    testsupport::PrintSpoken("offer window, first page (the window just shown)", *tree);

    // The screen reader presses Upgrade Now; the download look follows with its progress.
    ASSERT_TRUE(testsupport::DoDefaultAction(f.Window().NativeHandle(), IdOf(*tree, upgrade)));
    EXPECT_EQ(starts, 1);
    for (int position : {0, 42, 100}) {
        f.ProDownInfo.SetPosition(position);
        tree = testsupport::ReadClientTree(f.Window().NativeHandle());
        ASSERT_TRUE(tree.has_value());
        const TReadAccessible* bar = Find(*tree, f.InstallTitle, kRoleProgressBar);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->Value, std::to_string(position) + "%");
        EXPECT_EQ(bar->State & kInvisible, 0);
    }
    EXPECT_NE(Find(*tree, "Upgrade Now", kRoleButton)->State & kInvisible, 0);
    const TReadAccessible* min = Find(*tree, f.btnMin.Caption(), kRoleButton);
    ASSERT_NE(min, nullptr);
    EXPECT_EQ(min->State & kInvisible, 0);
    // A hidden button refuses the default action.
    EXPECT_FALSE(testsupport::DoDefaultAction(
        f.Window().NativeHandle(), IdOf(*tree, Find(*tree, "Upgrade Now", kRoleButton))));
    EXPECT_EQ(starts, 1);
    f.HideWindow();
}

TEST(AccessibleTree, WhatsNewListIsAnObjectWithItsRows) {
    if (!testsupport::CanReadAccessibleTrees()) GTEST_SKIP() << "reads the Windows object tree";
    const locale::TLeapgateLang texts = testsupport::EnglishTexts();
    locale::TformWhatsNew w(nullptr, texts);
    w.SettleMs = 0;
    w.ApplyTexts();
    w.ArrangeControls();
    w.LoaderDone(locale::LoadHistoryFor("English"));
    w.Window().Show();
    platform::TEventLoop::RunUntil([] { return false; }, 200);
    w.HandleKeyDown(controls::TKey::Tab, 0);  // the list takes the focus
    const auto tree = testsupport::ReadClientTree(w.Window().NativeHandle());
    ASSERT_TRUE(tree.has_value());
    EXPECT_EQ(tree->Role, kRoleDialog);
    EXPECT_EQ(tree->Name, "What's New");
    const TReadAccessible* list = nullptr;
    for (const auto& c : tree->Children)
        if (c.Role == kRoleList) list = &c;
    ASSERT_NE(list, nullptr);
    EXPECT_NE(list->State & kFocused, 0);
    ASSERT_GT(list->Children.size(), 12u);
    EXPECT_EQ(list->Children[0].Name, "V6.4");
    EXPECT_EQ(list->Children[0].Role, kRoleListItem);
    EXPECT_EQ(list->Children[1].Name, "Optimized the process of driver automatic update.");
    EXPECT_EQ(list->Children[0].State & kOffscreen, 0);
    EXPECT_NE(list->Children.back().State & kOffscreen, 0);
    testsupport::PrintSpoken("What's New (after Tab)", *tree);
    w.Window().Hide();
}

// The confirmation dialog read while it runs modally, as a screen reader reads it: its
// heading, message, Continue/OK, the cancel link and the close button with their roles and
// states; the reader's default action ends the dialog with that control's result, and the
// hidden link of error mode refuses it.
TEST(AccessibleTree, ConfirmationDialogWhileItRunsModally) {
    if (!testsupport::CanReadAccessibleTrees()) GTEST_SKIP() << "reads the Windows object tree";
    const locale::TLeapgateLang texts = testsupport::EnglishTexts();
    const std::string close = texts.GetText("Common", "closeHint");
    {
        TfrmConfirm d(nullptr, texts);
        d.SetMode(TfrmConfirm::kModeCancel);
        std::optional<TReadAccessible> tree;
        bool pressed = false;
        platform::TEventLoop::Post([&] {
            d.HandleKeyDown(controls::TKey::Tab, 0);  // the keyboard on Continue
            tree = testsupport::ReadClientTree(d.Window().NativeHandle());
            if (!tree) return;
            const TReadAccessible* link = Find(*tree, d.lblCancel.Caption(), kRoleLink);
            pressed =
                link && testsupport::DoDefaultAction(d.Window().NativeHandle(), IdOf(*tree, link));
        });
        EXPECT_EQ(d.ShowModal(), kConfirmCancelled);
        ASSERT_TRUE(tree.has_value());
        EXPECT_TRUE(pressed);
        EXPECT_EQ(tree->Name, "Vantrel");
        EXPECT_EQ(tree->Role, kRoleDialog);
        EXPECT_EQ(tree->Width, 380);
        EXPECT_EQ(tree->Height, 210);
        // In the order a sighted user reads them; the pictures are not told of.
        std::vector<std::pair<std::string, long>> parts;
        for (const auto& c : tree->Children) parts.emplace_back(c.Name, c.Role);
        EXPECT_EQ(parts, (std::vector<std::pair<std::string, long>>{
                             {"Vantrel", kRoleStaticText},
                             {texts.GetText("FormCancel", "des"), kRoleStaticText},
                             {close, kRoleButton},
                             {"Continue", kRoleButton},
                             {d.lblCancel.Caption(), kRoleLink}}));
        const TReadAccessible* ctn = Find(*tree, "Continue", kRoleButton);
        EXPECT_EQ(ctn->State & (kFocused | kFocusable | kInvisible), kFocused | kFocusable);
        EXPECT_EQ(ctn->DefaultAction, "Press");
        EXPECT_EQ(ctn->Left - tree->Left, 266);
        EXPECT_EQ(ctn->Top - tree->Top, 172);
        EXPECT_EQ(ctn->Width, 98);
        const TReadAccessible* link = Find(*tree, d.lblCancel.Caption(), kRoleLink);
        EXPECT_EQ(link->DefaultAction, "Jump");
        EXPECT_EQ(link->State & (kInvisible | kUnavailable | kFocused), 0);
        EXPECT_NE(link->State & kFocusable, 0);
        EXPECT_EQ(Find(*tree, close, kRoleButton)->State & (kInvisible | kFocused), 0);
        EXPECT_EQ(d.lblCancel.Caption().find('<'), std::string::npos);
        testsupport::PrintSpoken("confirmation dialog, cancel mode (after Tab)", *tree);
    }
    TfrmConfirm e(nullptr, texts);
    e.SetMode(TfrmConfirm::kModeError);
    std::optional<TReadAccessible> tree;
    bool linkRefused = false, okPressed = false;
    platform::TEventLoop::Post([&] {
        tree = testsupport::ReadClientTree(e.Window().NativeHandle());
        if (!tree) return;
        const TReadAccessible* link = Find(*tree, e.lblCancel.Caption(), kRoleLink);
        linkRefused =
            link && !testsupport::DoDefaultAction(e.Window().NativeHandle(), IdOf(*tree, link));
        const TReadAccessible* ok = Find(*tree, texts.GetText("FormError", "btnOk"), kRoleButton);
        okPressed = ok && testsupport::DoDefaultAction(e.Window().NativeHandle(), IdOf(*tree, ok));
    });
    EXPECT_EQ(e.ShowModal(), kConfirmContinue);
    ASSERT_TRUE(tree.has_value());
    EXPECT_TRUE(linkRefused);
    EXPECT_TRUE(okPressed);
    ASSERT_NE(Find(*tree, texts.GetText("FormError", "des"), kRoleStaticText), nullptr);
    EXPECT_NE(Find(*tree, e.lblCancel.Caption(), kRoleLink)->State & kInvisible, 0);
    testsupport::PrintSpoken("confirmation dialog, error mode", *tree);
}

// Each page of the offer window as it is heard while it holds: its own words visible, the
// other pages' not, its dot the selected one; the link only on the third page.
TEST(AccessibleTree, EachPageIsHeardWithItsOwnWordsAndDot) {
    if (!testsupport::CanReadAccessibleTrees()) GTEST_SKIP() << "reads the Windows object tree";
    const locale::TLeapgateLang texts = testsupport::EnglishTexts();
    uint32_t now = 900000;
    TFormMain f;
    testsupport::WireEnglishOffer(f, texts);
    f.TickCount = [&] { return now; };
    f.ShowWindow();
    f.animMain.SetAnimate(false);
    f.tmrShine.SetEnabled(false);
    const int firstTitle[] = {3, 18, 34};
    for (int page = 0; page < 3; ++page) {
        for (int i = 0; i < 3000; ++i) {
            if (f.Pages().CurrentPage == page && f.Pages().AnimPhase == 3) break;
            now += 33;
            f.animMain.FrameStep();
        }
        ASSERT_EQ(f.Pages().CurrentPage, page);
        ASSERT_EQ(f.Pages().AnimPhase, 3);
        platform::TEventLoop::RunUntil([] { return false; }, 100);  // painted as it holds
        const auto tree = testsupport::ReadClientTree(f.Window().NativeHandle());
        ASSERT_TRUE(tree.has_value());
        for (int p = 0; p < 3; ++p) {
            const TReadAccessible* t =
                Find(*tree, platform::Trim(f.Layer(firstTitle[p]).Text()), kRoleStaticText);
            ASSERT_NE(t, nullptr) << p;
            EXPECT_EQ((t->State & kInvisible) == 0, p == page) << page << " " << p;
            const TReadAccessible* dot = Find(*tree, f.Dot(p + 1).AccName, kRoleButton);
            ASSERT_NE(dot, nullptr);
            EXPECT_EQ((dot->State & kSelected) != 0, p == page) << page << " " << p;
            if (p == page) {
                EXPECT_EQ(tree->Selection, IdOf(*tree, dot));
            }
        }
        const TReadAccessible* link = Find(*tree, f.Layer(layers::kP3Btn).Text(), kRoleLink);
        ASSERT_NE(link, nullptr);
        EXPECT_EQ((link->State & kInvisible) == 0, page == 2);
        testsupport::PrintSpoken("offer window, page " + std::to_string(page + 1) + " holding",
                                 *tree);
        now += TPageCycle::kHoldMs + 100;
    }
    f.HideWindow();
}
