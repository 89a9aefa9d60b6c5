// Removal of the INF files (and their precompiled PNF files) that earlier
// releases of the maker's drivers left in the Windows INF tree.
#ifndef PURGE_LEGACYINFPURGE_H
#define PURGE_LEGACYINFPURGE_H

// Deletes each INF file under INF\OTHER (or, when that holds none, each
// OEM*.INF under INF), each QV*.INF and each oem*.INF under INF whose
// "Strings" section marks it as the maker's, with the PNF file beside it.
// windowsDir is the Windows directory without trailing backslash.
void PurgeLegacyInfFiles(const char* windowsDir);

#endif // PURGE_LEGACYINFPURGE_H
