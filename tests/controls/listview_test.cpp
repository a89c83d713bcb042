// The list view: groups and rows, owner drawing, scrolling and its scroll bar.
#include "controls/listview.h"

#include <gtest/gtest.h>

#include "controls/form.h"

using namespace controls;

namespace {

struct TView {
    TForm Form{300, 200};
    TListView View;
    TView() {
        View.SetParent(&Form);
        View.SetBounds(0, 0, 300, 200);
        View.AddColumn(0);
        View.AddColumn(15);
        View.AddColumn(-1);
    }
    void Paint() {
        platform::TImage img(300, 200);
        auto canvas = platform::CreateImageCanvas(img);
        Form.PaintTo(*canvas);
    }
};

}  // namespace

TEST(ListView, GroupsInOrderWithHeadersAndTheirRows) {
    TView v;
    v.View.BeginUpdate();
    v.View.AddItem(0, {"", "*", "before any version"});
    v.View.AddGroup(1, "V6.4");
    v.View.AddItem(1, {"", "*", "a"});
    v.View.AddItem(1, {"", "*", "b"});
    v.View.AddGroup(2, "V6.3");  // no rows: not shown
    v.View.AddGroup(3, "V6.2");
    v.View.AddItem(3, {"", "*", "c"});
    v.View.AddItem(7, {"", "*", "orphan"});  // no such group: the predefined one
    v.View.EndUpdate();
    auto rows = v.View.Rows();
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].Item->SubItems[2], "before any version");
    EXPECT_EQ(rows[1].Item->SubItems[2], "orphan");
    EXPECT_TRUE(rows[2].IsGroupHeader);
    EXPECT_EQ(rows[2].Group->Header, "V6.4");
    EXPECT_EQ(rows[4].Item->SubItems[2], "b");
    EXPECT_EQ(rows[5].Group->Header, "V6.2");
    EXPECT_EQ(rows[6].Top, 6 * 42);
}

TEST(ListView, OwnerDrawGetsEachSubItemWithTheRowRectangle) {
    TView v;
    v.View.AddGroup(1, "V1");
    v.View.AddItem(1, {"", "*", "text"});
    std::vector<std::pair<bool, int>> calls;
    TRect lastRect;
    v.View.OnAdvancedCustomDrawSubItem = [&](TListView&, platform::TCanvas&, const TListRow& row,
                                             int column, const TRect& rect, bool& def) {
        calls.push_back({row.IsGroupHeader, column});
        lastRect = rect;
        def = false;
    };
    v.Paint();
    ASSERT_EQ(calls.size(), 4u);  // the header once, the row's three columns
    EXPECT_TRUE(calls[0].first);
    EXPECT_EQ(calls[3], (std::pair<bool, int>{false, 2}));
    EXPECT_EQ(lastRect, (TRect{0, 0, 300, 42}));
    int l, r;
    v.View.ColumnBounds(2, l, r);
    EXPECT_EQ(l, 15);
    EXPECT_EQ(r, 300);
}

TEST(ListView, ScrollBarOnlyWhenRowsOverflowAndScrollIsClamped) {
    TView v;
    v.View.AddGroup(1, "V1");
    for (int i = 0; i < 3; ++i) v.View.AddItem(1, {"", "*", "row"});
    EXPECT_FALSE(v.View.ScrollBarVisible());  // 4 rows × 42 = 168 < 200
    EXPECT_EQ(v.View.RowWidth(), 300);
    v.View.ScrollBy(50);
    EXPECT_EQ(v.View.ScrollPos(), 0);
    v.View.BeginUpdate();
    for (int i = 0; i < 10; ++i) v.View.AddItem(1, {"", "*", "more"});
    v.View.EndUpdate();
    EXPECT_TRUE(v.View.ScrollBarVisible());
    EXPECT_EQ(v.View.RowWidth(), 300 - TListView::kScrollBarWidth);
    v.View.ScrollTo(10000);
    EXPECT_EQ(v.View.ScrollPos(), 14 * 42 - 200);
    v.View.ScrollTo(-5);
    EXPECT_EQ(v.View.ScrollPos(), 0);
    // A press on the track below the thumb pages down.
    v.Form.HandleMouseDown(TMouseButton::Left, 0, 296, 190);
    v.Form.HandleMouseUp(TMouseButton::Left, 0, 296, 190);
    EXPECT_EQ(v.View.ScrollPos(), 200);
    // The wheel scrolls a row per notch.
    v.Form.HandleMouseWheel(1, 0, 100, 100);
    EXPECT_EQ(v.View.ScrollPos(), 200 - 42);
    v.Form.HandleMouseWheel(-2, 0, 100, 100);
    EXPECT_EQ(v.View.ScrollPos(), 200 + 42);
    v.View.ClearItems();
    EXPECT_EQ(v.View.ScrollPos(), 0);
    EXPECT_TRUE(v.View.Rows().empty());
}
