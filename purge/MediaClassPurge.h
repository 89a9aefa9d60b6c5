// The maker's instances of the MEDIA device class and their multimedia
// resource entries: the first step of the registry purge.
#ifndef PURGE_MEDIACLASSPURGE_H
#define PURGE_MEDIACLASSPURGE_H

// Deletes every instance of the MEDIA class whose ProviderName begins with
// the maker's name, with its entries under each media resource type key.
void PurgeMakerMediaInstances();

#endif // PURGE_MEDIACLASSPURGE_H
