#include "tools/formshot/scenes.h"

#include <fstream>

#include "platform/eventloop.h"
#include "platform/resources.h"
#include "platform/text.h"

namespace formshot {

namespace {

locale::TLeapgateLang LoadTable(const std::string& table, bool& found) {
    locale::TLeapgateLang texts;
    const auto data = platform::FindResourceData("LANG", table);
    found = data.has_value();
    if (data) texts.LoadFromText(*data);
    return texts;
}

// Runs the page cycle on a clock of our own until `page` holds.
bool BringPage(app::TFormMain& form, uint32_t& now, int page) {
    for (int frame = 0; frame < 5000; ++frame) {
        now += 33;
        form.Pages().FrameStep();
        if (form.Pages().CurrentPage == page && form.Pages().AnimPhase == 3) return true;
        if (form.Pages().AnimPhase == 3) now += 9000;  // skip the hold of the other pages
    }
    return false;
}

class TMainScene : public TScene {
public:
    TMainScene(locale::TLeapgateLang texts, const std::string& table)
        : FTexts(std::move(texts)),
          FTable(platform::UpperCase(table)),
          FLanguage(ProductLanguage(table)) {
        FForm.Texts = &FTexts;
        FForm.Data.NewVersion = "6.4.0.123";
        FForm.ProductLanguage = [this] { return FLanguage; };
        FForm.TableName = [this] { return FTable; };
        FForm.TickCount = [this] { return FNow; };
        FForm.Pause = [](uint32_t) {};
        FForm.RecordShow = nullptr;
    }
    bool Prepare(int page, bool downloading) {
        FForm.FormShow();
        FForm.tmrShine.SetEnabled(false);
        FForm.animMain.SetAnimate(false);
        if (!BringPage(FForm, FNow, page)) return false;
        if (downloading) {
            FForm.ShowDownloadControls(true);
            FForm.ShowOfferControls(false);
            FForm.ProDownInfo.SetPosition(37);
            FForm.UpdateSpeedText(37, 1572864, 52428800, 19398656);
        }
        return true;
    }
    controls::TForm& Form() override { return FForm; }
    app::TFormMain* Main() override { return &FForm; }

private:
    locale::TLeapgateLang FTexts;
    std::string FTable, FLanguage;
    uint32_t FNow = 100000;
    app::TFormMain FForm;  // last: its hooks reach the fields above
};

class TConfirmScene : public TScene {
public:
    TConfirmScene(locale::TLeapgateLang texts, int mode)
        : FTexts(std::move(texts)), FDialog(nullptr, FTexts) {
        FDialog.SetMode(mode);
    }
    controls::TForm& Form() override { return FDialog; }
    app::TfrmConfirm* Confirm() override { return &FDialog; }

private:
    locale::TLeapgateLang FTexts;
    app::TfrmConfirm FDialog;
};

class TWhatsNewScene : public TScene {
public:
    TWhatsNewScene(locale::TLeapgateLang texts, const std::string& table)
        : FTexts(std::move(texts)), FWindow(nullptr, FTexts) {
        const std::string name = ProductLanguage(table);
        FWindow.HistorySource = [name] { return locale::LoadHistoryFor(name); };
        FWindow.HistoryFileSource = [] { return std::string(); };
        FWindow.SettleMs = 0;
    }
    bool Prepare(bool loaded) {
        FWindow.FormShow();
        return !loaded || platform::TEventLoop::RunUntil([&] { return FWindow.Loaded(); }, 15000);
    }
    controls::TForm& Form() override { return FWindow; }
    locale::TformWhatsNew* WhatsNew() override { return &FWindow; }

private:
    locale::TLeapgateLang FTexts;
    locale::TformWhatsNew FWindow;
};

}  // namespace

const std::vector<std::string>& Languages() {
    static const std::vector<std::string> all = {"english", "german",  "russian", "french",
                                                 "spanish", "italian", "dutch",   "portugueseptbr"};
    return all;
}

const std::vector<std::string>& Scenes() {
    static const std::vector<std::string> all = {
        "page0", "page1", "page2", "download", "confirm-cancel", "confirm-error", "whatsnew"};
    return all;
}

std::string ProductLanguage(const std::string& table) {
    const std::string lower = platform::LowerCase(table);
    if (lower == "portugueseptbr") return "Portuguese (PT-BR)";
    std::string s = lower;
    if (!s.empty()) s[0] = char(std::toupper(static_cast<unsigned char>(s[0])));
    return s;
}

std::unique_ptr<TScene> MakeScene(const std::string& scene, const std::string& language,
                                  std::string& error) {
    bool found = false;
    locale::TLeapgateLang texts = LoadTable(platform::UpperCase(language), found);
    if (!found) {
        error = "no built-in table " + platform::UpperCase(language);
        return nullptr;
    }
    if (scene.rfind("page", 0) == 0 || scene == "download") {
        const int page = scene == "download" ? 0 : scene.size() == 5 ? scene[4] - '0' : -1;
        if (page < 0 || page > 2) {
            error = "unknown scene " + scene;
            return nullptr;
        }
        auto s = std::make_unique<TMainScene>(std::move(texts), language);
        if (!s->Prepare(page, scene == "download")) {
            error = "page " + std::to_string(page) + " never came";
            return nullptr;
        }
        return s;
    }
    if (scene == "confirm-cancel" || scene == "confirm-error")
        return std::make_unique<TConfirmScene>(
            std::move(texts), scene == "confirm-error" ? app::TfrmConfirm::kModeError
                                                       : app::TfrmConfirm::kModeCancel);
    if (scene == "whatsnew" || scene == "whatsnew-loading") {
        auto s = std::make_unique<TWhatsNewScene>(std::move(texts), language);
        if (!s->Prepare(scene == "whatsnew")) {
            error = "the history never came";
            return nullptr;
        }
        return s;
    }
    error = "unknown scene " + scene;
    return nullptr;
}

bool SavePng(const platform::TImage& image, const std::string& path) {
    std::string png;
    if (!platform::EncodePng(image, png)) return false;
    std::ofstream out(path, std::ios::binary);
    out.write(png.data(), std::streamsize(png.size()));
    return bool(out);
}

}  // namespace formshot
