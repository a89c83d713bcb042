// The built-in pictures: every one decodes, and the ones with a fixed place have its size.
#include <gtest/gtest.h>

#include "platform/canvas.h"
#include "platform/image.h"
#include "platform/resources.h"

TEST(Pictures, EveryBuiltInPictureDecodes) {
    auto names = platform::ResourceNames("PNG");
    ASSERT_GE(names.size(), 30u);
    for (const auto& name : names) {
        auto img = platform::LoadPngResource(name);
        ASSERT_TRUE(img.has_value()) << name;
        EXPECT_FALSE(img->Empty()) << name;
    }
}

TEST(Pictures, SizesTheWindowsRelyOn) {
    struct TWant {
        const char* Name;
        int W, H;
    } wants[] = {{"BACKGROUND", 900, 600},
                 {"LOGO", 70, 70},
                 {"SHINE", 192 * 25, 40},
                 {"BUTTON_NORMAL", 192, 40},
                 {"BUTTON_DISABLED", 192, 40},
                 {"DOT_NORMAL", 24, 5},
                 {"CLOSE_HOVER", 34, 34},
                 {"DIALOG_CLOSE_NORMAL", 24, 24},
                 {"DIALOG_BUTTON_DOWN", 98, 30},
                 {"DIALOG_BACKGROUND", 380, 210},
                 {"PROGRESS_FILL", 900, 5},
                 {"WHATSNEW_MARKER", 7, 7},
                 {"LOADING", 48, 48}};
    for (const auto& w : wants) {
        auto img = platform::LoadPngResource(w.Name);
        ASSERT_TRUE(img.has_value()) << w.Name;
        EXPECT_EQ(img->Width(), w.W) << w.Name;
        EXPECT_EQ(img->Height(), w.H) << w.Name;
    }
}

TEST(Pictures, DecodeKeepsStraightAlphaAndRoundTripsThroughEncode) {
    platform::TImage img(3, 2, 0);
    img.SetPixel(0, 0, 0xFFFF0000);
    img.SetPixel(1, 0, 0x8000FF00);
    img.SetPixel(2, 1, 0x40102030);
    std::string png;
    ASSERT_TRUE(platform::EncodePng(img, png));
    auto back = platform::DecodePng(png);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(back->Pixel(1, 0), 0x8000FF00u);
    EXPECT_EQ(platform::AlphaOf(back->Pixel(2, 1)), 0x40);
    EXPECT_NEAR(platform::BlueOf(back->Pixel(2, 1)), 0x30, 4);  // premultiplied on the way
    EXPECT_EQ(back->Pixel(1, 1), 0u);
}

TEST(Pictures, BadBytesAreRefused) {
    EXPECT_FALSE(platform::DecodePng("").has_value());
    EXPECT_FALSE(platform::DecodePng("not a png at all").has_value());
    auto good = platform::FindResourceData("PNG", "LOGO");
    ASSERT_TRUE(good.has_value());
    std::string cut(good->substr(0, good->size() / 2));
    EXPECT_FALSE(platform::DecodePng(cut).has_value());
    EXPECT_FALSE(platform::LoadPngResource("NO_SUCH_PICTURE").has_value());
}
