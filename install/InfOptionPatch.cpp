#include "install/InfOptionPatch.h"

#include "platform/StrBuf.h"

// The lines as the driver set ships them, each a whole INF line.
static const char kDisableMidiLine[] = "HKR,Config,DISMPU,1,0";
static const char kDisableGameLine[] = "HKR,Config,DISJSTK,1,0";
static const char kLineInAsRearLine[] = "HKR,Config,LINEINasREAR,1,1";
static const char kLineInAsBassLine[] = "HKR,Config,LINEINasBASS,1,0";
static const char kMicAsBassLine[] = "HKR,Config,MICasBASS,1,0";

// Lines are read in pieces of at most this many bytes (terminator included).
static const DWORD kLineBufferSize = 1024;

// Reads the next whole line. Returns FALSE at the end of the file. A line
// that does not fit the buffer is read to its end and reported with
// *pbTooLong set, so that no piece of it is ever compared on its own.
static BOOL ReadWholeLine(HSTREAM hStream, char* pszLine, DWORD* pcbLine, BOOL* pbTooLong)
{
  IPlatform* p = Platform();
  DWORD cb = p->StreamReadLine(hStream, pszLine, kLineBufferSize);
  if (cb == 0)
    return FALSE;
  *pcbLine = cb;
  *pbTooLong = FALSE;
  if (pszLine[cb - 1] == '\n' || cb < kLineBufferSize - 1)
    return TRUE;

  // The buffer filled up in the middle of a line: skip the rest of it.
  *pbTooLong = TRUE;
  char szRest[kLineBufferSize];
  for (;;) {
    DWORD cbRest = p->StreamReadLine(hStream, szRest, kLineBufferSize);
    if (cbRest == 0 || szRest[cbRest - 1] == '\n')
      break;
  }
  return TRUE;
}

// The length of the line break at the end of a line read: CR LF, LF, or
// none on a last line without one.
static DWORD LineBreakLength(const char* pszLine, DWORD cbLine)
{
  if (cbLine == 0 || pszLine[cbLine - 1] != '\n')
    return 0;
  if (cbLine >= 2 && pszLine[cbLine - 2] == '\r')
    return 2;
  return 1;
}

// From the current position to the end of the file: finds the first line
// equal to pszOption and replaces its last character with ch. Later equal
// lines are left alone.
static void SearchAndSet(HSTREAM hStream, const char* pszOption, char ch, BOOL bPauseBeforeWrite)
{
  IPlatform* p = Platform();
  const DWORD cchOption = StrLen(pszOption);
  char szLine[kLineBufferSize];
  DWORD cbLine = 0;
  BOOL bTooLong = FALSE;
  while (ReadWholeLine(hStream, szLine, &cbLine, &bTooLong)) {
    if (bTooLong)
      continue;
    const DWORD cbBreak = LineBreakLength(szLine, cbLine);
    // The length read, not the terminator, decides: a line holding a NUL
    // byte after the option text is not the option line.
    if (cbLine - cbBreak != cchOption || MemCmp(szLine, pszOption, cchOption) != 0)
      continue;
    // Back over the line break to the line's last character.
    if (!p->StreamSeek(hStream, -(LONG)(cbBreak + 1), STREAM_SEEK_CUR))
      return;
    if (bPauseBeforeWrite)
      p->Sleep(100);
    p->StreamWrite(hStream, &ch, 1);
    p->StreamFlush(hStream);
    return;
  }
}

static void SearchAndSetFromStart(HSTREAM hStream, const char* pszOption, char ch,
                                  BOOL bPauseBeforeWrite)
{
  if (Platform()->StreamSeek(hStream, 0, STREAM_SEEK_SET))
    SearchAndSet(hStream, pszOption, ch, bPauseBeforeWrite);
}

void PatchInfConfigLines(const char* pszInfPath, const VxdDriverOptions& options)
{
  IPlatform* p = Platform();
  HSTREAM hStream = p->StreamOpen(pszInfPath, "r+");
  if (hStream == 0)
    return;

  if (options.m_bDisableMidi)
    SearchAndSetFromStart(hStream, kDisableMidiLine, '1', TRUE);
  if (options.m_bDisableGame)
    SearchAndSetFromStart(hStream, kDisableGameLine, '1', TRUE);

  // The sound card's own jacks share nothing.
  const BOOL bOnBoard = !options.m_bSoundCardJacks;
  const BOOL bRear = bOnBoard && options.m_bLineInAsRear;
  const BOOL bBass = bOnBoard && options.m_bLineInAsBass;
  const BOOL bMicBass = bOnBoard && options.m_bMicAsBass;
  if (!bRear)
    SearchAndSetFromStart(hStream, kLineInAsRearLine, '0', FALSE);
  if (bBass)
    SearchAndSetFromStart(hStream, kLineInAsBassLine, '1', FALSE);
  if (bMicBass)
    SearchAndSetFromStart(hStream, kMicAsBassLine, '1', FALSE);

  p->StreamSeek(hStream, 0, STREAM_SEEK_END);
  p->StreamFlush(hStream);
  p->StreamClose(hStream);
}
