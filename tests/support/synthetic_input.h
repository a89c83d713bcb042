// Real key presses for the tests, as the user makes them: xdotool under X, SendInput on Windows
// (Wine included). They go to the window that has the keyboard focus.
#pragma once
#include <string>

#include "platform/window.h"

namespace testsupport {

// Whether key presses can be sent here (a display and xdotool; Windows always).
bool CanSendKeys();
// Presses and releases `key`, with Shift held when asked.
bool SendKey(platform::TKey key, bool shift = false);
// Whether `window` has the keyboard focus of its display now.
bool HasKeyboard(const platform::TWindow& window);

// This process's id, as the system numbers it.
unsigned long ProcessId();
// The X properties of `window` as xprop prints them; empty where windows are not X windows.
std::string XProperties(const platform::TWindow& window);

}  // namespace testsupport
