// Where things live: the program's own file, the shell folders, the temporary folder.
// Every folder text ends with the native separator; an empty text means it is unknown.
// The Linux stand-in keeps the Windows folders under one root: $LEAPGATE_ROOT when set, else
// ~/.local/share/leapgate-root; tests move it with SetStandInRoot.
#pragma once
#include <string>

namespace platform {

enum class ShellFolder { kAppData, kCommonAppData, kProgramFiles };

std::string GetExePath();  // full path of the running program file
std::string GetShellFolder(ShellFolder folder);
std::string GetTempFolder();  // GetTempPathW, at most 260 characters
// Linux stand-in only (no effect on Windows): the root of the stand-in's folders, registry,
// task store and service state. An empty text restores the default.
void SetStandInRoot(const std::string& root);
std::string StandInRoot();

}  // namespace platform
