// The platform services carried to the real Win32 functions.
//
// Each operation calls the function of the same name in KERNEL32, USER32 or
// ADVAPI32 and returns its result unchanged, except where the comment in
// Platform.h promises more than the function does on some Windows version
// (RegDeleteKeyA, the profile functions' arguments that Windows 9x changes
// in place) or where the interface has no single Win32 function
// (streams, the wait cursor, the 3D look). Only functions that Windows 95 and
// NT 4.0 both export and implement are used.
//
// In the Windows builds the operations are IPlatform's own static members
// (see Platform.h); the files here define them under this name, one file per
// area. A new operation needs no declaration here: its definition
// "RESULT CWin32Platform::Name(...)" in the file of its area is all.
#ifndef PLATFORM_WIN32_WIN32PLATFORM_H
#define PLATFORM_WIN32_WIN32PLATFORM_H

#include "platform/Platform.h"

typedef IPlatform CWin32Platform;

#endif // PLATFORM_WIN32_WIN32PLATFORM_H
