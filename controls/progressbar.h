// An image progress bar: the back picture, and the fill picture cut at Position (0 … 100).
#pragma once
#include "controls/control.h"

namespace controls {

class TImageProgressBar : public TControl {
public:
    TImageProgressBar();
    int Position() const { return FPosition; }
    void SetPosition(int position);  // clamped to 0 … 100
    platform::TImage Back, Fill;

protected:
    void Paint(platform::TCanvas& canvas) override;
    std::optional<TAccessibleRole> OwnAccessibleRole() const override {
        return TAccessibleRole::ProgressBar;
    }
    std::string AccessibleValue() const override { return std::to_string(FPosition) + "%"; }

private:
    int FPosition = 0;
};

}  // namespace controls
