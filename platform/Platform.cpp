#include "platform/Platform.h"

// The Windows builds have one platform, the system itself (Platform.h).
#if !defined(_WIN32)

static IPlatform* s_pPlatform = 0;

IPlatform* Platform()
{
  return s_pPlatform;
}

void SetPlatform(IPlatform* pPlatform)
{
  s_pPlatform = pPlatform;
}

#endif
