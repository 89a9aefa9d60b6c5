// Refreshing an installed copy of the suite's mixer program from the staged
// driver set.
#ifndef INSTALL_MIXERREFRESH_H
#define INSTALL_MIXERREFRESH_H

void RefreshMixerProgram();

#endif
