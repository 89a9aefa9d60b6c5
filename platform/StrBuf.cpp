#include "platform/StrBuf.h"

StrSize StrLen(const char* psz)
{
  StrSize n = 0;
  while (psz[n] != '\0')
    ++n;
  return n;
}

static BOOL Refuse(char* pszDest, StrSize cbDest)
{
  if (cbDest > 0)
    pszDest[0] = '\0';
  return FALSE;
}

BOOL StrCopyN(char* pszDest, StrSize cbDest, const char* pszSrc, StrSize cchSrc)
{
  StrSize n = 0;
  while (n < cchSrc && pszSrc[n] != '\0')
    ++n;
  if (n >= cbDest)
    return Refuse(pszDest, cbDest);
  MemCopy(pszDest, pszSrc, n);
  pszDest[n] = '\0';
  return TRUE;
}

BOOL StrCopy(char* pszDest, StrSize cbDest, const char* pszSrc)
{
  return StrCopyN(pszDest, cbDest, pszSrc, StrLen(pszSrc));
}

BOOL StrAppend(char* pszDest, StrSize cbDest, const char* pszSrc)
{
  StrSize nDest = StrLen(pszDest);
  StrSize nSrc = StrLen(pszSrc);
  if (nDest + nSrc >= cbDest)
    return Refuse(pszDest, cbDest);
  MemCopy(pszDest + nDest, pszSrc, nSrc + 1);
  return TRUE;
}

BOOL StrAppendChar(char* pszDest, StrSize cbDest, char ch)
{
  char sz[2] = { ch, '\0' };
  return StrAppend(pszDest, cbDest, sz);
}

BOOL StrEnsureBackslash(char* pszDest, StrSize cbDest)
{
  StrSize n = StrLen(pszDest);
  if (n == 0)
    return FALSE;
  if (pszDest[n - 1] == '\\')
    return TRUE;
  return StrAppendChar(pszDest, cbDest, '\\');
}

BOOL StrConcat(char* pszDest, StrSize cbDest, const char* pszA, const char* pszB,
               const char* pszC)
{
  // The parts may not overlap pszDest except pszA == pszDest.
  if (pszA != pszDest && !StrCopy(pszDest, cbDest, pszA))
    return FALSE;
  if (!StrAppend(pszDest, cbDest, pszB))
    return FALSE;
  if (pszC != 0 && !StrAppend(pszDest, cbDest, pszC))
    return FALSE;
  return TRUE;
}

int StrCmp(const char* pszA, const char* pszB)
{
  while (*pszA != '\0' && *pszA == *pszB) {
    ++pszA;
    ++pszB;
  }
  return (int)(unsigned char)*pszA - (int)(unsigned char)*pszB;
}

int StrCmpN(const char* pszA, const char* pszB, StrSize cch)
{
  for (StrSize i = 0; i < cch; ++i) {
    if (pszA[i] != pszB[i] || pszA[i] == '\0')
      return (int)(unsigned char)pszA[i] - (int)(unsigned char)pszB[i];
  }
  return 0;
}

char ChrUpper(char ch)
{
  return (ch >= 'a' && ch <= 'z') ? (char)(ch - 'a' + 'A') : ch;
}

int StrCmpNI(const char* pszA, const char* pszB, StrSize cch)
{
  for (StrSize i = 0; i < cch; ++i) {
    char a = ChrUpper(pszA[i]);
    char b = ChrUpper(pszB[i]);
    if (a != b || a == '\0')
      return (int)(unsigned char)a - (int)(unsigned char)b;
  }
  return 0;
}

int StrCmpI(const char* pszA, const char* pszB)
{
  return StrCmpNI(pszA, pszB, (StrSize)-1);
}

const char* StrStr(const char* pszHaystack, const char* pszNeedle)
{
  StrSize nNeedle = StrLen(pszNeedle);
  for (const char* p = pszHaystack; *p != '\0'; ++p) {
    if (StrCmpN(p, pszNeedle, nNeedle) == 0)
      return p;
  }
  return nNeedle == 0 ? pszHaystack : 0;
}

const char* StrChr(const char* psz, char ch)
{
  for (; *psz != '\0'; ++psz) {
    if (*psz == ch)
      return psz;
  }
  return 0;
}

const char* StrRChr(const char* psz, char ch)
{
  const char* pFound = 0;
  for (; *psz != '\0'; ++psz) {
    if (*psz == ch)
      pFound = psz;
  }
  return pFound;
}

void StrUpper(char* psz)
{
  for (; *psz != '\0'; ++psz)
    *psz = ChrUpper(*psz);
}

BOOL StrFromUInt(char* pszDest, StrSize cbDest, unsigned long ulValue)
{
  char szDigits[24];
  int n = 0;
  do {
    szDigits[n++] = (char)('0' + ulValue % 10);
    ulValue /= 10;
  } while (ulValue != 0);
  if ((StrSize)n >= cbDest)
    return Refuse(pszDest, cbDest);
  for (int i = 0; i < n; ++i)
    pszDest[i] = szDigits[n - 1 - i];
  pszDest[n] = '\0';
  return TRUE;
}

void MemSet(void* pDest, int nByte, StrSize cb)
{
  unsigned char* p = (unsigned char*)pDest;
  while (cb-- > 0)
    *p++ = (unsigned char)nByte;
}

void MemCopy(void* pDest, const void* pSrc, StrSize cb)
{
  unsigned char* d = (unsigned char*)pDest;
  const unsigned char* s = (const unsigned char*)pSrc;
  if (d < s) {
    while (cb-- > 0)
      *d++ = *s++;
  } else {
    while (cb-- > 0)
      d[cb] = s[cb];
  }
}

int MemCmp(const void* pA, const void* pB, StrSize cb)
{
  const unsigned char* a = (const unsigned char*)pA;
  const unsigned char* b = (const unsigned char*)pB;
  for (StrSize i = 0; i < cb; ++i) {
    if (a[i] != b[i])
      return (int)a[i] - (int)b[i];
  }
  return 0;
}
