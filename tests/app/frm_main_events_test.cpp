// What the offer window does: its first and later shows, the page order driven through the
// window, the page dots, the What's New link, Upgrade Now, the shine, the tray and closing.
#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "platform/eventloop.h"
#include "platform/resources.h"

using namespace app;
using controls::TCursor;
using controls::TMouseButton;

namespace {

class FormMainEvents : public testing::Test {
protected:
    locale::TLeapgateLang Texts;
    uint32_t Now = 500000;
    int Records = 0, Confirms = 0, WhatsNews = 0, Starts = 0, Stops = 0, Finishes = 0;
    int ConfirmAnswer = kConfirmContinue;
    std::vector<std::string> Order;
    std::unique_ptr<TFormMain> Form;

    void SetUp() override {
        if (const auto data = platform::FindResourceData("LANG", "ENGLISH"))
            Texts.LoadFromText(*data);
        Form = std::make_unique<TFormMain>();
        TFormMain& f = *Form;
        f.Texts = &Texts;
        f.ProductLanguage = [] { return std::string("English"); };
        f.TableName = [] { return std::string("ENGLISH"); };
        f.TickCount = [this] { return Now; };
        f.Pause = [](uint32_t) {};
        f.RecordShow = [this] { ++Records; };
        f.ShowConfirm = [this](int mode) {
            EXPECT_EQ(mode, 0);
            ++Confirms;
            Order.push_back("confirm");
            return ConfirmAnswer;
        };
        f.ShowWhatsNew = [this] {
            ++WhatsNews;
            // While the window is up: the main window is covered and its pages stand still.
            EXPECT_TRUE(Form->rdmsklyrMaskLayer.Active());
            EXPECT_FALSE(Form->animMain.Animate());
        };
        f.StartDownload = [this] {
            ++Starts;
            EXPECT_FALSE(Form->btnUpgrade.Enabled());
            Form->ShowOfferControls(false);
        };
        f.StopDownload = [this] {
            ++Stops;
            Order.push_back("stop");
        };
        f.FinishAndReport = [this] {
            ++Finishes;
            Order.push_back("finish");
            EXPECT_TRUE(Form->ClosedByUser);
        };
    }
    void TearDown() override { Form.reset(); }

    // The first show, with the frames driven by the test rather than the frame clock.
    TFormMain& Shown() {
        Form->FormShow();
        Form->animMain.SetAnimate(false);
        return *Form;
    }
    void Frame() {
        Now += 33;
        Form->animMain.FrameStep();
    }
    int FramesUntil(int page, int phase, int limit = 2000) {
        for (int i = 1; i <= limit; ++i) {
            Frame();
            if (Form->Pages().CurrentPage == page && Form->Pages().AnimPhase == phase) return i;
        }
        return -1;
    }
    void Click(int x, int y) {
        Form->HandleMouseMove(0, x, y);
        Form->HandleMouseDown(TMouseButton::Left, 0, x, y);
        Form->HandleMouseUp(TMouseButton::Left, 0, x, y);
    }
    void Paint() {
        platform::TImage image(900, 600);
        auto canvas = platform::CreateImageCanvas(image);
        Form->PaintTo(*canvas);
    }
    // A point on the What's New link, in window coordinates.
    void LinkPoint(int& x, int& y) {
        const controls::TRect r = Form->Layer(42).HitRect();
        x = r.Left + 5;
        y = r.Top + r.Height() / 2 + TFormMain::kBoxTop;
    }
};

TEST_F(FormMainEvents, FirstShowPreparesOnceLaterShowsOnlyComeToTheFront) {
    TFormMain& f = *Form;
    f.FormShow();
    EXPECT_TRUE(f.animMain.Animate());
    f.animMain.SetAnimate(false);
    EXPECT_EQ(Records, 1);
    EXPECT_TRUE(f.FirstShowDone);
    EXPECT_TRUE(f.tmrShine.Enabled());
    EXPECT_EQ(f.tmrShine.Interval(), 5000u);
    EXPECT_EQ(f.Pages().CurrentPage, 0);
    EXPECT_EQ(f.Pages().AnimPhase, 1);
    EXPECT_FALSE(f.Dot(1).Enabled());
    EXPECT_TRUE(f.Dot(2).Enabled());
    EXPECT_EQ(f.lblTitle.Caption(), "Vantrel 6.3 is available");
    ASSERT_GT(FramesUntil(0, 3), 0);
    // Minimised while downloading, then restored from the tray: neither the record, nor the
    // texts, nor the page cycle start again.
    f.ShowDownloadControls(true);
    f.btnMinClick(f);
    EXPECT_TRUE(f.trayMain.Visible());
    f.tmrShine.SetEnabled(false);
    locale::TLeapgateLang other;
    other.LoadFromText("[FormMain]\nmainTitle=Other\n");
    f.Texts = &other;
    f.trayMainClick();
    EXPECT_FALSE(f.trayMain.Visible());
    EXPECT_EQ(Records, 1);
    EXPECT_EQ(f.lblTitle.Caption(), f.InstallTitle);
    EXPECT_EQ(f.Pages().CurrentPage, 0);
    EXPECT_EQ(f.Pages().AnimPhase, 3);
    EXPECT_TRUE(f.tmrShine.Enabled());
}

TEST_F(FormMainEvents, PagesFollowInTheirOrderThroughTheWindow) {
    TFormMain& f = Shown();
    for (int expected : {1, 2, 0, 1}) {
        ASSERT_GT(FramesUntil(f.Pages().CurrentPage, 3), 0);
        Now += 8001;
        const int page = f.Pages().CurrentPage;
        ASSERT_GT(FramesUntil(expected, 1), 0) << "after page " << page;
        for (int dot = 1; dot <= 3; ++dot) EXPECT_EQ(f.Dot(dot).Enabled(), dot != expected + 1);
    }
}

TEST_F(FormMainEvents, DotClickDuringTheHoldFadesOutFastAndShowsThatPage) {
    TFormMain& f = Shown();
    ASSERT_GT(FramesUntil(0, 3), 0);
    ASSERT_EQ(f.Layer(0).Opacity(), 255);
    Click(470 + 12, 477);               // the third dot
    EXPECT_TRUE(f.animMain.Animate());  // switched off around the change and on again
    f.animMain.SetAnimate(false);
    EXPECT_EQ(f.Pages().AnimPhase, 4);
    EXPECT_EQ(f.Pages().FadeOutStep, 15);
    EXPECT_EQ(f.Pages().CurrentPage, 1);
    Frame();
    EXPECT_EQ(f.Layer(0).Opacity(), 255 - 16);
    EXPECT_EQ(f.Layer(14).Opacity(), 255 - 16);
    ASSERT_GT(FramesUntil(2, 1, 20), 0);  // 255 / 16: sixteen frames
    EXPECT_EQ(f.Pages().PageFirstLayer, 31);
    EXPECT_FALSE(f.Dot(3).Enabled());
    EXPECT_TRUE(f.Dot(1).Enabled());
}

TEST_F(FormMainEvents, TheDotOfThePageOnShowDoesNothing) {
    TFormMain& f = Shown();
    ASSERT_GT(FramesUntil(0, 3), 0);
    Click(406 + 12, 477);
    EXPECT_FALSE(f.animMain.Animate());
    EXPECT_EQ(f.Pages().AnimPhase, 3);
}

TEST_F(FormMainEvents, LinkActsOnlyOnTheThirdPage) {
    TFormMain& f = Shown();
    Paint();  // the link's text bounds come from a paint
    int x, y;
    LinkPoint(x, y);
    ASSERT_FALSE(f.Layer(42).HitRect().IsEmpty());
    // Page 0: the link's look does not change and the cursor stays the default.
    f.HandleMouseMove(0, x, y);
    EXPECT_EQ(f.animMain.HotLayer(), &f.Layer(42));
    EXPECT_EQ(f.Layer(42).Font().Color, controls::Rgb(112, 112, 112));
    EXPECT_EQ(f.Layer(42).Cursor(), TCursor::Default);
    Click(x, y);
    EXPECT_EQ(WhatsNews, 0);
    EXPECT_FALSE(f.HistoryOpened);
    f.HandleMouseMove(0, 5, 5);
    // Page 2: white while hovered, grey after, the hand cursor stays.
    f.Pages().ShowNextPage(1);
    f.HandleMouseMove(0, x, y);
    EXPECT_EQ(f.Layer(42).Font().Color, controls::clWhite);
    EXPECT_EQ(f.Layer(41).Font().Color, controls::clWhite);
    EXPECT_EQ(f.Layer(42).Cursor(), TCursor::Hand);
    f.HandleMouseMove(0, 5, 5);
    EXPECT_EQ(f.Layer(42).Font().Color, controls::Rgb(130, 130, 130));
    EXPECT_EQ(f.Layer(41).Font().Color, controls::Rgb(130, 130, 130));
    EXPECT_EQ(f.Layer(42).Cursor(), TCursor::Hand);
    Click(x, y);
    EXPECT_EQ(WhatsNews, 1);
    EXPECT_TRUE(f.HistoryOpened);
    EXPECT_FALSE(f.rdmsklyrMaskLayer.Active());
    EXPECT_TRUE(f.animMain.Animate());
    f.animMain.SetAnimate(false);
}

TEST_F(FormMainEvents, EnteringTheDrawingBoxSetsTheLinkCursorByPage) {
    TFormMain& f = Shown();
    f.pbMainMouseEnter(f.pbMain);
    EXPECT_EQ(f.Layer(42).Cursor(), TCursor::Default);
    f.Pages().ShowNextPage(1);
    f.pbMainMouseEnter(f.pbMain);
    EXPECT_EQ(f.Layer(42).Cursor(), TCursor::Hand);
}

TEST_F(FormMainEvents, UpgradeNowStartsTheDownloadOnce) {
    TFormMain& f = Shown();
    Click(450, 556);
    EXPECT_EQ(Starts, 1);
    EXPECT_TRUE(f.UpgradeClicked);
    EXPECT_FALSE(f.tmrShine.Enabled());
    EXPECT_TRUE(f.btnUpgrade.Enabled());
    // The shine strip answers clicks like the button, but a second start never comes.
    f.imgShine.OnClick(f.imgShine);
    EXPECT_EQ(Starts, 1);
}

TEST_F(FormMainEvents, DecliningTheCloseLeavesTheWindowWithoutShine) {
    TFormMain& f = Shown();
    for (int answer : {kConfirmContinue, kConfirmClosed}) {
        ConfirmAnswer = answer;
        f.tmrShine.SetEnabled(true);
        Click(865 + 17, 18);
        EXPECT_FALSE(f.tmrShine.Enabled());
        EXPECT_FALSE(f.ClosedByUser);
    }
    EXPECT_EQ(Confirms, 2);
    EXPECT_EQ(Finishes, 0);
    EXPECT_EQ(Stops, 0);
}

TEST_F(FormMainEvents, ConfirmedCloseReportsAndStopsARunningDownload) {
    TFormMain& f = Shown();
    ConfirmAnswer = kConfirmCancelled;
    f.btnCloseClick(f.btnClose);
    EXPECT_TRUE(f.ClosedByUser);
    EXPECT_EQ(Stops, 0);  // nothing to stop before Upgrade Now
    EXPECT_EQ(Order, (std::vector<std::string>{"confirm", "finish"}));
    Order.clear();
    f.ClosedByUser = false;
    f.btnUpgradeClick(f.btnUpgrade);
    f.btnCloseClick(f.btnClose);
    EXPECT_EQ(Order, (std::vector<std::string>{"confirm", "stop", "finish"}));
}

TEST_F(FormMainEvents, ShineRunsItsFramesOverTheButtonAndPutsTheStripAway) {
    TFormMain& f = Shown();
    std::vector<int> frames;
    f.Pause = [&](uint32_t ms) {
        EXPECT_EQ(ms, 30u);  // 750 ms over 25 frames
        EXPECT_TRUE(f.imgShine.Visible());
        EXPECT_EQ(f.imgShine.BoundsRect(), f.btnUpgrade.BoundsRect());
        frames.push_back(f.imgShine.FrameIndex());
    };
    f.PlayShine();
    ASSERT_EQ(frames.size(), 25u);
    EXPECT_EQ(frames.front(), 0);
    EXPECT_EQ(frames.back(), 24);
    EXPECT_FALSE(f.imgShine.Visible());
    EXPECT_FALSE(f.imgShine.Enabled());
    EXPECT_EQ(f.imgShine.FrameIndex(), -1);
    EXPECT_EQ(f.Controls().front(), &f.imgShine);  // sent to the back
    // It stops at once when the timer is off, the window closing, or the button gone.
    frames.clear();
    f.Pause = [&](uint32_t) {
        frames.push_back(f.imgShine.FrameIndex());
        if (frames.size() == 3) f.tmrShine.SetEnabled(false);
    };
    f.PlayShine();
    EXPECT_EQ(frames.size(), 3u);
    frames.clear();
    f.tmrShine.SetEnabled(true);
    f.ShowOfferControls(false);
    f.PlayShine();
    EXPECT_TRUE(frames.empty());
    f.tmrShine.SetEnabled(false);
}

TEST_F(FormMainEvents, NoShineOverTheMaskOfTheWhatsNewWindow) {
    TFormMain& f = Shown();
    int frames = 0;
    f.Pause = [&](uint32_t) { ++frames; };
    f.rdmsklyrMaskLayer.Cover(f);
    f.PlayShine();
    EXPECT_EQ(frames, 0);
    EXPECT_FALSE(f.imgShine.Visible());
    f.rdmsklyrMaskLayer.Uncover();
    f.PlayShine();
    EXPECT_EQ(frames, 25);
    f.tmrShine.SetEnabled(false);
}

TEST_F(FormMainEvents, ShineCleansUpWhenInterrupted) {
    TFormMain& f = Shown();
    f.Pause = [](uint32_t) { throw std::runtime_error("interrupted"); };
    EXPECT_THROW(f.PlayShine(), std::runtime_error);
    EXPECT_FALSE(f.imgShine.Visible());
    EXPECT_EQ(f.imgShine.FrameIndex(), -1);
    EXPECT_FALSE(f.Shining());
    f.tmrShine.SetEnabled(false);
}

TEST_F(FormMainEvents, DownloadLookAndProgressText) {
    TFormMain& f = Shown();
    f.ShowDownloadControls(true);
    f.ShowOfferControls(false);
    EXPECT_TRUE(f.ProDownInfo.Visible());
    EXPECT_TRUE(f.btnMin.Visible());
    EXPECT_TRUE(f.lblSpeed.Visible());
    EXPECT_FALSE(f.btnUpgrade.Visible());
    EXPECT_EQ(f.lblTitle.Caption(),
              "Downloading Vantrel\xC2\xA0"
              "6.3");
    EXPECT_EQ(f.lblDes.Caption(), f.InstallDes);
    f.UpdateSpeedText(37.9, 1536.7, 52428800, 19398656);
    EXPECT_EQ(f.lblSpeed.Caption(), "Updating: 18.5 MB / 50 MB Speed: 1.5 KB/s - 37%");
    EXPECT_GT(f.lblSpeed.Width(), 100);
    f.ShowDownloadControls(false);
    EXPECT_FALSE(f.lblSpeed.Visible());
}

TEST_F(FormMainEvents, BarTimerTicksReachTheHandOff) {
    TFormMain& f = *Form;
    int ticks = 0;
    f.OnBarTimer = [&] {
        if (++ticks == 2) f.tmrBar.SetEnabled(false);
    };
    f.tmrBar.SetInterval(10);
    f.tmrBar.SetEnabled(true);
    EXPECT_TRUE(platform::TEventLoop::RunUntil([&] { return ticks >= 2; }, 5000));
}

}  // namespace
