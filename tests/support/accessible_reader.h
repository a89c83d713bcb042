// Reads a window's client-area object tree as a screen reader does (AccessibleObjectFromWindow
// and the IAccessible calls). Windows only; elsewhere there is nothing to read.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct TReadAccessible {
    long Role = 0;   // ROLE_SYSTEM_… number
    long State = 0;  // STATE_SYSTEM_… bits
    std::string Name, Value, DefaultAction;
    long Left = 0, Top = 0, Width = 0, Height = 0;  // on the screen
    std::vector<TReadAccessible> Children;
};

// Whether trees can be read here (Windows).
bool CanReadAccessibleTrees();
// The tree of the window's client area; nullopt when it cannot be read (or not here).
std::optional<TReadAccessible> ReadClientTree(void* nativeWindow);
// The default action of child `id` (1-based) of the client area; false when refused.
bool DoDefaultAction(void* nativeWindow, long id);

}  // namespace testsupport
