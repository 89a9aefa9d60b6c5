// Retirement of earlier releases' driver files: each present file is renamed
// to an .OLD name in its own directory by Windows at the next start.
#ifndef PURGE_LEGACYFILERETIREMENT_H
#define PURGE_LEGACYFILERETIREMENT_H

// Reads the Windows directory, then runs PurgeLegacyInfFiles and
// RetireLegacyDriverFiles with it. Silent.
void PurgeLegacyDriverFiles();

// Writes one WININIT.INI [rename] line per present driver file, in table
// order, then sets WIN.INI [Windows] run to a single space. windowsDir is the
// Windows directory without trailing backslash.
void RetireLegacyDriverFiles(const char* windowsDir);

#endif // PURGE_LEGACYFILERETIREMENT_H
