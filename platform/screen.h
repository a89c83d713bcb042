// The screen and the foreground window, swappable for tests.
#pragma once
#include <string>

namespace platform {

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

struct TForegroundWindow {
    bool Exists = false;     // there is a foreground window
    bool IsDesktop = false;  // it is the desktop window itself
    TRect Rect;              // its window rectangle
    std::string ClassName;   // its window class (at most 255 characters)
};

class IScreen {
public:
    virtual ~IScreen() = default;
    virtual int ScreenWidth() = 0;  // primary screen, pixels
    virtual int ScreenHeight() = 0;
    virtual TForegroundWindow ForegroundWindow() = 0;
    virtual bool IsCompositionEnabled() = 0;  // DwmIsCompositionEnabled
};

IScreen& Screen();
void SetScreen(IScreen* screen);  // nullptr: the real one again
IScreen& RealScreen();

}  // namespace platform
