// Opens the real offer window for a person or a script to drive:
//   formlive LANGUAGE [SPEED]
// SPEED (default 1) makes the pages' clock run that many times faster. Upgrade Now runs a
// pretend download; a confirmed close ends the program. One line per event on standard output:
//   shown | page N | whatsnew open | whatsnew closed | confirm R | upgrade | download P |
//   stop | finish close=C click=K his=H
#include <cstdio>
#include <string>

#include "app/frm_main.h"
#include "platform/clock.h"
#include "platform/eventloop.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "platform/window.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: formlive LANGUAGE [SPEED]\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::string table = platform::UpperCase(argv[1]);
    const uint32_t speed = argc > 2 ? uint32_t(std::max(1, std::atoi(argv[2]))) : 1;
    const auto data = platform::FindResourceData("LANG", table);
    if (!data || !platform::TWindow::Available()) {
        std::fprintf(stderr, "no table %s or no display\n", table.c_str());
        return 2;
    }
    locale::TLeapgateLang texts;
    texts.LoadFromText(*data);

    app::TFormMain form;
    form.Texts = &texts;
    form.Data.NewVersion = "6.4.0.123";
    form.ProductLanguage = [&] { return std::string(argv[1]); };
    form.TableName = [&] { return table; };
    form.TickCount = [speed] { return platform::Clock().TickCount() * speed; };
    form.RecordShow = nullptr;  // no settings written by a demonstration

    int lastPage = -1;
    auto frame = form.animMain.OnAnimated;
    form.animMain.OnAnimated = [&](controls::TObject& s) {
        frame(s);
        if (form.Pages().AnimPhase == 3 && form.Pages().CurrentPage != lastPage) {
            lastPage = form.Pages().CurrentPage;
            std::printf("page %d\n", lastPage);
        }
    };
    auto whatsNew = form.ShowWhatsNew;
    form.ShowWhatsNew = [&] {
        std::printf("whatsnew open\n");
        whatsNew();
        std::printf("whatsnew closed\n");
    };
    auto confirm = form.ShowConfirm;
    form.ShowConfirm = [&](int mode) {
        const int r = confirm(mode);
        std::printf("confirm %d\n", r);
        return r;
    };
    const int64_t total = 52428800;
    form.StartDownload = [&] {
        std::printf("upgrade\n");
        form.ShowDownloadControls(true);
        form.ShowOfferControls(false);
        form.UpdateSpeedText(0, 0, total, 0);
        form.tmrBar.SetEnabled(true);
    };
    form.OnBarTimer = [&] {
        const int p = std::min(100, form.ProDownInfo.Position() + 5);
        form.ProDownInfo.SetPosition(p);
        form.UpdateSpeedText(p, total / 25, total, total * p / 100);
        std::printf("download %d\n", p);
        if (p == 100) form.tmrBar.SetEnabled(false);
    };
    form.StopDownload = [&] {
        std::printf("stop\n");
        form.tmrBar.SetEnabled(false);
    };
    form.FinishAndReport = [&] {
        std::printf("finish close=%d click=%d his=%d\n", int(form.ClosedByUser),
                    int(form.UpgradeClicked), int(form.HistoryOpened));
        form.HideWindow();
        platform::TEventLoop::Quit();
    };
    form.OnClose = [] { platform::TEventLoop::Quit(); };
    form.ShowWindow();
    std::printf("shown\n");
    platform::TEventLoop::Run();
    form.animMain.SetAnimate(false);
    return 0;
}
