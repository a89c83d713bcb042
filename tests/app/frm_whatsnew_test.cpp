// The What's New window: its layout and texts, the loading and empty states, the ten-second
// fall-back to the history file, closing while the loader runs, and the time-line drawing.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "locale/frm_whatsnew.h"
#include "platform/clock.h"
#include "platform/eventloop.h"
#include "platform/file.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "tests/controls/recording_canvas.h"
#include "tests/support/testenv.h"

using namespace locale;
using testcontrols::TRecordingCanvas;

namespace {

class TGate {
public:
    void Wait() {
        std::unique_lock<std::mutex> lock(FLock);
        FCond.wait(lock, [this] { return FOpen; });
    }
    void Open() {
        {
            std::lock_guard<std::mutex> lock(FLock);
            FOpen = true;
        }
        FCond.notify_all();
    }

private:
    std::mutex FLock;
    std::condition_variable FCond;
    bool FOpen = false;
};

class WhatsNew : public testing::Test {
protected:
    TLeapgateLang Texts;
    std::unique_ptr<TformWhatsNew> W;
    std::string File;

    void SetUp() override {
        if (const auto data = platform::FindResourceData("LANG", "ENGLISH"))
            Texts.LoadFromText(*data);
        W = std::make_unique<TformWhatsNew>(nullptr, Texts);
        W->SettleMs = 0;
        W->HistorySource = [] { return LoadHistoryFor("English"); };
        W->HistoryFileSource = [this] { return File; };
    }
    void TearDown() override { W.reset(); }
    bool WaitLoaded() {
        return platform::TEventLoop::RunUntil([this] { return W->Loaded(); }, 10000);
    }
    bool PanelInFront() const { return W->pnlbg.Controls().back() == &W->pnlLoad; }
};

TEST_F(WhatsNew, ArrangementTextsAndTheLoadingState) {
    W->FormShow();
    EXPECT_EQ(W->Width(), 800);
    EXPECT_EQ(W->Height(), 497);
    EXPECT_EQ(W->lblWhatsNew.Caption(), "What's New");
    EXPECT_EQ(W->lblWhatsNew.Font.Height, -26);
    EXPECT_EQ(W->lblWhatsNew.Left(), (800 - W->lblWhatsNew.Width()) / 2);
    EXPECT_EQ(W->lblWhatsNew.Top(), (117 - W->lblWhatsNew.Height()) / 2);
    EXPECT_EQ(W->btnclose.BoundsRect(), controls::RectWH(800 - 34 - 1, 1, 34, 34));
    EXPECT_EQ(W->btnclose.Hint, "Close");
    EXPECT_EQ(W->lv.BoundsRect(), controls::RectWH(1, 117, 798, 497 - 117 - 1));
    EXPECT_EQ(W->pnlLoad.BoundsRect(), controls::RectWH(0, 117, 800, 380));
    EXPECT_EQ(W->PaintBox.Left(), (800 - W->PaintBox.Width()) / 2);
    EXPECT_EQ(W->PaintBox.Top(), (380 - W->PaintBox.Height()) / 2);
    // Loading: the turning pointer in front, the label 10 pixels under the picture's place.
    EXPECT_TRUE(W->pnlLoad.Visible());
    EXPECT_TRUE(PanelInFront());
    EXPECT_TRUE(W->PaintBox.Visible());
    EXPECT_FALSE(W->imgloading.Visible());
    EXPECT_TRUE(W->lbLoading.Visible());
    EXPECT_EQ(W->lbLoading.Caption(), "Loading...");
    EXPECT_EQ(W->lbLoading.Top(), W->imgloading.Top() + W->imgloading.Height() + 10);
    EXPECT_EQ(W->lbLoading.Left(), (800 - W->lbLoading.Width()) / 2);
    EXPECT_TRUE(W->Spinner().Running());
    EXPECT_TRUE(W->TimerScan.Enabled());
    EXPECT_EQ(W->TimerScan.Interval(), 1000u);
    EXPECT_FALSE(W->Loaded());
    ASSERT_TRUE(WaitLoaded());
}

TEST_F(WhatsNew, LoadingTextOnlyWhenTheTableHasOne) {
    Texts.LoadFromText("[FormWhatNew]\nloading=   \ntitle=Neu\n");
    TformWhatsNew a(nullptr, Texts);
    a.ApplyTexts();
    EXPECT_EQ(a.lbLoading.Caption(), "Loading...");
    EXPECT_EQ(a.lblWhatsNew.Caption(), "Neu");
    Texts.LoadFromText("[FormWhatNew]\nloading=Laden\n");
    TformWhatsNew b(nullptr, Texts);
    b.ApplyTexts();
    EXPECT_EQ(b.lbLoading.Caption(), "Laden");
}

TEST_F(WhatsNew, TheLoadedHistoryBecomesTheTimeLine) {
    W->FormShow();
    ASSERT_TRUE(WaitLoaded());
    THistoryLines english = LoadHistoryFor("English");
    const THistoryView view = BuildHistoryView(english);
    EXPECT_EQ(W->lv.ItemCount(), int(view.Rows.size()));
    EXPECT_GT(W->lv.ItemCount(), 10);
    EXPECT_TRUE(W->lv.HasGroup(5));  // V6.4 … V6.0
    EXPECT_FALSE(W->lv.HasGroup(6));
    EXPECT_EQ(W->lv.Item(0).SubItems,
              (std::vector<std::string>{"", "\xE2\x97\x8F",
                                        "Optimized the process of driver automatic update."}));
    EXPECT_FALSE(W->pnlLoad.Visible());
    EXPECT_FALSE(W->PaintBox.Visible());
    EXPECT_FALSE(W->Spinner().Running());
    EXPECT_FALSE(W->TimedOut());
}

TEST_F(WhatsNew, AnEmptyHistoryLeavesAnEmptyDarkPanel) {
    // Only a title and an empty line: the list is emptied.
    W->HistorySource = [] {
        THistoryLines l{"Korvo Vantrel 6 Update History", ""};
        TrimHistory(l);
        return l;
    };
    W->FormShow();
    ASSERT_TRUE(WaitLoaded());
    EXPECT_EQ(W->lv.ItemCount(), 0);
    EXPECT_TRUE(W->pnlLoad.Visible());
    EXPECT_TRUE(PanelInFront());
    EXPECT_FALSE(W->lbLoading.Visible());
    EXPECT_FALSE(W->imgloading.Visible());
    EXPECT_FALSE(W->PaintBox.Visible());
}

TEST_F(WhatsNew, ASlowLoaderGivesWayToTheFileAndItsListIsDropped) {
    testsupport::TTempDir dir;
    File = dir.File("History.txt");
    // UTF-16 LE with a byte-order mark, as the product writes it.
    const std::u16string text = u"Title\r\n\r\nV9.9\r\n+ From the file & more.\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) bytes += {char(c & 0xFF), char(c >> 8)};
    ASSERT_TRUE(platform::WriteFileBytes(File, bytes));
    TGate gate;
    std::atomic<bool> lateLoadReturned{false};
    W->HistorySource = [&] {
        gate.Wait();
        lateLoadReturned = true;
        return THistoryLines{"V1.0", "+ Late."};
    };
    W->ScanLimitMs = 150;
    W->TimerScan.SetInterval(20);
    W->FormShow();
    ASSERT_TRUE(platform::TEventLoop::RunUntil([this] { return W->TimedOut(); }, 10000));
    EXPECT_FALSE(W->TimerScan.Enabled());
    EXPECT_TRUE(W->Loader()->Terminated());
    EXPECT_EQ(W->History(), (THistoryLines{"V9.9", "+ From the file && more."}));
    ASSERT_EQ(W->lv.ItemCount(), 1);
    EXPECT_EQ(W->lv.Item(0).SubItems[2], "From the file && more.");
    EXPECT_FALSE(W->pnlLoad.Visible());
    // The loader finishes after all: nothing of it reaches the window.
    gate.Open();
    ASSERT_TRUE(W->Loader()->WaitFor(10000));
    EXPECT_TRUE(lateLoadReturned);
    platform::TEventLoop::RunUntil([] { return false; }, 200);
    EXPECT_EQ(W->History().front(), "V9.9");
    EXPECT_EQ(W->lv.ItemCount(), 1);
    EXPECT_FALSE(W->Loaded());
}

TEST_F(WhatsNew, ASlowLoaderWithoutAFileEndsInTheEmptyPanel) {
    TGate gate;
    W->HistorySource = [&] {
        gate.Wait();
        return THistoryLines{"V1.0"};
    };
    W->ScanLimitMs = 100;
    W->TimerScan.SetInterval(20);
    W->FormShow();
    ASSERT_TRUE(platform::TEventLoop::RunUntil([this] { return W->TimedOut(); }, 10000));
    EXPECT_TRUE(W->History().empty());
    EXPECT_TRUE(W->pnlLoad.Visible());
    EXPECT_FALSE(W->lbLoading.Visible());
    gate.Open();
    // The gate must outlive the loader's wake-up from it.
    EXPECT_TRUE(W->Loader()->WaitFor(10000));
}

TEST_F(WhatsNew, ALoaderThatFinishesInTimeKeepsTheTimerFromTheFile) {
    testsupport::TTempDir dir;
    File = dir.File("History.txt");
    ASSERT_TRUE(platform::WriteFileBytes(File, "T\n\nV9.9\n+ File\n"));
    W->ScanLimitMs = 100;
    W->TimerScan.SetInterval(20);
    W->FormShow();
    ASSERT_TRUE(WaitLoaded());
    platform::TEventLoop::RunUntil([this] { return !W->TimerScan.Enabled(); }, 5000);
    EXPECT_FALSE(W->TimerScan.Enabled());
    EXPECT_FALSE(W->TimedOut());
    EXPECT_EQ(W->History().front(), "V6.4");
}

TEST_F(WhatsNew, ClosingWhileLoadingWaitsForTheLoaderOnDestruction) {
    std::atomic<bool> started{false}, returned{false};
    W->HistorySource = [&] {
        started = true;
        platform::SleepMs(300);
        returned = true;
        return THistoryLines{"V1.0", "+ Gone."};
    };
    W->FormShow();
    while (!started) platform::SleepMs(1);
    W->btncloseClick(W->btnclose);
    EXPECT_FALSE(W->TimerScan.Enabled());
    W.reset();  // FormDestroy
    EXPECT_TRUE(returned);
    // The loader's message, if it was posted, finds no window.
    platform::TEventLoop::RunUntil([] { return false; }, 100);
}

TEST_F(WhatsNew, VersionAndChangeRowsOfTheView) {
    W->ArrangeControls();
    W->LoaderDone(
        {"+ Before any version", "V2", "  ", "+ One & two", "Without plus", "V+ with plus"});
    EXPECT_TRUE(W->Loaded());
    ASSERT_EQ(W->lv.ItemCount(), 3);
    EXPECT_EQ(W->lv.Item(0).GroupId, 0);  // the predefined group
    EXPECT_EQ(W->lv.Item(1).GroupId, 1);
    EXPECT_EQ(W->lv.Item(1).SubItems[2], "One && two");
    EXPECT_EQ(W->lv.Item(2).GroupId, 2);  // "Without plus" opened group 2
    EXPECT_EQ(W->lv.Item(2).SubItems[2], "+ with plus");
    EXPECT_TRUE(W->lv.HasGroup(2));
    EXPECT_EQ(W->History()[3], "+ One && two");  // stored back doubled
}

// The recording canvas, with the rounds recorded too.
class TRowCanvas : public TRecordingCanvas {
public:
    using TRecordingCanvas::TRecordingCanvas;
    void FillEllipse(const platform::TRectF& r, platform::TArgb c) override {
        testcontrols::TCall call;
        call.Kind = "ellipse";
        call.Rect = r;
        call.Color = c;
        Calls.push_back(call);
    }
};

class WhatsNewRows : public WhatsNew {
protected:
    controls::TListGroup Group{1, "V6.4"};
    controls::TListItem Item;
    TRowCanvas Canvas{800, 42};
    bool Default = true;

    void Draw(bool header, int column, const std::string& text = "") {
        Item = {1, {"", "\xE2\x97\x8F", text}};
        controls::TListRow row{header, &Group, header ? nullptr : &Item, 0};
        Default = true;
        W->lvAdvancedCustomDrawSubItem(W->lv, Canvas, row, column, {0, 0, 798, 42}, Default);
    }
    int Area() const { return W->lv.Width() - 46 - 76; }
};

TEST_F(WhatsNewRows, VersionHeaderWithBarAndMarker) {
    W->ArrangeControls();
    Draw(true, 0);
    EXPECT_FALSE(Default);
    const auto fills = Canvas.Of("fill");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].Rect, (platform::TRectF{36, 0, 1, 43}));
    EXPECT_EQ(fills[0].Color, controls::Rgb(0x4D, 0x4D, 0x4D));
    const auto images = Canvas.Of("image");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].Rect, (platform::TRectF{33, 17, 7, 7}));
    const auto texts = Canvas.Of("text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Text, "V6.4");
    EXPECT_EQ(texts[0].Rect, (platform::TRectF{56, 0, 798 - 56, 42}));
    EXPECT_TRUE(texts[0].Format.NoWrap);
    EXPECT_EQ(texts[0].Format.Trimming, platform::TTrimming::EllipsisCharacter);
    EXPECT_EQ(texts[0].Format.LineAlign, platform::TTextAlign::Center);
    EXPECT_EQ(texts[0].Color, controls::Rgb(0xB3, 0xB3, 0xB3));
}

TEST_F(WhatsNewRows, BulletColumnAndOneLineText) {
    W->ArrangeControls();
    Draw(false, 1, "Fixed known bugs.");
    EXPECT_FALSE(Default);
    ASSERT_EQ(Canvas.Of("fill").size(), 1u);
    // The bullet: a round of half the font's size, centred between x 56 and 71.
    ASSERT_EQ(Canvas.Of("ellipse").size(), 1u);
    const platform::TRectF dot = Canvas.Of("ellipse")[0].Rect;
    EXPECT_EQ(dot.Width, 7);
    EXPECT_EQ(dot.X + dot.Width / 2, 56 + 15 / 2.0f);
    EXPECT_EQ(dot.Y + dot.Height / 2, 21);
    EXPECT_EQ(Canvas.Of("ellipse")[0].Color, controls::Rgb(0xB3, 0xB3, 0xB3));
    auto texts = Canvas.Of("text");
    EXPECT_TRUE(texts.empty());
    Canvas.Calls.clear();
    Draw(false, 2, "Fixed known bugs && more.");
    EXPECT_FALSE(Default);
    texts = Canvas.Of("text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Text, "Fixed known bugs & more.");  // one ampersand shows
    EXPECT_EQ(texts[0].Rect, (platform::TRectF{76, 0, float(Area()), 42}));
    EXPECT_TRUE(texts[0].Format.NoWrap);
    EXPECT_EQ(texts[0].Format.LineAlign, platform::TTextAlign::Center);
}

TEST_F(WhatsNewRows, WideTextsWrapOnTwoLinesAndVeryWideOnesAreCut) {
    W->ArrangeControls();
    const int chars = Area() / 7;  // the recording canvas's letters are 7 pixels wide
    std::string words;
    while (int(words.size()) < chars * 3 / 2) words += "word ";
    words = platform::Trim(words);
    Draw(false, 2, words);
    auto texts = Canvas.Of("text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Text, words);
    EXPECT_FALSE(texts[0].Format.NoWrap);
    EXPECT_EQ(texts[0].Rect, (platform::TRectF{76, (42 - 28) / 2, float(Area()), 28}));
    // Three times the area: cut near two thirds at a blank.
    std::string wide;
    while (int(wide.size()) < chars * 3) wide += "abcd ";
    wide = platform::Trim(wide);
    Canvas.Calls.clear();
    Draw(false, 2, wide);
    texts = Canvas.Of("text");
    ASSERT_EQ(texts.size(), 1u);
    const int width = int(wide.size()) * 7;
    EXPECT_EQ(texts[0].Text, ShortenToTwoLines(width, Area(), wide));
    EXPECT_EQ(texts[0].Text.substr(texts[0].Text.size() - 3), "...");
    EXPECT_LT(texts[0].Text.size(), wide.size() * 3 / 4);
}

}  // namespace
