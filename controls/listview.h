// The skinned list view: report style without column headers, groups with headers, rows with
// sub-items, per-sub-item owner drawing with the row rectangle, a hover colour, and its own
// vertical scroll bar that shows only when the rows do not fit. Empty groups are not shown.
#pragma once
#include <vector>

#include "controls/control.h"

namespace controls {

struct TListGroup {
    int Id = 0;
    std::string Header;
};

struct TListItem {
    int GroupId = 0;
    std::vector<std::string> SubItems;  // one text per column
};

// One laid-out row: a group header or an item.
struct TListRow {
    bool IsGroupHeader = false;
    const TListGroup* Group = nullptr;
    const TListItem* Item = nullptr;  // null for a header
    int Top = 0;                      // in content coordinates
};

class TListView : public TControl {
public:
    TListView();

    void AddColumn(int width);  // -1: the rest of the width
    int ColumnCount() const { return int(FColumns.size()); }
    // Column `index` from left to right edge, in row coordinates.
    void ColumnBounds(int index, int& left, int& right) const;

    void AddGroup(int id, const std::string& header);
    bool HasGroup(int id) const;
    TListItem& AddItem(int groupId, std::vector<std::string> subItems);
    void ClearItems();
    int ItemCount() const { return int(FItems.size()); }
    const TListItem& Item(int i) const { return FItems.at(size_t(i)); }
    void BeginUpdate() { ++FUpdating; }
    void EndUpdate();

    int RowHeight = 42;
    TColor Color = Rgb(41, 41, 41);
    TColor HoverColor = Rgb(61, 61, 61);
    TFont Font, GroupFont;
    static constexpr int kScrollBarWidth = 8;

    // Arrows scroll by a row, Page Up and Page Down by a page, Home and End to the ends.
    bool KeyDown(TKey key, TShiftState shift) override;
    bool KeyActivate() override { return false; }

    std::vector<TListRow> Rows() const;
    int ContentHeight() const;
    bool ScrollBarVisible() const { return ContentHeight() > Height(); }
    int ScrollPos() const { return FScroll; }
    void ScrollTo(int pos);  // clamped to the content
    void ScrollBy(int delta) { ScrollTo(FScroll + delta); }
    int RowWidth() const { return Width() - (ScrollBarVisible() ? kScrollBarWidth : 0); }

    // Before each sub-item (column) of a row is painted; the canvas origin is the row's
    // top-left and `rowRect` is the row in those coordinates. Clear `defaultDraw` to suppress
    // the default text.
    std::function<void(TListView& sender, platform::TCanvas& canvas, const TListRow& row,
                       int column, const TRect& rowRect, bool& defaultDraw)>
        OnAdvancedCustomDrawSubItem;

protected:
    void Paint(platform::TCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    void MouseMove(TShiftState shift, int x, int y) override;
    bool MouseWheel(int notches, int x, int y) override;
    std::optional<TAccessibleRole> OwnAccessibleRole() const override {
        return TAccessibleRole::List;
    }
    std::string OwnAccessibleName() const override { return {}; }
    // One list item per row, group headers included, named by its text.
    void AccessibleParts(std::vector<TAccessibleNode>& out, int parent, int ox,
                         int oy) const override;

private:
    void Changed();
    void ThumbBounds(int& top, int& height) const;
    std::vector<int> FColumns;
    std::vector<TListGroup> FGroups;
    std::vector<TListItem> FItems;
    int FUpdating = 0;
    int FScroll = 0;
    int FHoverTop = -1;
    bool FDragging = false;
    int FDragStartY = 0, FDragStartScroll = 0;
};

}  // namespace controls
