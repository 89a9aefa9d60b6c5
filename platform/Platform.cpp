#include "platform/Platform.h"

static IPlatform* s_pPlatform = 0;

IPlatform* Platform()
{
  return s_pPlatform;
}

void SetPlatform(IPlatform* pPlatform)
{
  s_pPlatform = pPlatform;
}
