#include "controls/animator_layer.h"

#include <algorithm>
#include <cmath>

#include "controls/animator.h"

namespace controls {

float ReduceAngle(float degrees) {
    if (degrees >= -360.0f && degrees <= 360.0f) return degrees;
    return degrees - 360.0f * std::trunc(degrees / 360.0f);
}

TRectF TRdAniLayer::PictureDestination(int boxWidth, int boxHeight) const {
    if (FStretch) return TRectF{0, 0, float(boxWidth), float(boxHeight)};
    return TRectF{float(FImageLeft), float(FImageTop), float(FImageWidth), float(FImageHeight)};
}

void TRdAniLayer::InflateScale(float& sx, float& sy) const {
    sx = sy = 1;
    const int iw = FImageWidth, ih = FImageHeight, inf = FInflate;
    if (inf != 0 && iw + inf != 0 && ih + inf != 0 && iw != 0 && ih != 0) {
        sx = float(iw + inf) / float(iw);
        sy = float(ih + inf) / float(ih);
    }
}

TRdAniLayer::TRdAniLayer(TRdAniLayerCollection* collection) : FCollection(collection) {
    FName = "layer_" + std::to_string(collection ? collection->Count() : 0);
}

int TRdAniLayer::Index() const {
    return FCollection ? FCollection->IndexOf(this) : -1;
}

void TRdAniLayer::Changed() {
    if (!FCollection) return;
    ++FFrames;
    FCollection->LayerChanged(*this);
}

void TRdAniLayer::SetAutoSize(bool v) {
    if (FAutoSize == v) return;
    FAutoSize = v;
    if (v) {
        FImageWidth = FImage.Width();
        FImageHeight = FImage.Height();
    }
    Changed();
}

void TRdAniLayer::SetZOrder(int v) {
    if (!FCollection) return;
    int to = std::clamp(v, 0, FCollection->Count() - 1);
    int from = Index();
    if (to == from) return;
    FCollection->Move(from, to);
    Changed();
}

void TRdAniLayer::SetImage(const platform::TImage& image) {
    FImage = image;
    ++FPictureGeneration;
    FImageWidth = FImage.Width();
    FImageHeight = FImage.Height();
    Changed();
}

void TRdAniLayer::SetImages(std::vector<platform::TImage> images) {
    FImages = std::move(images);
    if (FImageIndex >= ImageCount()) FImageIndex = -1;
    Changed();
}

void TRdAniLayer::SetImageIndex(int v) {
    if (FImages.empty()) {
        FImageIndex = -1;
        return;
    }
    if (v >= 0 && v < ImageCount()) {
        if (v == FImageIndex) return;
        FImageIndex = v;
        SetImage(FImages[size_t(v)]);
    } else {
        bool had = FImageIndex != -1 || !FImage.Empty();
        FImageIndex = -1;
        if (had) SetImage(platform::TImage());
    }
}

TRect TRdAniLayer::HitRect() const {
    TRect r = ImageRect().Union(FTextBounds);
    if (r.IsEmpty()) return {};
    return r.Inflated(FInflate);
}

TRdAniLayer& TRdAniLayerCollection::Add() {
    FItems.push_back(std::make_unique<TRdAniLayer>(this));
    Changed();
    return *FItems.back();
}

int TRdAniLayerCollection::IndexOf(const TRdAniLayer* layer) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == layer) return int(i);
    return -1;
}

void TRdAniLayerCollection::Move(int from, int to) {
    if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to) return;
    auto item = std::move(FItems[size_t(from)]);
    FItems.erase(FItems.begin() + from);
    FItems.insert(FItems.begin() + to, std::move(item));
}

void TRdAniLayerCollection::Clear() {
    if (FOwner) FOwner->LayersCleared();
    FItems.clear();
    Changed();
}

void TRdAniLayerCollection::Changed() {
    if (FOwner) FOwner->LayersChanged();
}

void TRdAniLayerCollection::LayerChanged(TRdAniLayer& layer) {
    if (FOwner) FOwner->LayerChanged(layer);
}

}  // namespace controls
