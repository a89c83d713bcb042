// Modal runs and closing, the part every window system shares: nested runs, a close in the
// middle of a run, what a run returns after earlier ones, and the client size. On Linux without a
// display the windows exist as state only, which is enough for the run itself; under Wine they are
// real. Also the frame every canvas draws from its fills.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/eventloop.h"
#include "platform/window.h"

namespace {

using platform::TEventLoop;
using platform::TWindow;

TWindow::TOptions Options(const char* caption, TWindow* owner = nullptr) {
    TWindow::TOptions o;
    o.ClientWidth = 160;
    o.ClientHeight = 90;
    o.Caption = caption;
    o.Owner = owner;
    return o;
}

TEST(WindowModal, NestedRunsEndInnerFirstAndEachKeepsTheFirstResultItWasGiven) {
    TWindow main(Options("main"));
    main.Show();
    TWindow outer(Options("outer", &main));
    TWindow inner(Options("inner", &outer));
    std::vector<std::string> seen;
    int innerResult = -1;
    TEventLoop::Post([&] {
        seen.push_back(std::string("outer running, main ") +
                       (main.Enabled() ? "enabled" : "disabled"));
        TEventLoop::Post([&] {
            seen.push_back(std::string("inner running, outer ") +
                           (outer.Enabled() ? "enabled" : "disabled"));
            // The outer run is ended while the inner one still runs; a later close must not
            // replace its result.
            outer.EndModal(5);
            outer.Close();
            EXPECT_FALSE(outer.InModal());
            EXPECT_TRUE(inner.InModal());
            inner.EndModal(4);
            inner.EndModal(9);
        });
        innerResult = inner.ShowModal();
        seen.push_back("inner returned");
        // The inner run gave its owner back; the outer run has not returned yet.
        EXPECT_TRUE(outer.Enabled());
        EXPECT_FALSE(main.Enabled());
    });
    const int outerResult = outer.ShowModal();
    seen.push_back("outer returned");
    EXPECT_EQ(innerResult, 4);
    EXPECT_EQ(outerResult, 5);
    EXPECT_TRUE(main.Enabled());
    EXPECT_FALSE(outer.Visible());
    EXPECT_FALSE(inner.Visible());
    EXPECT_EQ(seen, (std::vector<std::string>{"outer running, main disabled",
                                              "inner running, outer disabled", "inner returned",
                                              "outer returned"}));
    main.Hide();
}

TEST(WindowModal, CloseEndsARunWithTheCloseResultUnlessOnCloseGaveOne) {
    TWindow main(Options("main"));
    main.Show();
    TWindow dialog(Options("dialog", &main));
    int closes = 0;
    dialog.OnClose = [&] { ++closes; };
    TEventLoop::Post([&] {
        EXPECT_TRUE(dialog.InModal());
        dialog.Close();
        EXPECT_FALSE(dialog.InModal());
        EXPECT_FALSE(dialog.Visible());
    });
    EXPECT_EQ(dialog.ShowModal(), 2);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(main.Enabled());

    dialog.OnClose = [&] {
        ++closes;
        dialog.EndModal(7);
    };
    TEventLoop::Post([&] { dialog.Close(); });
    EXPECT_EQ(dialog.ShowModal(), 7);
    EXPECT_EQ(closes, 2);
    main.Hide();
}

TEST(WindowModal, ARunStartsAfreshWhateverCameBeforeIt) {
    TWindow dialog(Options("dialog"));
    int closes = 0;
    dialog.OnClose = [&] {
        ++closes;
        dialog.EndModal(7);
    };
    // Outside a run an end is nothing and a close only closes: neither leaves a result behind.
    dialog.EndModal(5);
    dialog.Show();
    dialog.Close();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(dialog.Visible());
    EXPECT_FALSE(dialog.InModal());
    TEventLoop::Post([&] { dialog.EndModal(0); });
    EXPECT_EQ(dialog.ShowModal(), 0);
    TEventLoop::Post([&] { dialog.EndModal(3); });
    EXPECT_EQ(dialog.ShowModal(), 3);
    dialog.OnClose = nullptr;
    TEventLoop::Post([&] { dialog.Close(); });
    EXPECT_EQ(dialog.ShowModal(), 2);  // not the 3 of the run before
}

TEST(WindowSize, AClientAreaIsNeverLessThanAPixelAndTheScreenRectFollowsIt) {
    TWindow::TOptions o = Options("size");
    o.ClientWidth = 0;
    o.ClientHeight = -7;
    TWindow w(o);
    EXPECT_EQ(w.ClientWidth(), 1);
    EXPECT_EQ(w.ClientHeight(), 1);
    w.SetClientSize(230, 0);
    EXPECT_EQ(w.ClientWidth(), 230);
    EXPECT_EQ(w.ClientHeight(), 1);
    w.SetClientSize(-1, 120);
    EXPECT_EQ(w.ClientWidth(), 1);
    EXPECT_EQ(w.ClientHeight(), 120);
    w.SetClientSize(210, 95);
    w.Show();
    const platform::TRect r = w.ScreenRect();
    EXPECT_EQ(r.Width(), 210);
    EXPECT_EQ(r.Height(), 95);
    w.Hide();
}

constexpr platform::TArgb kRed = 0xFFFF0000;

platform::TImage Framed(const platform::TRectF& rect, float width) {
    platform::TImage image(12, 9, 0);
    auto canvas = platform::CreateImageCanvas(image);
    canvas->FrameRect(rect, kRed, width);
    canvas->Flush();
    return image;
}

// The pixels of `image` as rows of '#' (the frame's colour) and '.' (untouched).
std::vector<std::string> Rows(const platform::TImage& image) {
    std::vector<std::string> rows;
    for (int y = 0; y < image.Height(); ++y) {
        std::string row;
        for (int x = 0; x < image.Width(); ++x) {
            const platform::TArgb p = image.Pixel(x, y);
            row += p == kRed ? '#' : p == 0 ? '.' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(CanvasFrame, BandsLieInsideTheRectangleAndNeverOverlap) {
    EXPECT_EQ(Rows(Framed({1, 1, 10, 7}, 2)), (std::vector<std::string>{
                                                  "............",
                                                  ".##########.",
                                                  ".##########.",
                                                  ".##......##.",
                                                  ".##......##.",
                                                  ".##......##.",
                                                  ".##########.",
                                                  ".##########.",
                                                  "............",
                                              }));
    // A band wider than half the smaller side fills the rectangle, and goes no further.
    EXPECT_EQ(Rows(Framed({2, 3, 5, 4}, 9)), (std::vector<std::string>{
                                                 "............",
                                                 "............",
                                                 "............",
                                                 "..#####.....",
                                                 "..#####.....",
                                                 "..#####.....",
                                                 "..#####.....",
                                                 "............",
                                                 "............",
                                             }));
    const std::vector<std::string> blank(9, "............");
    EXPECT_EQ(Rows(Framed({2, 2, 0, 5}, 1)), blank);
    EXPECT_EQ(Rows(Framed({2, 2, 5, -1}, 1)), blank);
}

}  // namespace
