// PNG decoding and encoding with GDI+.
// clang-format off
#include "platform/win32/gdiplus.h"
#include <shlwapi.h>
// clang-format on

#include "platform/image.h"

#include <cstring>
#include <vector>

namespace platform {
namespace {

bool PngEncoder(CLSID& clsid) {
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<TImage> DecodePng(std::string_view bytes) {
    static const char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (bytes.size() < 8 || std::memcmp(bytes.data(), kSignature, 8) != 0) return std::nullopt;
    if (!win32gui::EnsureGdiPlus()) return std::nullopt;
    IStream* stream =
        SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), UINT(bytes.size()));
    if (!stream) return std::nullopt;
    std::optional<TImage> result;
    {
        Gdiplus::Bitmap bmp(stream);
        if (bmp.GetLastStatus() == Gdiplus::Ok && bmp.GetWidth() > 0 && bmp.GetHeight() > 0) {
            TImage image(int(bmp.GetWidth()), int(bmp.GetHeight()));
            Gdiplus::BitmapData data{};
            data.Width = bmp.GetWidth();
            data.Height = bmp.GetHeight();
            data.Stride = INT(bmp.GetWidth() * 4);
            data.PixelFormat = PixelFormat32bppARGB;
            data.Scan0 = image.MutablePixels();
            Gdiplus::Rect rect(0, 0, INT(bmp.GetWidth()), INT(bmp.GetHeight()));
            if (bmp.LockBits(&rect, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                             PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
                bmp.UnlockBits(&data);
                result = std::move(image);
            }
        }
    }
    stream->Release();
    return result;
}

bool EncodePng(const TImage& image, std::string& out) {
    if (image.Empty() || !win32gui::EnsureGdiPlus()) return false;
    CLSID png;
    if (!PngEncoder(png)) return false;
    IStream* stream = SHCreateMemStream(nullptr, 0);
    if (!stream) return false;
    bool ok = false;
    {
        Gdiplus::Bitmap bmp(image.Width(), image.Height(), image.Width() * 4, PixelFormat32bppARGB,
                            reinterpret_cast<BYTE*>(const_cast<TArgb*>(image.Pixels())));
        if (bmp.Save(stream, &png, nullptr) == Gdiplus::Ok) {
            STATSTG st{};
            LARGE_INTEGER zero{};
            if (SUCCEEDED(stream->Stat(&st, STATFLAG_NONAME)) &&
                SUCCEEDED(stream->Seek(zero, STREAM_SEEK_SET, nullptr))) {
                out.resize(size_t(st.cbSize.QuadPart));
                ULONG read = 0;
                ok = SUCCEEDED(stream->Read(out.data(), ULONG(out.size()), &read)) &&
                     read == out.size();
            }
        }
    }
    stream->Release();
    return ok;
}

}  // namespace platform
