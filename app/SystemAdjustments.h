// The three small system changes made on every start, before the dispatch:
// the disc player's digital-audio setting, a CD-quality default audio
// format, and the removal of the suite's logon start entry.
#ifndef APP_SYSTEMADJUSTMENTS_H
#define APP_SYSTEMADJUSTMENTS_H

// pszSetupIni: the source directory's setup.ini; empty when the source
// directory is missing (the options then take their defaults). Every failure
// only skips the step that depends on it; nothing is shown.
void ApplySystemAdjustments(const char* pszSetupIni);

#endif
