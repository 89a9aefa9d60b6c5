// The memory functions gcc calls for structure copies and large
// initialisations. Plain byte loops: the program moves little data, and
// -fno-tree-loop-distribute-patterns keeps gcc from turning these loops back
// into calls to themselves.
typedef __SIZE_TYPE__ size_t;

extern "C" void* memset(void* pDest, int nByte, size_t cb)
{
  unsigned char* p = (unsigned char*)pDest;
  while (cb-- > 0)
    *p++ = (unsigned char)nByte;
  return pDest;
}

extern "C" void* memcpy(void* pDest, const void* pSrc, size_t cb)
{
  unsigned char* pd = (unsigned char*)pDest;
  const unsigned char* ps = (const unsigned char*)pSrc;
  while (cb-- > 0)
    *pd++ = *ps++;
  return pDest;
}

extern "C" void* memmove(void* pDest, const void* pSrc, size_t cb)
{
  unsigned char* pd = (unsigned char*)pDest;
  const unsigned char* ps = (const unsigned char*)pSrc;
  if (pd < ps) {
    while (cb-- > 0)
      *pd++ = *ps++;
  } else if (pd > ps) {
    pd += cb;
    ps += cb;
    while (cb-- > 0)
      *--pd = *--ps;
  }
  return pDest;
}

extern "C" int memcmp(const void* pA, const void* pB, size_t cb)
{
  const unsigned char* pa = (const unsigned char*)pA;
  const unsigned char* pb = (const unsigned char*)pB;
  for (; cb > 0; --cb, ++pa, ++pb) {
    if (*pa != *pb)
      return *pa < *pb ? -1 : 1;
  }
  return 0;
}
