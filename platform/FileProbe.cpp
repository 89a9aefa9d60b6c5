#include "platform/FileProbe.h"

BOOL FileOpensForReading(const char* pszPath)
{
  if (pszPath == 0 || pszPath[0] == '\0')
    return FALSE;
  HSTREAM hStream = Platform()->StreamOpen(pszPath, "rb");
  if (hStream == 0)
    return FALSE;
  Platform()->StreamClose(hStream);
  return TRUE;
}
