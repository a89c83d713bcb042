// A canvas that records what is drawn, with a predictable text metric: every character is
// 7 pixels wide and a line is 14 pixels high; wrapped text breaks into as many lines as the
// rectangle's width needs.
#pragma once
#include <cmath>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace testcontrols {

struct TCall {
    std::string Kind;  // "fill", "image", "pie", "text"
    platform::TRectF Rect, Source, Texture;
    platform::TTransform Transform;
    float Start = 0, Sweep = 0;
    platform::TArgb Color = 0;
    std::string Text;
    platform::TTextFormat Format;
    platform::TRectF Clip;
    const platform::TImage* Image = nullptr;
    platform::TArgb FirstPixel = 0;
};

class TRecordingCanvas : public platform::TCanvas {
public:
    static constexpr float kCharW = 7, kLineH = 14;
    std::vector<TCall> Calls;
    platform::TRenderQuality Quality;
    int Depth = 0;

    TRecordingCanvas(int w = 900, int h = 300) : FW(w), FH(h) {
        FClip = {0, 0, float(w), float(h)};
    }
    int Width() const override { return FW; }
    int Height() const override { return FH; }
    void Save() override {
        FStack.push_back({FClip, FTransform});
        ++Depth;
    }
    void Restore() override {
        FClip = FStack.back().Clip;
        FTransform = FStack.back().Transform;
        FStack.pop_back();
        --Depth;
    }
    void SetQuality(const platform::TRenderQuality& q) override { Quality = q; }
    void Translate(float, float) override {}
    void IntersectClip(const platform::TRectF& r) override { FClip = FClip.Intersect(r); }
    void SetTransform(const platform::TTransform& t) override { FTransform = t; }
    void ResetTransform() override { FTransform = {}; }
    void FillRect(const platform::TRectF& r, platform::TArgb c) override {
        TCall call;
        call.Kind = "fill";
        call.Rect = r;
        call.Color = c;
        Calls.push_back(call);
    }
    void FrameRect(const platform::TRectF&, platform::TArgb, float) override {}
    void FillEllipse(const platform::TRectF&, platform::TArgb) override {}
    void DrawLine(platform::TPointF, platform::TPointF, platform::TArgb, float) override {}
    void DrawImage(const platform::TImage& image, const platform::TRectF& dest,
                   const platform::TRectF& source, uint8_t) override {
        TCall call;
        call.Kind = "image";
        call.Rect = dest;
        call.Source = source;
        call.Transform = FTransform;
        call.Image = &image;
        call.FirstPixel = image.Empty() ? 0 : image.Pixel(0, 0);
        Calls.push_back(call);
    }
    void FillPieWithImage(const platform::TImage& image, const platform::TRectF& rect, float start,
                          float sweep, const platform::TRectF& texture) override {
        TCall call;
        call.Kind = "pie";
        call.Rect = rect;
        call.Start = start;
        call.Sweep = sweep;
        call.Texture = texture;
        call.Transform = FTransform;
        call.Image = &image;
        Calls.push_back(call);
    }
    void DrawText(const std::string& text, const platform::TFont&, const platform::TRectF& rect,
                  const platform::TTextFormat& format, platform::TArgb color) override {
        TCall call;
        call.Kind = "text";
        call.Rect = rect;
        call.Text = text;
        call.Format = format;
        call.Color = color;
        call.Clip = FClip;
        Calls.push_back(call);
    }
    platform::TRectF MeasureText(const std::string& text, const platform::TFont&,
                                 const platform::TRectF& rect,
                                 const platform::TTextFormat& format) override {
        float w = kCharW * float(text.size());
        float lines = 1;
        if (!format.NoWrap && rect.Width > 0 && w > rect.Width) {
            lines = std::ceil(w / rect.Width);
            w = rect.Width;
        }
        float h = lines * kLineH;
        float x = rect.X, y = rect.Y;
        if (format.Align == platform::TTextAlign::Center) x += (rect.Width - w) / 2;
        if (format.Align == platform::TTextAlign::Far) x += rect.Width - w;
        if (format.LineAlign == platform::TTextAlign::Center) y += (rect.Height - h) / 2;
        if (format.LineAlign == platform::TTextAlign::Far) y += rect.Height - h;
        return {x, y, w, h};
    }

    std::vector<TCall> Of(const std::string& kind) const {
        std::vector<TCall> out;
        for (auto& c : Calls)
            if (c.Kind == kind) out.push_back(c);
        return out;
    }

private:
    struct TState {
        platform::TRectF Clip;
        platform::TTransform Transform;
    };
    int FW, FH;
    platform::TRectF FClip;
    platform::TTransform FTransform;
    std::vector<TState> FStack;
};

}  // namespace testcontrols
