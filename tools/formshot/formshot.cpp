// Renders the program's windows into PNGs without a screen:
//   formshot SCENE LANGUAGE OUT.png   one scene
//   formshot --sheet DIR              every scene in every language into DIR, and DIR/sheet.png,
//                                     the contact sheet of them all (scenes down, languages across)
//   formshot --docs DIR               the pictures the README shows
//   formshot --check-docs DIR         exit 1 when a picture in DIR is not what --docs makes now
// SCENE: page0 | page1 | page2 | download | confirm-cancel | confirm-error | whatsnew |
//        whatsnew-loading; LANGUAGE: english | german | russian | french | … (a built-in table).
// The offer window's pages are brought in by its own page cycle, frame by frame, on a clock of
// our own, so a picture shows a page the way it stands during its hold.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/canvas.h"
#include "tools/formshot/scenes.h"

namespace {

// The README's pictures: the offer, the download and the What's New window, in English.
struct TDocPicture {
    const char* File;
    const char* Scene;
};
const TDocPicture kDocs[] = {
    {"offer.png", "page0"}, {"downloading.png", "download"}, {"whatsnew.png", "whatsnew"}};

bool Shoot(const std::string& scene, const std::string& lang, platform::TImage& image) {
    std::string error;
    auto s = formshot::MakeScene(scene, lang, error);
    if (!s) {
        std::fprintf(stderr, "%s %s: %s\n", scene.c_str(), lang.c_str(), error.c_str());
        return false;
    }
    image = formshot::Render(s->Form());
    return true;
}

std::string Join(const std::string& dir, const std::string& file) {
    return dir.empty() ? file : dir + "/" + file;
}

int Sheet(const std::string& dir) {
    const auto& langs = formshot::Languages();
    const auto& scenes = formshot::Scenes();
    // Half size, each cell as large as the largest window, so that the sheet stays viewable.
    constexpr int kCellW = 450, kCellH = 300, kGap = 6;
    platform::TImage sheet(int(langs.size()) * (kCellW + kGap) + kGap,
                           int(scenes.size()) * (kCellH + kGap) + kGap, 0xFF404040);
    auto canvas = platform::CreateImageCanvas(sheet);
    int failed = 0;
    for (size_t r = 0; r < scenes.size(); ++r)
        for (size_t c = 0; c < langs.size(); ++c) {
            platform::TImage image;
            if (!Shoot(scenes[r], langs[c], image)) {
                ++failed;
                continue;
            }
            const std::string file = Join(dir, scenes[r] + "-" + langs[c] + ".png");
            if (!formshot::SavePng(image, file)) {
                std::fprintf(stderr, "cannot write %s\n", file.c_str());
                ++failed;
            }
            const float w = float(image.Width()) / 2, h = float(image.Height()) / 2;
            canvas->DrawImage(image,
                              {float(kGap + int(c) * (kCellW + kGap)),
                               float(kGap + int(r) * (kCellH + kGap)), w, h},
                              {0, 0, float(image.Width()), float(image.Height())});
        }
    canvas->Flush();
    canvas.reset();
    if (!formshot::SavePng(sheet, Join(dir, "sheet.png"))) ++failed;
    return failed == 0 ? 0 : 1;
}

int Docs(const std::string& dir, bool check) {
    int failed = 0;
    for (const TDocPicture& d : kDocs) {
        platform::TImage image;
        if (!Shoot(d.Scene, "english", image)) {
            ++failed;
            continue;
        }
        const std::string file = Join(dir, d.File);
        if (!check) {
            if (!formshot::SavePng(image, file)) {
                std::fprintf(stderr, "cannot write %s\n", file.c_str());
                ++failed;
            }
            continue;
        }
        std::ifstream in(file, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        const auto committed = platform::DecodePng(bytes.str());
        bool same = committed && committed->Width() == image.Width() &&
                    committed->Height() == image.Height();
        for (int y = 0; same && y < image.Height(); ++y)
            for (int x = 0; same && x < image.Width(); ++x)
                same = committed->Pixel(x, y) == image.Pixel(x, y);
        if (!same) {
            std::fprintf(stderr, "%s is not what the window shows now (run scripts/shots)\n",
                         file.c_str());
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string first = argc > 1 ? argv[1] : "";
    if (argc == 3 && first == "--sheet") return Sheet(argv[2]);
    if (argc == 3 && first == "--docs") return Docs(argv[2], false);
    if (argc == 3 && first == "--check-docs") return Docs(argv[2], true);
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: formshot SCENE LANGUAGE OUT.png | --sheet DIR | --docs DIR | "
                     "--check-docs DIR\n");
        return 2;
    }
    platform::TImage image;
    if (!Shoot(argv[1], argv[2], image)) return 2;
    if (!formshot::SavePng(image, argv[3])) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
