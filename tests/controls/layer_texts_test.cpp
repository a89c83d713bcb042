// The animator's texts for assistive technology: which layers are words, where they are before
// and after a paint, when they cannot be seen, and how they join the form's tree through a
// drawing box that has no role of its own; and the selected state of one choice of a set.
#include "controls/layer_texts.h"

#include <gtest/gtest.h>

#include "controls/animator.h"
#include "controls/form.h"
#include "controls/imagebutton.h"
#include "controls/paintbox.h"
#include "controls/standin.h"

using namespace controls;

namespace {

struct TPageForm : TForm {
    TPaintBox Box;
    TStandIn Link;
    TRdAnimator Anim;
    TPageForm() : TForm(400, 300) {
        Box.SetParent(this);
        Box.SetBounds(0, 100, 400, 150);
        Link.SetParent(&Box);
        Link.SetBounds(10, 120, 80, 16);
        Link.AccRole = TAccessibleRole::Link;
        Link.AccName = "More";
        Anim.SetDrawBox(&Box);
        Box.OnAccessibleParts = [this](std::vector<TAccessibleNode>& out, int parent, int ox,
                                       int oy) {
            AppendLayerTexts(Anim.Layers(), Box, out, parent, ox, oy, [](int i) { return i == 6; });
        };
    }
    TRdAniLayer& AddText(const std::string& text, int left, int top, int width = -1) {
        TRdAniLayer& l = Anim.Layers().Add();
        l.SetText(text);
        l.SetTextLeft(left);
        l.SetTextTop(top);
        l.SetTextWidth(width);
        l.SetTextHeight(20);
        return l;
    }
};

}  // namespace

TEST(LayerTexts, WordsInLayerOrderWhereTheyAreAndWhetherTheyCanBeSeen) {
    TPageForm f;
    f.Anim.Layers().Add();                          // 0: a picture, no text
    f.AddText("  Fast scans ", 20, 10);             // 1
    f.AddText(std::string(40, '_'), 20, 30);        // 2: an underline
    f.AddText("Hidden", 20, 50).SetVisible(false);  // 3
    f.AddText("Faded", 20, 70).SetOpacity(0);       // 4
    f.AddText("Never drawn", 20, 90, 0);            // 5: no room
    f.AddText("Told of by the link", 10, 120);      // 6
    f.AddText("Élan", 500, 10, 60);                 // 7: beyond the box's right edge
    f.AddText("1", 30, 130, 40).SetOpacity(1);      // 8: a figure, barely there
    const auto tree = f.AccessibleTree();
    ASSERT_EQ(tree.size(), 6u);
    const char* names[] = {"Fast scans", "Hidden", "Faded", "Élan", "1", "More"};
    for (size_t i = 0; i < tree.size(); ++i) {
        EXPECT_EQ(tree[i].Name, names[i]);
        EXPECT_EQ(tree[i].Parent, -1) << i;  // the box has no node: its parts are the form's
    }
    EXPECT_EQ(tree[0].Role, TAccessibleRole::StaticText);
    EXPECT_EQ(tree[5].Role, TAccessibleRole::Link);
    // Before any paint: the laid-out rectangle, to the box's edge for a negative width, in
    // the form's coordinates.
    EXPECT_EQ(tree[0].Bounds, RectWH(20, 110, 380, 20));
    EXPECT_EQ(tree[0].State, 0u);
    EXPECT_EQ(tree[1].State, unsigned(platform::kAccInvisible));
    EXPECT_EQ(tree[2].State, unsigned(platform::kAccInvisible));
    EXPECT_EQ(tree[3].State, unsigned(platform::kAccOffscreen));
    EXPECT_EQ(tree[4].State, 0u);
    // After a paint: where the text was drawn.
    f.Anim.Layers()[1].SetTextBounds(RectWH(22, 12, 70, 14));
    EXPECT_EQ(f.AccessibleTree()[0].Bounds, RectWH(22, 112, 70, 14));
    // A hidden drawing box hides every text in it; the content is the one of now.
    f.Anim.Layers()[1].SetText("Faster scans");
    f.Box.Hide();
    const auto hidden = f.AccessibleTree();
    EXPECT_EQ(hidden[0].Name, "Faster scans");
    for (const auto& n : hidden) EXPECT_TRUE(n.State & platform::kAccInvisible) << n.Name;
    // Nothing of the texts can act.
    std::vector<TControl*> owners;
    f.AccessibleTree(&owners);
    ASSERT_EQ(owners.size(), 6u);
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(owners[i], nullptr);
    EXPECT_EQ(owners[5], &f.Link);
}

TEST(LayerTexts, PartsOfAControlWithARoleHangUnderIt) {
    TForm f(200, 100);
    TImageButton b;
    b.SetParent(&f);
    b.SetBounds(10, 10, 50, 20);
    b.SetCaption("Go");
    b.OnAccessibleParts = [](std::vector<TAccessibleNode>& out, int parent, int ox, int oy) {
        TAccessibleNode n;
        n.Name = "inside";
        n.Parent = parent;
        n.Bounds = RectWH(ox, oy, 5, 5);
        out.push_back(n);
    };
    const auto tree = f.AccessibleTree();
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[1].Parent, 0);
    EXPECT_EQ(tree[1].Bounds, RectWH(10, 10, 5, 5));
}

TEST(LayerTexts, OneOfASetOfChoicesIsSelectableAndSelectedWhileItSaysSo) {
    TForm f(200, 100);
    TImageButton a, b;
    a.SetParent(&f);
    b.SetParent(&f);
    a.SetCaption("A");
    b.SetCaption("B");
    int chosen = 1;
    a.AccSelected = [&] { return chosen == 1; };
    b.AccSelected = [&] { return chosen == 2; };
    auto selected = [&](size_t i) { return f.AccessibleTree()[i].State & platform::kAccSelected; };
    EXPECT_TRUE(selected(0));
    EXPECT_FALSE(selected(1));
    chosen = 2;
    EXPECT_FALSE(selected(0));
    EXPECT_TRUE(selected(1));
    for (const auto& n : f.AccessibleTree()) EXPECT_TRUE(n.State & platform::kAccSelectable);
    a.AccSelected = nullptr;  // no longer a choice
    EXPECT_FALSE(f.AccessibleTree()[0].State & (platform::kAccSelectable | platform::kAccSelected));
}
