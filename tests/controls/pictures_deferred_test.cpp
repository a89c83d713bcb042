// Built-in pictures are sized from their header and decoded on first read: every reading path
// (pixels, one pixel, crop, writes, copies) sees exactly what a full decode gives, and bytes
// that only look like a PNG never give a picture of a wrong size.
#include <gtest/gtest.h>

#include <string>

#include "platform/image.h"
#include "platform/resources.h"

namespace {

platform::TImage Decoded(const std::string& name) {
    auto bytes = platform::FindResourceData("PNG", name);
    EXPECT_TRUE(bytes.has_value()) << name;
    return bytes ? platform::DecodePng(*bytes).value_or(platform::TImage()) : platform::TImage();
}

bool SamePixels(const platform::TImage& a, const platform::TImage& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    return true;
}

std::string Header(uint32_t width, uint32_t height) {
    std::string png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    for (uint32_t v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) png += char((v >> shift) & 0xFF);
    png += std::string("\x08\x06\0\0\0", 5);  // 8-bit RGBA, no interlace
    return png + std::string(4, '\0');        // a CRC that is not checked before decoding
}

}  // namespace

TEST(DeferredPictures, EveryBuiltInPictureReadsAsItsFullDecode) {
    for (const auto& name : platform::ResourceNames("PNG")) {
        SCOPED_TRACE(name);
        const platform::TImage full = Decoded(name);
        ASSERT_FALSE(full.Empty());
        // Size first, before any pixel was read, then every pixel.
        auto lazy = platform::LoadPngResource(name);
        ASSERT_TRUE(lazy.has_value());
        EXPECT_EQ(lazy->Width(), full.Width());
        EXPECT_EQ(lazy->Height(), full.Height());
        EXPECT_TRUE(SamePixels(*lazy, full));
    }
}

TEST(DeferredPictures, EveryReadingPathDecodesFirst) {
    const platform::TImage full = Decoded("LOGO");
    ASSERT_GT(full.Width(), 4);
    ASSERT_GT(full.Height(), 4);
    const int cx = full.Width() / 2, cy = full.Height() / 2;

    auto one = platform::LoadPngResource("LOGO");
    EXPECT_EQ(one->Pixel(cx, cy), full.Pixel(cx, cy));

    auto crop = platform::LoadPngResource("LOGO");
    EXPECT_TRUE(SamePixels(crop->Crop(1, 1, cx, cy), full.Crop(1, 1, cx, cy)));

    // A write into an undecoded picture keeps every other pixel of the picture.
    auto written = platform::LoadPngResource("LOGO");
    written->SetPixel(0, 0, 0x12345678);
    EXPECT_EQ(written->Pixel(0, 0), 0x12345678u);
    EXPECT_EQ(written->Pixel(cx, cy), full.Pixel(cx, cy));

    // Copies of an undecoded picture decode on their own, and a change to one is not seen by
    // the other.
    auto original = platform::LoadPngResource("LOGO");
    platform::TImage copy = *original;
    platform::TImage assigned;
    assigned = *original;
    copy.MutablePixels()[0] = 0;
    EXPECT_TRUE(SamePixels(*original, full));
    EXPECT_TRUE(SamePixels(assigned, full));
    EXPECT_EQ(copy.Pixel(cx, cy), full.Pixel(cx, cy));

    // A fill needs no decode but must not let the old pixels come back later.
    auto filled = platform::LoadPngResource("LOGO");
    filled->Fill(0xFF00FF00);
    EXPECT_EQ(filled->Pixel(cx, cy), 0xFF00FF00u);
    EXPECT_EQ(filled->Pixel(0, 0), 0xFF00FF00u);
}

TEST(DeferredPictures, HeadersThatCannotBeTrustedGiveNoPicture) {
    EXPECT_TRUE(platform::TImage::DeferredPng("").Empty());
    EXPECT_TRUE(platform::TImage::DeferredPng("not a png at all, but long enough").Empty());
    EXPECT_TRUE(platform::TImage::DeferredPng(Header(0, 10)).Empty());
    EXPECT_TRUE(platform::TImage::DeferredPng(Header(10, 0)).Empty());
    EXPECT_TRUE(platform::TImage::DeferredPng(Header(40000, 10)).Empty());
    EXPECT_TRUE(platform::TImage::DeferredPng(Header(0xFFFFFFFF, 0xFFFFFFFF)).Empty());
    EXPECT_TRUE(platform::TImage::DeferredPng(Header(7, 9).substr(0, 30)).Empty());
    // The first chunk must be the header.
    std::string other = Header(7, 9);
    other.replace(12, 4, "IDAT");
    EXPECT_TRUE(platform::TImage::DeferredPng(other).Empty());
}

TEST(DeferredPictures, AGoodHeaderOverBadDataReadsTransparentAtItsSize) {
    const std::string bytes = Header(7, 9) + "garbage where the pixels should be";
    platform::TImage img = platform::TImage::DeferredPng(bytes);
    ASSERT_EQ(img.Width(), 7);
    ASSERT_EQ(img.Height(), 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(img.Pixel(x, y), 0u);

    // A real picture cut after its header: the same.
    auto logo = platform::FindResourceData("PNG", "LOGO");
    ASSERT_TRUE(logo.has_value());
    const std::string cut(logo->substr(0, 60));
    platform::TImage part = platform::TImage::DeferredPng(cut);
    ASSERT_FALSE(part.Empty());
    EXPECT_EQ(part.Pixel(part.Width() - 1, part.Height() - 1), 0u);
}
