// The suite's mixer around a driver installation: its window closed, and its
// defaults file told to initialise again at the next start.
#ifndef INSTALL_MIXERDEFAULTS_H
#define INSTALL_MIXERDEFAULTS_H

// Sends WM_CLOSE to the top-level window titled "Mixer", when one is open.
void CloseMixerWindow();

// In pszWindowsDir + "mixerdef.ini" (the directory ends in a backslash), when
// that file exists: [RUNTIME] Initialize=0. A missing file is not created.
void ResetMixerDefaults(const char* pszWindowsDir);

#endif
