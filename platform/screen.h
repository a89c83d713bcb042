// The screen and the foreground window, swappable for tests.
#pragma once
#include <string>

#include "platform/geometry.h"

namespace platform {

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
