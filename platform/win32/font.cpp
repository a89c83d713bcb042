// The program's face on Windows: Tahoma when installed, else the closest sans face.
#include "platform/font.h"

#include "platform/win32/gdiplus.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

bool Installed(const wchar_t* face) {
    Gdiplus::FontFamily family(face);
    return family.GetLastStatus() == Gdiplus::Ok && family.IsAvailable();
}

std::string ChooseFace() {
    if (!win32gui::EnsureGdiPlus()) return "Tahoma";
    for (const wchar_t* face : {L"Tahoma", L"Verdana", L"Microsoft Sans Serif", L"Arial"}) {
        if (Installed(face)) return Narrow(std::wstring(face));
    }
    return "Tahoma";
}

}  // namespace

const std::string& DefaultFontFace() {
    static const std::string face = ChooseFace();
    return face;
}

}  // namespace platform
