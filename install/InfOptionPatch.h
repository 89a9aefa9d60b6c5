// The VxD driver's option lines in an INF copy (HKR,Config,...).
#ifndef INSTALL_INFOPTIONPATCH_H
#define INSTALL_INFOPTIONPATCH_H

#include "platform/Platform.h"

// What the VxD options dialog's controls hold when Install is pressed.
struct VxdDriverOptions {
  BOOL m_bDisableMidi;      // 1000
  BOOL m_bDisableGame;      // 1001
  BOOL m_bSoundCardJacks;   // 1007 selected (1006 otherwise)
  BOOL m_bLineInAsRear;     // 1011
  BOOL m_bLineInAsBass;     // 1012
  BOOL m_bMicAsBass;        // 1013
};

// Writes the chosen option characters into the INF file at pszInfPath.
// Each option line is searched from the start of the file; the first line
// equal to it (line break aside) gets its last character replaced, and no
// other byte of the file changes. A file that cannot be opened for update
// is left alone.
void PatchInfConfigLines(const char* pszInfPath, const VxdDriverOptions& options);

#endif
