// The scenes of the program's windows as the pictures, the contact sheet and the layout check
// see them: the offer window with each page held, the downloading look, the confirmation dialog
// in both modes and the What's New window, each in one of the built-in languages.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "tools/screenshot/scenes.h"

#include "app/frm_confirm.h"
#include "app/frm_main.h"
#include "locale/frm_whatsnew.h"
#include "platform/image.h"

namespace formshot {

// Built-in tables, lower case, and every scene a window can be seen in.
const std::vector<std::string>& Languages();
const std::vector<std::string>& Scenes();

// The product's name for the language of a table ("portugueseptbr" → "Portuguese (PT-BR)").
std::string ProductLanguage(const std::string& table);

class TScene {
public:
    virtual ~TScene() = default;
    virtual controls::TForm& Form() = 0;
    // The window of the scene, or nullptr when the scene shows another one.
    virtual app::TFormMain* Main() { return nullptr; }
    virtual app::TfrmConfirm* Confirm() { return nullptr; }
    virtual locale::TformWhatsNew* WhatsNew() { return nullptr; }
};

// The scene ready to be painted or measured; nullptr (and why in `error`) when it cannot be.
std::unique_ptr<TScene> MakeScene(const std::string& scene, const std::string& language,
                                  std::string& error);

// The form painted into a picture of its own size.
using demo::Render;  // a form painted into a picture of its size
bool SavePng(const platform::TImage& image, const std::string& path);

}  // namespace formshot
