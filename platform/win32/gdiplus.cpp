// GDI+ start-up and the shared helpers.
#include "platform/win32/gdiplus.h"

#include <map>
#include <mutex>
#include <tuple>

#include "platform/win32/wide.h"

namespace platform::win32gui {

bool EnsureGdiPlus() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        // Never shut down: pictures and fonts may live until the process ends.
        ok = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    });
    return ok;
}

Gdiplus::Bitmap* NativeBitmap(const TImage& image) {
    auto& cache = image.NativeCache();
    if (!cache) {
        EnsureGdiPlus();
        auto* bmp = new Gdiplus::Bitmap(
            image.Width(), image.Height(), image.Width() * 4, PixelFormat32bppARGB,
            reinterpret_cast<BYTE*>(const_cast<TArgb*>(image.Pixels())));
        cache =
            std::shared_ptr<void>(bmp, [](void* p) { delete static_cast<Gdiplus::Bitmap*>(p); });
    }
    return static_cast<Gdiplus::Bitmap*>(cache.get());
}

Gdiplus::Font* CachedFont(const TFont& font) {
    // Fonts are made once per description: making one costs more than drawing a short text.
    static std::mutex lock;
    static std::map<std::tuple<std::string, float, bool, bool, bool>,
                    std::unique_ptr<Gdiplus::Font>>
        fonts;
    std::lock_guard<std::mutex> guard(lock);
    auto key =
        std::make_tuple(font.Face(), font.EmPixels(), font.Bold, font.Italic, font.Underline);
    auto it = fonts.find(key);
    if (it == fonts.end()) {
        if (fonts.size() > 256) fonts.clear();
        it = fonts.emplace(key, MakeFont(font)).first;
    }
    return it->second.get();
}

std::unique_ptr<Gdiplus::Font> MakeFont(const TFont& font) {
    EnsureGdiPlus();
    int style = Gdiplus::FontStyleRegular;
    if (font.Bold) style |= Gdiplus::FontStyleBold;
    if (font.Italic) style |= Gdiplus::FontStyleItalic;
    if (font.Underline) style |= Gdiplus::FontStyleUnderline;
    std::wstring name = Wide(font.Face());
    Gdiplus::FontFamily family(name.c_str());
    if (family.GetLastStatus() != Gdiplus::Ok) {
        std::wstring fallback = Wide(DefaultFontFace());
        Gdiplus::FontFamily other(fallback.c_str());
        if (other.GetLastStatus() == Gdiplus::Ok)
            return std::make_unique<Gdiplus::Font>(&other, font.EmPixels(), style,
                                                   Gdiplus::UnitPixel);
        return std::make_unique<Gdiplus::Font>(Gdiplus::FontFamily::GenericSansSerif(),
                                               font.EmPixels(), style, Gdiplus::UnitPixel);
    }
    return std::make_unique<Gdiplus::Font>(&family, font.EmPixels(), style, Gdiplus::UnitPixel);
}

}  // namespace platform::win32gui
