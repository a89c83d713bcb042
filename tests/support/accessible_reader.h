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
    long Selection = 0;  // the child id of the selected child; 0 for none
    std::vector<TReadAccessible> Children;
};

// What a screen reader says of the tree, one line per part that can be seen, in order: the
// window, then its parts ("Upgrade Now, button, focused"; "Downloading, progress bar, 42%").
std::vector<std::string> Spoken(const TReadAccessible& tree);
// Prints Spoken(tree) under a heading when LG_PRINT_SPOKEN is set (for the documentation of
// what each window says).
void PrintSpoken(const std::string& heading, const TReadAccessible& tree);

// Whether trees can be read here (Windows).
bool CanReadAccessibleTrees();
// The tree of the window's client area; nullopt when it cannot be read (or not here).
std::optional<TReadAccessible> ReadClientTree(void* nativeWindow);
// The default action of child `id` (1-based) of the client area; false when refused.
bool DoDefaultAction(void* nativeWindow, long id);

}  // namespace testsupport
