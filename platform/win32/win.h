// <windows.h> for our Windows backend, without the A/W macros that collide with the names of
// our own platform functions (CopyFile, DeleteFile, RemoveDirectory).
#pragma once
#include <winsock2.h>
#include <windows.h>

#undef CopyFile
#undef DeleteFile
#undef RemoveDirectory
