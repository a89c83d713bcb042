#include "tools/screenshot/scenes.h"

#include "controls/imagebutton.h"
#include "controls/imagestrip.h"
#include "controls/label.h"
#include "controls/listview.h"
#include "controls/masklayer.h"
#include "controls/picture.h"
#include "controls/progressbar.h"
#include "controls/spinner.h"
#include "platform/canvas.h"

using namespace controls;

namespace demo {
namespace {

platform::TImage Pic(const char* name) {
    return platform::LoadPngResource(name).value_or(platform::TImage());
}

TRdAniLayer& Picture(TRdAnimator& a, const char* name, const char* res, int l, int t) {
    TRdAniLayer& layer = a.Layers().Add();
    layer.SetName(name);
    layer.SetImage(Pic(res));
    layer.SetImageLeft(l);
    layer.SetImageTop(t);
    return layer;
}

TRdAniLayer& Text(TRdAnimator& a, const char* name, const std::string& text, int l, int t, int w,
                  int height, TColor color, bool bold = false, bool wrap = false) {
    TRdAniLayer& layer = a.Layers().Add();
    layer.SetName(name);
    layer.SetText(text);
    layer.SetTextLeft(l);
    layer.SetTextTop(t);
    layer.SetTextWidth(w);
    layer.SetTextHeight(wrap ? 60 : -1);
    layer.SetTextAlignH(taLeftJustify);
    layer.SetTextAlignV(taAlignTop);
    layer.SetWordWrap(wrap);
    TFont f;
    f.Height = height;
    f.Bold = bold;
    f.Color = color;
    layer.SetFont(f);
    return layer;
}

const TColor kTitle = Rgb(238, 238, 238), kGrey = Rgb(130, 130, 130), kTag = Rgb(255, 138, 31);

}  // namespace

void BuildFeaturePages(TRdAnimator& a, int page) {
    a.Layers().Clear();
    // Page 0: layers 0 … 14.
    Picture(a, "p1Pic1", "P1PIC1", 44, 38);
    Picture(a, "p1Pic2", "P1PIC2", 44, 38);
    Picture(a, "p1Point1", "BULLET", 414, 21);
    Text(a, "p1Title", "Faster driver updates", 426, 16, -1, -20, kTitle, true);
    Text(a, "p1Tag", "Improved", 690, 21, -1, -12, kTag);
    Text(a, "p1Des",
         "Downloads run in parallel and resume where they stopped, so even large "
         "driver packages arrive in a fraction of the time.",
         426, 48, 400, -13, kGrey, false, true);
    Picture(a, "p1Table", "TABLE", 414, 146);
    Text(a, "p1TableDes1", "Scan time", 414, 203, 130, -13, kGrey).SetTextAlignH(taCenter);
    Text(a, "p1TableDes2", "Download", 414, 233, 130, -13, kGrey).SetTextAlignH(taCenter);
    const char* oldFig[] = {"Version 6.3", "45 s", "1×"};
    const char* newFig[] = {"Version 6.4", "12 s", "4×"};
    for (int i = 0; i < 3; ++i) {
        int top = 146 + (i == 0 ? 25 : i == 1 ? 58 : 88) - 7;
        TRdAniLayer& o = Text(a, "p1Old", oldFig[i], 544, top, 130, -13, kGrey);
        o.SetTextAlignH(taCenter);
    }
    for (int i = 0; i < 3; ++i) {
        int top = 146 + (i == 0 ? 16 : i == 1 ? 58 : 88) - 7;
        TRdAniLayer& n = Text(a, "p1New", newFig[i], 678, top, 144, -13,
                              i == 0 ? kTitle : Rgb(90, 168, 255), i == 0);
        n.SetTextAlignH(taCenter);
    }
    // Page 1: layers 15 … 30.
    Picture(a, "p2Pic1", "P2PIC1", 44, 38);
    Picture(a, "p2Pic2", "P2PIC2", 44, 38);
    const char* titles1[] = {"Game mode", "Offline scan", "Driver backup"};
    int tops1[] = {0, 106, 208};
    for (int r = 0; r < 3; ++r) {
        Picture(a, "p2Point", "BULLET", 414, tops1[r] + 15);
        Text(a, "p2Title", titles1[r], 426, tops1[r] + 10, -1, -18, kTitle, true);
        if (r < 2) {
            TRdAniLayer& badge = Picture(a, "p2TagPic", "BADGE", 560, tops1[r] + 13);
            badge.SetImageWidth(38);
            Text(a, "p2Tag", "New", 561, tops1[r] + 13, 36, -11, clWhite).SetTextAlignH(taCenter);
        } else {
            Text(a, "p2Tag3", "Improved", 570, tops1[r] + 13, -1, -12, kTag);
        }
        Text(a, "p2Des",
             "Keeps your system quiet and fast while you play or work, and restores "
             "every driver with one click.",
             426, tops1[r] + 38, 410, -13, kGrey, false, true);
    }
    // Page 2: layers 31 … 42.
    Picture(a, "p3Pic1", "P3PIC1", 44, 38);
    Picture(a, "p3Pic2", "P3PIC2", 44, 38);
    const char* titles2[] = {"Smarter schedule", "Cleaner history"};
    int tops2[] = {20, 126};
    for (int r = 0; r < 2; ++r) {
        Picture(a, "p3Point", "BULLET", 414, tops2[r] + 15);
        Text(a, "p3Title", titles2[r], 426, tops2[r] + 10, -1, -18, kTitle, true);
        Text(a, "p3Tag", "Improved", 600, tops2[r] + 13, -1, -12, kTag);
        Text(a, "p3Des",
             "Checks for new drivers at the moment that suits you and keeps a clear "
             "record of every change it made.",
             426, tops2[r] + 38, 410, -13, kGrey, false, true);
    }
    TRdAniLayer& line = Picture(a, "p3Line", "PROGRESS_BACK", 426, 242);
    line.SetImageWidth(160);
    line.SetImageHeight(1);
    TRdAniLayer& link =
        Text(a, "p3Btn", "Check more new features", 426, 224, -1, -13, Rgb(112, 112, 112));
    link.SetCursor(TCursor::Hand);
    int first[] = {0, 15, 31}, last[] = {14, 30, 42};
    for (int i = 0; i < a.Layers().Count(); ++i)
        a.Layers()[i].SetOpacity(i >= first[page] && i <= last[page] ? 255 : 0);
}

TOfferScene::TOfferScene() : Form(std::make_unique<TForm>(900, 600, "Vantrel Updater")) {
    auto add = [this](auto* c) {
        Controls.emplace_back(c);
        c->SetParent(Form.get());
        return c;
    };
    auto* bg = add(new TPicture);
    bg->SetBounds(0, 0, 900, 600);
    bg->LoadResource("BACKGROUND");
    auto* logo = add(new TPicture);
    logo->SetBounds(54, 20, 70, 70);
    logo->LoadResource("LOGO");
    auto* title = add(new TLabel);
    title->Font.Height = -26;
    title->SetBounds(142, 28, 700, 0);
    title->SetCaption("Vantrel 6.4 is ready");
    auto* des = add(new TLabel);
    des->Font.Height = -12;
    des->Font.Color = Rgb(130, 130, 130);
    des->EndEllipsis = true;
    des->SetBounds(142, title->Top() + title->Height() + 5, 880 - 142, 0);
    des->SetCaption("Version 6.4.0.123 brings faster downloads, game mode && a cleaner history.");
    auto* close = add(new TImageButton);
    close->SetBounds(865, 1, 34, 34);
    close->LoadPictures("CLOSE");
    for (int i = 0; i < 3; ++i) {
        auto* dot = add(new TImageButton);
        dot->SetBounds(406 + 32 * i, 475, 24, 5);
        dot->LoadPictures("DOT");
        dot->SetEnabled(i != 0);
    }
    auto* up = add(new TImageButton);
    up->SetBounds(354, 536, 192, 40);
    up->LoadPictures("BUTTON");
    up->Font.Height = -18;
    up->SetCaption("Upgrade Now");
    Box = add(new TPaintBox);
    Box->SetBounds(0, 142, 900, 300);
    BuildFeaturePages(Anim, 0);
    Anim.SetDrawBox(Box);
}

TOfferScene::~TOfferScene() {
    Anim.SetDrawBox(nullptr);
}

TGallery::~TGallery() {
    Spinner.reset();
}

TGallery::TGallery() {
    Form = std::make_unique<TForm>(800, 500, "Controls");
    TForm* form = Form.get();
    auto& keep = Controls;
    form->Color = Rgb(31, 31, 31);
    auto add = [&](auto* c) {
        keep.emplace_back(c);
        c->SetParent(form);
        return c;
    };
    auto* logo = add(new TPicture);
    logo->SetBounds(20, 20, 70, 70);
    logo->LoadResource("LOGO");
    auto* l1 = add(new TLabel);
    l1->SetBounds(110, 20, 0, 0);
    l1->Font.Height = -18;
    l1->SetCaption("Label && title");
    auto* l2 = add(new TLabel);
    l2->AutoSize = false;
    l2->EndEllipsis = true;
    l2->Font.Color = Rgb(130, 130, 130);
    l2->SetBounds(110, 50, 200, 16);
    l2->SetCaption("An end ellipsis cuts this long description short");
    auto* l3 = add(new TLabel);
    l3->WordWrap = true;
    l3->AutoSize = false;
    l3->Font.Height = -13;
    l3->Font.Color = Rgb(179, 179, 179);
    l3->SetBounds(330, 20, 220, 50);
    l3->SetCaption("Word wrap keeps a longer message inside its box on two lines.");
    auto* l4 = add(new TLabel);
    l4->SetBounds(110, 72, 0, 0);
    l4->SetCaption("Plain text and <a href=\"x\">a link</a> after it");
    const char* looks[] = {"Normal", "Hover", "Pressed", "Disabled"};
    for (int i = 0; i < 4; ++i) {
        auto* b = add(new TImageButton);
        b->SetBounds(20 + 196 * i, 110, 192, 40);
        platform::TImage pic = platform::LoadPngResource(i == 0   ? "BUTTON_NORMAL"
                                                         : i == 1 ? "BUTTON_HOVER"
                                                         : i == 2 ? "BUTTON_DOWN"
                                                                  : "BUTTON_DISABLED")
                                   .value_or(platform::TImage());
        b->SetPicture(TButtonLook::Normal, pic);
        b->Font.Height = -18;
        b->SetCaption(looks[i]);
        auto* c = add(new TImageButton);
        c->SetBounds(20 + 40 * i, 170, 34, 34);
        c->SetPicture(TButtonLook::Normal, platform::LoadPngResource(i == 0   ? "CLOSE_NORMAL"
                                                                     : i == 1 ? "CLOSE_HOVER"
                                                                     : i == 2 ? "CLOSE_DOWN"
                                                                              : "CLOSE_DISABLED")
                                               .value_or(platform::TImage()));
        auto* d = add(new TImageButton);
        d->SetBounds(200 + 32 * i, 185, 24, 5);
        d->LoadPictures("DOT");
        d->SetEnabled(i != 1);
    }
    auto* bar = add(new TImageProgressBar);
    bar->SetBounds(20, 225, 760, 5);
    bar->SetPosition(40);
    auto* strip = add(new TImageStrip);
    strip->SetBounds(360, 170, 192, 40);
    auto* under = add(new TImageButton);
    under->SetBounds(360, 170, 192, 40);
    under->LoadPictures("BUTTON");
    under->Font.Height = -18;
    under->SetCaption("Shine");
    strip->BringToFront();
    strip->SetStrip(platform::LoadPngResource("SHINE").value_or(platform::TImage()), 25);
    strip->SetFrameIndex(12);
    auto* list = add(new TListView);
    list->SetBounds(20, 250, 500, 230);
    list->AddColumn(0);
    list->AddColumn(15);
    list->AddColumn(-1);
    list->BeginUpdate();
    const char* versions[] = {"V6.4", "V6.3", "V6.2"};
    for (int g = 0; g < 3; ++g) {
        list->AddGroup(g + 1, versions[g]);
        list->AddItem(g + 1, {"", "\u25CF", "Optimized the process of driver automatic update."});
        list->AddItem(g + 1, {"", "\u25CF", "Fixed known bugs."});
    }
    list->EndUpdate();
    auto* box = add(new TPaintBox);
    box->SetBounds(560, 260, 80, 80);
    // The spinner paints through the box's OnPaint; the gallery shows its first frame.
    Spinner = std::make_unique<TSpinner>(
        *box, platform::LoadPngResource("LOADING").value_or(platform::TImage()));
    auto* mask = add(new TPicture);
    mask->SetBounds(560, 360, 220, 120);
    mask->LoadResource("DIALOG_BACKGROUND");
    mask->Stretch = true;
}

platform::TImage Render(controls::TForm& form) {
    platform::TImage image(form.Width(), form.Height(), 0xFF000000);
    auto canvas = platform::CreateImageCanvas(image);
    form.PaintTo(*canvas);
    canvas->Flush();
    return image;
}

}  // namespace demo
