// Renders a scene into a PNG without a screen:
//   screenshot offer|page0|page1|page2|gallery|mask OUT.png
#include <cstdio>
#include <fstream>
#include <string>

#include "controls/masklayer.h"
#include "tools/screenshot/scenes.h"

namespace {

bool Save(const platform::TImage& image, const std::string& path) {
    std::string png;
    if (!platform::EncodePng(image, png)) return false;
    std::ofstream out(path, std::ios::binary);
    out.write(png.data(), std::streamsize(png.size()));
    return bool(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: screenshot offer|page0|page1|page2|gallery|mask OUT.png\n");
        return 2;
    }
    std::string scene = argv[1];
    platform::TImage image;
    if (scene == "offer" || scene == "mask") {
        demo::TOfferScene s;
        if (scene == "mask") {
            controls::TMaskLayer mask;
            mask.Cover(*s.Form);
            image = demo::Render(*s.Form);
        } else {
            image = demo::Render(*s.Form);
        }
    } else if (scene.rfind("page", 0) == 0 && scene.size() == 5) {
        controls::TRdAnimator anim;
        demo::BuildFeaturePages(anim, scene[4] - '0');
        anim.SetColor(controls::Rgb(24, 24, 24));
        image = platform::TImage(900, 300, 0xFF000000);
        auto canvas = platform::CreateImageCanvas(image);
        anim.PaintLayers(*canvas, 900, 300);
    } else if (scene == "gallery") {
        demo::TGallery gallery;
        image = demo::Render(*gallery.Form);
    } else {
        std::fprintf(stderr, "unknown scene %s\n", scene.c_str());
        return 2;
    }
    if (!Save(image, argv[2])) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
