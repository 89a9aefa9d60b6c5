// The launcher's existence test for a file: it opens for reading.
#ifndef PLATFORM_FILEPROBE_H
#define PLATFORM_FILEPROBE_H

#include "platform/Platform.h"

// TRUE when pszPath opens as a byte stream in mode "rb" (it is closed again
// at once). An empty path is no file.
BOOL FileOpensForReading(const char* pszPath);

#endif
