#include "controls/listview.h"

#include "controls/label.h"

#include <algorithm>

namespace controls {

TListView::TListView() {
    Font.Height = -14;
    Font.Color = Rgb(179, 179, 179);
    GroupFont = Font;
    GroupFont.Bold = true;
    GroupFont.Color = clWhite;
    FGroups.push_back({0, ""});  // the predefined group
}

void TListView::MouseMove(TShiftState, int x, int y) {
    if (FDragging) {
        int thumbTop, thumbH;
        ThumbBounds(thumbTop, thumbH);
        int track = Height() - thumbH;
        int range = ContentHeight() - Height();
        if (track > 0) ScrollTo(FDragStartScroll + (y - FDragStartY) * range / track);
        return;
    }
    int top = -1;
    if (x < RowWidth())
        for (const auto& r : Rows())
            if (!r.IsGroupHeader && y + FScroll >= r.Top && y + FScroll < r.Top + RowHeight)
                top = r.Top;
    if (top != FHoverTop) {
        FHoverTop = top;
        Invalidate();
    }
}

bool TListView::MouseWheel(int notches, int, int) {
    if (!ScrollBarVisible()) return false;
    ScrollBy(-notches * RowHeight);  // one row per notch
    return true;
}

void TListView::AddColumn(int width) {
    FColumns.push_back(width);
    Changed();
}

void TListView::ColumnBounds(int index, int& left, int& right) const {
    left = 0;
    for (int i = 0; i < index && i < ColumnCount(); ++i) left += std::max(0, FColumns[size_t(i)]);
    int w = index < ColumnCount() ? FColumns[size_t(index)] : 0;
    right = w < 0 ? RowWidth() : left + w;
}

void TListView::AddGroup(int id, const std::string& header) {
    for (auto& g : FGroups)
        if (g.Id == id) {
            g.Header = header;
            Changed();
            return;
        }
    FGroups.push_back({id, header});
    Changed();
}

bool TListView::HasGroup(int id) const {
    return std::any_of(FGroups.begin(), FGroups.end(), [id](auto& g) { return g.Id == id; });
}

TListItem& TListView::AddItem(int groupId, std::vector<std::string> subItems) {
    FItems.push_back({groupId, std::move(subItems)});
    Changed();
    return FItems.back();
}

void TListView::ClearItems() {
    FItems.clear();
    FGroups.erase(FGroups.begin() + 1, FGroups.end());
    FScroll = 0;
    Changed();
}

void TListView::EndUpdate() {
    if (FUpdating > 0 && --FUpdating == 0) Changed();
}

void TListView::Changed() {
    if (FUpdating) return;
    ScrollTo(FScroll);
    Invalidate();
}

std::vector<TListRow> TListView::Rows() const {
    std::vector<TListRow> rows;
    int top = 0;
    for (const auto& g : FGroups) {
        bool any = false;
        for (const auto& it : FItems) {
            // Items of a group that does not exist belong to the predefined one.
            bool mine = it.GroupId == g.Id || (g.Id == 0 && !HasGroup(it.GroupId));
            if (!mine) continue;
            if (!any && g.Id != 0) {
                rows.push_back({true, &g, nullptr, top});
                top += RowHeight;
            }
            any = true;
            rows.push_back({false, &g, &it, top});
            top += RowHeight;
        }
    }
    return rows;
}

bool TListView::KeyDown(TKey key, TShiftState) {
    const int page = std::max(RowHeight, Height() - RowHeight);
    switch (key) {
        case TKey::Up:
            ScrollBy(-RowHeight);
            return true;
        case TKey::Down:
            ScrollBy(RowHeight);
            return true;
        case TKey::PageUp:
            ScrollBy(-page);
            return true;
        case TKey::PageDown:
            ScrollBy(page);
            return true;
        case TKey::Home:
            ScrollTo(0);
            return true;
        case TKey::End:
            ScrollTo(ContentHeight());
            return true;
        default:
            return false;
    }
}

void TListView::AccessibleParts(std::vector<TAccessibleNode>& out, int parent, int ox,
                                int oy) const {
    const unsigned own = AccessibleState() & (platform::kAccInvisible | platform::kAccDisabled);
    for (const TListRow& r : Rows()) {
        TAccessibleNode n;
        n.Role = TAccessibleRole::ListItem;
        if (r.IsGroupHeader) {
            n.Name = r.Group->Header;
        } else {
            for (auto it = r.Item->SubItems.rbegin(); it != r.Item->SubItems.rend(); ++it)
                if (!it->empty()) {
                    n.Name = StripAccelerators(*it);
                    break;
                }
        }
        const int top = r.Top - FScroll;
        n.Bounds = RectWH(ox, oy + top, RowWidth(), RowHeight);
        n.State = own;
        if (top + RowHeight <= 0 || top >= Height()) n.State |= platform::kAccOffscreen;
        n.Parent = parent;
        out.push_back(std::move(n));
    }
}

int TListView::ContentHeight() const {
    return int(Rows().size()) * RowHeight;
}

void TListView::ScrollTo(int pos) {
    int maxPos = std::max(0, ContentHeight() - Height());
    pos = std::clamp(pos, 0, maxPos);
    if (pos == FScroll) return;
    FScroll = pos;
    Invalidate();
}

void TListView::ThumbBounds(int& top, int& height) const {
    int content = std::max(1, ContentHeight());
    height = std::max(20, Height() * Height() / content);
    int range = std::max(1, content - Height());
    top = (Height() - height) * FScroll / range;
}

void TListView::Paint(platform::TCanvas& canvas) {
    canvas.FillRect(ClientRect().ToF(), Color);
    int width = RowWidth();
    for (const auto& row : Rows()) {
        int y = row.Top - FScroll;
        if (y + RowHeight <= 0 || y >= Height()) continue;
        canvas.Save();
        canvas.Translate(0, float(y));
        TRect rowRect{0, 0, width, RowHeight};
        canvas.IntersectClip(rowRect.ToF());
        if (!row.IsGroupHeader && row.Top == FHoverTop) canvas.FillRect(rowRect.ToF(), HoverColor);
        int columns = row.IsGroupHeader ? 1 : std::max(1, ColumnCount());
        for (int c = 0; c < columns; ++c) {
            bool defaultDraw = true;
            if (OnAdvancedCustomDrawSubItem)
                OnAdvancedCustomDrawSubItem(*this, canvas, row, c, rowRect, defaultDraw);
            if (!defaultDraw) continue;
            platform::TTextFormat f;
            f.LineAlign = platform::TTextAlign::Center;
            f.Trimming = platform::TTrimming::EllipsisCharacter;
            if (row.IsGroupHeader) {
                canvas.DrawText(row.Group->Header, GroupFont,
                                {8, 0, float(width - 8), float(RowHeight)}, f, GroupFont.Color);
            } else if (size_t(c) < row.Item->SubItems.size()) {
                int l, r;
                ColumnBounds(c, l, r);
                canvas.DrawText(row.Item->SubItems[size_t(c)], Font,
                                {float(l), 0, float(r - l), float(RowHeight)}, f, Font.Color);
            }
        }
        canvas.Restore();
    }
    if (ScrollBarVisible()) {
        int top, h;
        ThumbBounds(top, h);
        float x = float(Width() - kScrollBarWidth);
        canvas.FillRect({x, 0, float(kScrollBarWidth), float(Height())}, Rgb(36, 36, 36));
        canvas.FillRect({x + 1, float(top), float(kScrollBarWidth - 2), float(h)},
                        FDragging ? Rgb(110, 110, 110) : Rgb(77, 77, 77));
    }
    TControl::Paint(canvas);
}

void TListView::MouseDown(TMouseButton button, TShiftState, int x, int y) {
    if (button != TMouseButton::Left || !ScrollBarVisible() || x < RowWidth()) return;
    int top, h;
    ThumbBounds(top, h);
    if (y >= top && y < top + h) {
        FDragging = true;
        FDragStartY = y;
        FDragStartScroll = FScroll;
    } else {
        ScrollBy(y < top ? -Height() : Height());  // a page up or down
    }
    Invalidate();
}

void TListView::MouseUp(TMouseButton, TShiftState, int, int) {
    if (!FDragging) return;
    FDragging = false;
    Invalidate();
}

void TListView::MouseLeave() {
    if (FHoverTop != -1) {
        FHoverTop = -1;
        Invalidate();
    }
}

}  // namespace controls
