// The system headers every file of our Windows backend starts from, in the order Winsock wants
// them, without the A/W macros that would rename our own interfaces' methods and functions
// (IServiceControl's OpenService, the canvas's DrawText, our CopyFile, ...): each is undone here,
// once, and the backend calls the W functions by their full names.
#pragma once
#include <winsock2.h>
#include <windows.h>

#undef ChangeServiceConfig
#undef CopyFile
#undef CreateProcess
#undef DeleteFile
#undef DrawText
#undef FindWindow
#undef OpenSCManager
#undef OpenService
#undef QueryServiceLockStatus
#undef RemoveDirectory
#undef SearchPath
#undef StartService
