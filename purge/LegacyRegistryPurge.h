// Removal of what earlier releases of the maker's drivers left in the
// registry, so that Windows meets the sound card as a new device at the next
// start and installs it from the newly staged INF files.
#ifndef PURGE_LEGACYREGISTRYPURGE_H
#define PURGE_LEGACYREGISTRYPURGE_H

// The maker's MEDIA class instances with their media resource entries, the
// maker's PCI, child and virtual device keys, and, only when a device key
// went in this run, the 3D-audio and ASIO registrations. Silent; a device key
// that cannot be deleted ends the purge there.
void PurgeLegacyRegistry();

#endif // PURGE_LEGACYREGISTRYPURGE_H
