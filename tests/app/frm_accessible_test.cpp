// The windows as a screen reader reads them on Windows: the client-area object of the offer
// window with its buttons, link and, while downloading, the progress bar and its value; the
// default action of a button; the What's New list as an object with its rows.
#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "locale/frm_whatsnew.h"
#include "locale/history.h"
#include "platform/eventloop.h"
#include "platform/resources.h"
#include "tests/support/accessible_reader.h"

using namespace app;
using testsupport::TReadAccessible;

namespace {

// The numbers of the object model's roles and states.
constexpr long kRoleClient = 0x0a, kRoleDialog = 0x12, kRoleLink = 0x1e, kRoleList = 0x21,
               kRoleListItem = 0x22, kRoleStaticText = 0x29, kRoleButton = 0x2b,
               kRoleProgressBar = 0x30;
constexpr long kUnavailable = 0x1, kFocused = 0x4, kInvisible = 0x8000, kOffscreen = 0x10000,
               kFocusable = 0x100000;

locale::TLeapgateLang English() {
    locale::TLeapgateLang t;
    if (const auto data = platform::FindResourceData("LANG", "ENGLISH")) t.LoadFromText(*data);
    return t;
}

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
    const locale::TLeapgateLang texts = English();
    int starts = 0;
    TFormMain f;
    f.Data.NewVersion = "6.3.0.0";
    f.Texts = &texts;
    f.ProductLanguage = [] { return std::string("English"); };
    f.TableName = [] { return std::string("ENGLISH"); };
    f.RecordShow = [] {};
    f.Pause = [](uint32_t) {};
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
    const TReadAccessible* dot1 = Find(*tree, f.Layer(3).Text(), kRoleButton);
    ASSERT_NE(dot1, nullptr);
    EXPECT_NE(dot1->State & kUnavailable, 0);

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
    const locale::TLeapgateLang texts = English();
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
    w.Window().Hide();
}
