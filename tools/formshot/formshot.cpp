// Renders one of the program's windows into a PNG without a screen:
//   formshot SCENE LANGUAGE OUT.png
// SCENE: page0 | page1 | page2 | download | confirm-cancel | confirm-error | whatsnew |
//        whatsnew-loading; LANGUAGE: english | german | russian | french | … (a built-in table).
// The offer window's pages are brought in by its own page cycle, frame by frame, on a clock of
// our own, so a picture shows a page the way it stands during its hold.
#include <cstdio>
#include <fstream>
#include <string>

#include "app/frm_confirm.h"
#include "app/frm_main.h"
#include "locale/frm_whatsnew.h"
#include "platform/eventloop.h"
#include "platform/resources.h"
#include "platform/text.h"

namespace {

bool Save(const platform::TImage& image, const std::string& path) {
    std::string png;
    if (!platform::EncodePng(image, png)) return false;
    std::ofstream out(path, std::ios::binary);
    out.write(png.data(), std::streamsize(png.size()));
    return bool(out);
}

platform::TImage Render(controls::TForm& form) {
    platform::TImage image(form.Width(), form.Height(), 0xFF000000);
    auto canvas = platform::CreateImageCanvas(image);
    form.PaintTo(*canvas);
    canvas->Flush();
    return image;
}

// "german" → "German", the product's way of naming a language.
std::string DisplayName(const std::string& lang) {
    std::string s = platform::LowerCase(lang);
    if (!s.empty()) s[0] = char(std::toupper(static_cast<unsigned char>(s[0])));
    return s;
}

// Runs the page cycle until `page` holds.
bool BringPage(app::TFormMain& form, uint32_t& now, int page) {
    for (int frame = 0; frame < 5000; ++frame) {
        now += 33;
        form.Pages().FrameStep();
        if (form.Pages().CurrentPage == page && form.Pages().AnimPhase == 3) return true;
        if (form.Pages().AnimPhase == 3) now += 9000;  // skip the hold of the other pages
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: formshot SCENE LANGUAGE OUT.png\n");
        return 2;
    }
    const std::string scene = argv[1], lang = argv[2], out = argv[3];
    const std::string table = platform::UpperCase(lang);
    const auto data = platform::FindResourceData("LANG", table);
    if (!data) {
        std::fprintf(stderr, "no built-in table %s\n", table.c_str());
        return 2;
    }
    locale::TLeapgateLang texts;
    texts.LoadFromText(*data);

    platform::TImage image;
    if (scene.rfind("page", 0) == 0 || scene == "download") {
        app::TFormMain form;
        uint32_t now = 100000;
        form.Texts = &texts;
        form.Data.NewVersion = "6.4.0.123";
        form.ProductLanguage = [&] { return DisplayName(lang); };
        form.TableName = [&] { return table; };
        form.TickCount = [&] { return now; };
        form.Pause = [](uint32_t) {};
        form.RecordShow = nullptr;
        form.FormShow();
        form.tmrShine.SetEnabled(false);
        form.animMain.SetAnimate(false);
        const int page = scene == "download" ? 0 : scene[4] - '0';
        if (!BringPage(form, now, page)) {
            std::fprintf(stderr, "page %d never came\n", page);
            return 1;
        }
        if (scene == "download") {
            form.ShowDownloadControls(true);
            form.ShowOfferControls(false);
            form.ProDownInfo.SetPosition(37);
            form.UpdateSpeedText(37, 1572864, 52428800, 19398656);
        }
        image = Render(form);
    } else if (scene == "confirm-cancel" || scene == "confirm-error") {
        app::TfrmConfirm dialog(nullptr, texts);
        dialog.SetMode(scene == "confirm-error" ? 1 : 0);
        image = Render(dialog);
    } else if (scene == "whatsnew" || scene == "whatsnew-loading") {
        locale::TformWhatsNew w(nullptr, texts);
        const std::string name = DisplayName(lang);
        w.HistorySource = [name] { return locale::LoadHistoryFor(name); };
        w.HistoryFileSource = [] { return std::string(); };
        w.SettleMs = 0;
        w.FormShow();
        if (scene == "whatsnew" &&
            !platform::TEventLoop::RunUntil([&] { return w.Loaded(); }, 15000)) {
            std::fprintf(stderr, "the history never came\n");
            return 1;
        }
        image = Render(w);
    } else {
        std::fprintf(stderr, "unknown scene %s\n", scene.c_str());
        return 2;
    }
    if (!Save(image, out)) {
        std::fprintf(stderr, "cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
