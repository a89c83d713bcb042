// The download as a screen reader follows it: the offer window downloads the setup from a
// loopback server that holds back the second half of every range until the test lets it go;
// the progress bar's value is read through the window's tree (the Windows object tree where
// there is one, the window's own tree elsewhere) at every step of the bar and while the
// download waits, and is seen to rise to the complete value.
#include <gtest/gtest.h>

#include <atomic>

#include "app/frm_main.h"
#include "app/frm_main_view.h"
#include "app/handoff.h"
#include "download/md5.h"
#include "platform/eventloop.h"
#include "platform/file.h"
#include "platform/resources.h"
#include "tests/app/english_offer.h"
#include "tests/support/accessible_reader.h"
#include "tests/support/fakes.h"
#include "tests/support/faultserver.h"
#include "tests/support/scoped_env.h"
#include "tests/support/testenv.h"

using namespace app;
using platform::TEventLoop;

namespace {

constexpr long kRoleStaticText = 0x29, kRoleProgressBar = 0x30, kInvisible = 0x8000;

// What a screen reader finds of the download: the bar's value and the visible texts.
struct TDownloadRead {
    bool BarFound = false, BarVisible = false;
    std::string BarValue;
    std::vector<std::string> Texts;
};

TDownloadRead ReadDownload(TFormMain& f) {
    TDownloadRead out;
    if (testsupport::CanReadAccessibleTrees()) {
        const auto tree = testsupport::ReadClientTree(f.Window().NativeHandle());
        if (!tree) return out;
        for (const auto& c : tree->Children) {
            if (c.Role == kRoleProgressBar) {
                out.BarFound = true;
                out.BarVisible = !(c.State & kInvisible);
                out.BarValue = c.Value;
            } else if (c.Role == kRoleStaticText && !(c.State & kInvisible)) {
                out.Texts.push_back(c.Name);
            }
        }
        return out;
    }
    for (const auto& n : f.AccessibleTree()) {
        if (n.Role == controls::TAccessibleRole::ProgressBar) {
            out.BarFound = true;
            out.BarVisible = !(n.State & platform::kAccInvisible);
            out.BarValue = n.Value;
        } else if (n.Role == controls::TAccessibleRole::StaticText &&
                   !(n.State & platform::kAccInvisible)) {
            out.Texts.push_back(n.Name);
        }
    }
    return out;
}

// The program's own view of the window, with a screen reader looking at every step of the bar.
class TReadingView : public TFormMainView {
public:
    explicit TReadingView(TFormMain& form) : TFormMainView(form), FForm(form) {}
    void SetBarPosition(int position) override {
        TFormMainView::SetBarPosition(position);
        Reads.push_back(ReadDownload(FForm));
    }
    std::vector<TDownloadRead> Reads;

private:
    TFormMain& FForm;
};

bool Contains(const std::vector<std::string>& texts, const std::string& part) {
    for (const auto& t : texts)
        if (t.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(AccessibleDownload, ProgressIsReadRisingToCompleteDuringARealDownload) {
    if (!platform::TWindow::Available()) GTEST_SKIP() << "no display";
    testsupport::TTempDir temp;
    testsupport::TScopedTempFolder useTemp{temp.Path()};
    testsupport::TFakeLauncher launcher;
    testsupport::TScopedLauncher useLauncher{launcher};
    std::string content(400000, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 131 + 17);
    std::atomic<int> ranges{0};
    // Declared after what its handler reads: it stops before they go.
    testsupport::TFaultServer server;
    server.SetHandler([&](const testsupport::TRecordedRequest& r) {
        testsupport::TFaultResponse whole = testsupport::TFaultResponse::File(r, content);
        if (r.Range().empty() || whole.Actions.size() != 1) return whole;  // the length probe
        // Every range: its header and the first half of its bytes, the rest when released.
        const std::string bytes = whole.Actions[0].Bytes;
        const size_t body = bytes.find("\r\n\r\n") + 4;
        const size_t cut = body + (bytes.size() - body) / 2;
        testsupport::TFaultResponse held;
        held.Send(bytes.substr(0, cut)).Stall().Send(bytes.substr(cut));
        ++ranges;
        return held;
    });

    const locale::TLeapgateLang texts = testsupport::EnglishTexts();
    TFormMain f;
    testsupport::WireEnglishOffer(f, texts);
    f.Data.UpdateUrl = server.Url("/vt6.exe");
    f.Data.SetupParams = "/verysilent";
    f.Data.SetupMd5 = download::Md5OfBytes(content);
    f.Data.SetupSize = int64_t(content.size());
    TReadingView view(f);
    TInstallerHandoff handoff(view, f.Data);
    handoff.BarIntervalMs = 5;
    bool finished = false;
    view.OnFinish = [&] { finished = true; };
    f.FinishAndReport = [&] { finished = true; };
    f.StartDownload = [&] { handoff.StartDownload(); };
    f.ShowWindow();
    f.animMain.SetAnimate(false);
    f.tmrShine.SetEnabled(false);
    TEventLoop::RunUntil([] { return false; }, 100);

    // Upgrade Now, pressed as the screen reader presses it (Enter where there is no reader).
    if (testsupport::CanReadAccessibleTrees()) {
        const auto tree = testsupport::ReadClientTree(f.Window().NativeHandle());
        ASSERT_TRUE(tree.has_value());
        long id = 0;
        for (size_t i = 0; i < tree->Children.size(); ++i)
            if (tree->Children[i].Name == "Upgrade Now") id = long(i + 1);
        ASSERT_TRUE(testsupport::DoDefaultAction(f.Window().NativeHandle(), id));
    } else {
        f.HandleKeyDown(controls::TKey::Enter, 0);
    }
    ASSERT_TRUE(f.UpgradeClicked);

    // Half of every range is in: the bar climbs to half way and waits there with the download.
    ASSERT_TRUE(TEventLoop::RunUntil(
        [&] { return handoff.Pacer().Position() == 50 && handoff.Pacer().TargetPosition() == 50; },
        30000))
        << "bar at " << handoff.Pacer().Position() << ", ranges asked " << ranges.load();
    TEventLoop::RunUntil([] { return false; }, 100);
    EXPECT_EQ(ranges.load(), 4);
    EXPECT_FALSE(finished);
    EXPECT_TRUE(launcher.Launches.empty());
    // Asked at any moment while it waits, the reader hears half, in the bar and in the text.
    for (int i = 0; i < 2; ++i) {
        const TDownloadRead now = ReadDownload(f);
        ASSERT_TRUE(now.BarFound);
        EXPECT_TRUE(now.BarVisible);
        EXPECT_EQ(now.BarValue, "50%");
        EXPECT_TRUE(Contains(now.Texts, "50%")) << "the progress text";
        EXPECT_TRUE(Contains(now.Texts, f.InstallTitle));
    }
    if (testsupport::CanReadAccessibleTrees())
        testsupport::PrintSpoken("offer window while downloading (half way)",
                                 *testsupport::ReadClientTree(f.Window().NativeHandle()));
    const size_t readsWhileHeld = view.Reads.size();

    // The rest comes (a stall that began after one release is woken by the next).
    ASSERT_TRUE(TEventLoop::RunUntil(
        [&] {
            server.Release();
            return finished;
        },
        60000));
    ASSERT_EQ(launcher.Launches.size(), 1u);
    EXPECT_EQ(platform::ReadFileBytes(handoff.SetupPath()).value_or(""), content);

    // Every step of the bar was read as it was shown: 1 % to 100 %, never back.
    ASSERT_EQ(view.Reads.size(), 100u);
    EXPECT_EQ(readsWhileHeld, 50u);
    for (size_t i = 0; i < view.Reads.size(); ++i) {
        ASSERT_TRUE(view.Reads[i].BarFound) << i;
        EXPECT_TRUE(view.Reads[i].BarVisible) << i;
        EXPECT_EQ(view.Reads[i].BarValue, std::to_string(i + 1) + "%");
    }
    EXPECT_EQ(view.Reads.back().BarValue, "100%");
}
