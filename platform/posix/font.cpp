// The program's face on Linux: Tahoma when fontconfig knows it, else the closest sans face.
#include "platform/font.h"

#include <pango/pangocairo.h>

#include <set>

#include "platform/text.h"

namespace platform {
namespace {

std::string ChooseFace() {
    PangoFontMap* map = pango_cairo_font_map_get_default();
    PangoFontFamily** families = nullptr;
    int count = 0;
    pango_font_map_list_families(map, &families, &count);
    std::set<std::string> names;
    for (int i = 0; i < count; ++i)
        names.insert(LowerCase(pango_font_family_get_name(families[i])));
    g_free(families);
    // Tahoma first; then faces of similar width and build, then whatever "Sans" maps to.
    for (const char* face : {"Tahoma", "Verdana", "DejaVu Sans", "Liberation Sans", "Arial",
                             "Noto Sans", "FreeSans"}) {
        if (names.count(LowerCase(face))) return face;
    }
    return "Sans";
}

}  // namespace

const std::string& DefaultFontFace() {
    static const std::string face = ChooseFace();
    return face;
}

}  // namespace platform
