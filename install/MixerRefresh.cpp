#include "install/MixerRefresh.h"

// Placeholder until the mixer refresh is built.
void RefreshMixerProgram() {}
