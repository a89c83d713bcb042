// Sample scenes for the screenshot tool and the animator benchmark: the offer window's three
// feature pages as 43 animator layers, and a gallery of every control.
#pragma once
#include <memory>

#include "controls/animator.h"
#include "controls/form.h"
#include "controls/paintbox.h"
#include "controls/spinner.h"

namespace demo {

// Fills `anim` with 43 layers laid out like the offer window's pages (900 × 300 box); the
// layers of `page` are fully opaque, the others transparent.
void BuildFeaturePages(controls::TRdAnimator& anim, int page);

// A 900 × 600 window like the offer window: background, logo, title, page dots, button,
// and the animator on its paint box.
struct TOfferScene {
    TOfferScene();
    ~TOfferScene();
    std::unique_ptr<controls::TForm> Form;
    std::vector<std::unique_ptr<controls::TControl>> Controls;
    controls::TPaintBox* Box = nullptr;
    controls::TRdAnimator Anim;
};

// A form with one of each control in its typical states.
struct TGallery {
    TGallery();
    ~TGallery();
    std::unique_ptr<controls::TForm> Form;
    std::vector<std::unique_ptr<controls::TControl>> Controls;
    std::unique_ptr<controls::TSpinner> Spinner;  // goes before the controls
};

// A form painted into a picture of its size, on an opaque black ground.
platform::TImage Render(controls::TForm& form);

}  // namespace demo
