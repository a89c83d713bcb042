// One layer of the layer animator: an optional picture and an optional text with position,
// opacity, blur, rotation, scaling, pie clipping and colour keying, and mouse events.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/types.h"
#include "platform/canvas.h"
#include "platform/image.h"

namespace controls {

enum TRdTextAlignH { taLeftJustify, taRightJustify, taCenter };
enum TRdTextAlignV { taAlignTop, taAlignBottom, taVerticalCenter };
enum TRdEllipsis { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };

class TRdAniLayerCollection;

// Angles outside -360 … 360 lose their whole turns: 370 → 10, -725 → -5.
float ReduceAngle(float degrees);

class TRdAniLayer : public TObject {
public:
    explicit TRdAniLayer(TRdAniLayerCollection* collection);

    int Index() const;
    const std::string& Name() const { return FName; }
    void SetName(const std::string& v) { Set(FName, v); }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor v) { Set(FCursor, v); }
    int ImageLeft() const { return FImageLeft; }
    void SetImageLeft(int v) { Set(FImageLeft, v); }
    int ImageTop() const { return FImageTop; }
    void SetImageTop(int v) { Set(FImageTop, v); }
    int ImageWidth() const { return FImageWidth; }
    void SetImageWidth(int v) { Set(FImageWidth, v); }
    int ImageHeight() const { return FImageHeight; }
    void SetImageHeight(int v) { Set(FImageHeight, v); }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& v) { Set(FText, v); }
    TRdTextAlignH TextAlignH() const { return FTextAlignH; }
    void SetTextAlignH(TRdTextAlignH v) { Set(FTextAlignH, v); }
    TRdTextAlignV TextAlignV() const { return FTextAlignV; }
    void SetTextAlignV(TRdTextAlignV v) { Set(FTextAlignV, v); }
    int TextOffsetX() const { return FTextOffsetX; }
    void SetTextOffsetX(int v) { Set(FTextOffsetX, v); }
    int TextOffsetY() const { return FTextOffsetY; }
    void SetTextOffsetY(int v) { Set(FTextOffsetY, v); }
    int TextLeft() const { return FTextLeft; }
    void SetTextLeft(int v) { Set(FTextLeft, v); }
    int TextTop() const { return FTextTop; }
    void SetTextTop(int v) { Set(FTextTop, v); }
    int TextWidth() const { return FTextWidth; }
    void SetTextWidth(int v) { Set(FTextWidth, v); }
    int TextHeight() const { return FTextHeight; }
    void SetTextHeight(int v) { Set(FTextHeight, v); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { Set(FWordWrap, v); }
    TRdEllipsis Ellipsis() const { return FEllipsis; }
    void SetEllipsis(TRdEllipsis v) { Set(FEllipsis, v); }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v) { Set(FHint, v); }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v) { Set(FShowHint, v); }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& v) { Set(FFont, v); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { Set(FVisible, v); }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v) { Set(FStretch, v); }
    int16_t Inflate() const { return FInflate; }
    void SetInflate(int16_t v) { Set(FInflate, v); }
    // Where the picture goes in a drawing box of that size (all of it when stretched), and the
    // scale on each axis that Inflate adds about its centre (1 where it cannot apply). The
    // painter and the bounds of what it may touch both place the picture through these.
    TRectF PictureDestination(int boxWidth, int boxHeight) const;
    void InflateScale(float& sx, float& sy) const;
    uint8_t Opacity() const { return FOpacity; }
    void SetOpacity(uint8_t v) { Set(FOpacity, v); }
    uint8_t Blur() const { return FBlur; }
    void SetBlur(uint8_t v) { Set(FBlur, v); }
    float Rotate() const { return FRotate; }
    void SetRotate(float v) { Set(FRotate, ReduceAngle(v)); }
    float PieStart() const { return FPieStart; }
    void SetPieStart(float v) { Set(FPieStart, ReduceAngle(v)); }
    float PieSweep() const { return FPieSweep; }
    void SetPieSweep(float v) { Set(FPieSweep, ReduceAngle(v)); }
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor v) { Set(FTransparentColor, v); }
    uint8_t TransparentToler() const { return FTransparentToler; }
    void SetTransparentToler(uint8_t v) { Set(FTransparentToler, v); }
    int ZOrder() const { return Index(); }
    void SetZOrder(int v);
    // The picture; the layer keeps its own 32-bit ARGB copy for drawing.
    const platform::TImage& Image() const { return FImage; }
    void SetImage(const platform::TImage& image);
    void ClearImage() { SetImage(platform::TImage()); }
    const std::vector<platform::TImage>& Images() const { return FImages; }
    void SetImages(std::vector<platform::TImage> images);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    int ImageCount() const { return int(FImages.size()); }
    uint64_t Frames() const { return FFrames; }

    TNotifyEvent OnClick, OnMouseLeave, OnMouseEnter;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // Drawing-box rectangle of the picture, and the text bounds of the last paint.
    TRect ImageRect() const { return RectWH(FImageLeft, FImageTop, FImageWidth, FImageHeight); }
    TRect TextBounds() const { return FTextBounds; }
    void SetTextBounds(const TRect& r) { FTextBounds = r; }
    // Picture rectangle joined with the last text bounds, enlarged by Inflate on every side.
    TRect HitRect() const;

    // The last measurings of the layer's text (the paint measures up to twice), so that an
    // unchanged text is not laid out again on every frame.
    struct TTextMeasure {
        std::string Text;
        TFont Font;
        TRectF Rect;
        platform::TTextFormat Format;
        const void* Kind = nullptr;  // the canvas class that measured
        TRectF Result;
        bool Valid = false;
    };
    TTextMeasure& MeasureCache(int slot) { return FMeasure[slot & 1]; }

    // Counts the pictures the layer has been given, so that a copy made from one can tell
    // whether it is still the layer's.
    uint64_t PictureGeneration() const { return FPictureGeneration; }
    // What the animator keeps of the layer between paints: its picture prepared for the blur,
    // opacity and colour key it was last drawn with (with the drawing backend's native form of
    // that copy), the blurred picture the prepared one was made from, and the part of the drawing
    // box the layer covered when its changes were last handed to the window.
    struct TPrepared {
        uint64_t Picture = 0;
        uint8_t Blur = 0, Opacity = 255, Toler = 0;
        TColor Key = clNone;
        platform::TImage Image;
        bool Valid = false;
        bool Matches(uint64_t picture, uint8_t blur, uint8_t opacity, TColor key,
                     uint8_t toler) const {
            return Valid && Picture == picture && Blur == blur && Opacity == opacity &&
                   Key == key && Toler == toler;
        }
    };
    struct TPaintCache {
        TPrepared Blurred, Prepared;
        TRect Shown;
        bool Pending = false;  // changed since its part was last invalidated
    };
    TPaintCache& PaintCache() { return FPaintCache; }

private:
    template <class T, class V>
    void Set(T& field, const V& value) {
        if (field == value) return;
        field = value;
        Changed();
    }
    void Changed();

    TRdAniLayerCollection* FCollection;
    std::string FName;
    TCursor FCursor = TCursor::Default;
    int FImageLeft = 0, FImageTop = 0, FImageWidth = 0, FImageHeight = 0;
    std::string FText;
    TRdTextAlignH FTextAlignH = taCenter;
    TRdTextAlignV FTextAlignV = taVerticalCenter;
    int FTextOffsetX = 0, FTextOffsetY = 0, FTextLeft = 0, FTextTop = 0;
    int FTextWidth = -1, FTextHeight = -1;
    bool FWordWrap = false;
    TRdEllipsis FEllipsis = epNone;
    std::string FHint;
    bool FShowHint = false;
    TFont FFont;
    bool FVisible = true, FAutoSize = true, FStretch = false;
    int16_t FInflate = 0;
    uint8_t FOpacity = 255, FBlur = 0;
    float FRotate = 0, FPieStart = 0, FPieSweep = 360;
    TColor FTransparentColor = clNone;
    uint8_t FTransparentToler = 0;
    platform::TImage FImage;
    std::vector<platform::TImage> FImages;
    int FImageIndex = -1;
    uint64_t FFrames = 0;
    TRect FTextBounds;
    TTextMeasure FMeasure[2];
    uint64_t FPictureGeneration = 0;
    TPaintCache FPaintCache;
};

class TRdAnimator;

class TRdAniLayerCollection {
public:
    explicit TRdAniLayerCollection(TRdAnimator* owner) : FOwner(owner) {}
    TRdAniLayer& Add();
    int Count() const { return int(FItems.size()); }
    TRdAniLayer& operator[](int i) { return *FItems.at(size_t(i)); }
    const TRdAniLayer& operator[](int i) const { return *FItems.at(size_t(i)); }
    int IndexOf(const TRdAniLayer* layer) const;
    void Move(int from, int to);
    void Clear();
    TRdAnimator* Owner() const { return FOwner; }
    // The collection itself changed (a layer added, all cleared).
    void Changed();
    // One layer's properties changed.
    void LayerChanged(TRdAniLayer& layer);

private:
    TRdAnimator* FOwner;
    std::vector<std::unique_ptr<TRdAniLayer>> FItems;
};

}  // namespace controls
