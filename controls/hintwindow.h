// The hint window: a small dark window with a text, laid out for at most a given width, shown
// at a point of the screen. Without a display it only keeps its state (tests read it).
#pragma once
#include <memory>
#include <string>

#include "platform/window.h"

namespace controls {

class THintWindow {
public:
    THintWindow();
    ~THintWindow();
    void ShowAt(const std::string& text, int screenX, int screenY, int maxWidth = 320);
    void HideHint();
    bool Showing() const { return FShowing; }
    const std::string& Text() const { return FText; }
    int X() const { return FX; }
    int Y() const { return FY; }

private:
    std::unique_ptr<platform::TWindow> FWindow;
    std::string FText;
    bool FShowing = false;
    int FX = 0, FY = 0;
};

}  // namespace controls
