// Refreshing an installed copy of the suite's mixer program from the staged
// driver set.
#ifndef INSTALL_MIXERREFRESH_H
#define INSTALL_MIXERREFRESH_H

// Finds the mixer's directory through its registration (the suite's key
// first, then the maker's) and copies the staged Mixer.exe over the one
// there, and over a copy in the Windows directory when one exists. Nothing
// is copied when no registered directory holds a Mixer.exe.
void RefreshMixerProgram();

#endif
