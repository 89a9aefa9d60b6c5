// Bounded string helpers for the launcher's fixed buffers.
//
// Every write names the buffer's size in bytes (terminator included) and
// refuses what does not fit: it then returns FALSE and leaves the buffer
// holding the empty string, so that a path that did not fit can never be used
// cut short as another path. Comparisons of letter case are ASCII only, as
// the launcher's names are.
#ifndef PLATFORM_STRBUF_H
#define PLATFORM_STRBUF_H

#include "platform/Win32Types.h"

typedef unsigned int StrSize;

StrSize StrLen(const char* psz);

// pszDest = pszSrc.
BOOL StrCopy(char* pszDest, StrSize cbDest, const char* pszSrc);
// pszDest = the first cchSrc characters of pszSrc (fewer when it is shorter).
BOOL StrCopyN(char* pszDest, StrSize cbDest, const char* pszSrc, StrSize cchSrc);
// pszDest += pszSrc.
BOOL StrAppend(char* pszDest, StrSize cbDest, const char* pszSrc);
BOOL StrAppendChar(char* pszDest, StrSize cbDest, char ch);
// Appends a backslash unless the string already ends in one. An empty string
// is left empty (and the call fails), so that "" never becomes the root "\".
BOOL StrEnsureBackslash(char* pszDest, StrSize cbDest);
// pszDest = pszA + pszB (+ pszC when not NULL); all or nothing.
BOOL StrConcat(char* pszDest, StrSize cbDest, const char* pszA, const char* pszB,
               const char* pszC = 0);

int StrCmp(const char* pszA, const char* pszB);
int StrCmpN(const char* pszA, const char* pszB, StrSize cch);
int StrCmpI(const char* pszA, const char* pszB);
int StrCmpNI(const char* pszA, const char* pszB, StrSize cch);
// Case-sensitive substring search; NULL when absent.
const char* StrStr(const char* pszHaystack, const char* pszNeedle);
const char* StrChr(const char* psz, char ch);
const char* StrRChr(const char* psz, char ch);
char ChrUpper(char ch);
void StrUpper(char* psz);

// Decimal text of an unsigned value.
BOOL StrFromUInt(char* pszDest, StrSize cbDest, unsigned long ulValue);

void MemSet(void* pDest, int nByte, StrSize cb);
void MemCopy(void* pDest, const void* pSrc, StrSize cb);
int MemCmp(const void* pA, const void* pB, StrSize cb);

#endif // PLATFORM_STRBUF_H
