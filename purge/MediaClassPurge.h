// The maker's instances of the MEDIA device class and their multimedia
// resource entries: the first step of the registry purge.
#ifndef PURGE_MEDIACLASSPURGE_H
#define PURGE_MEDIACLASSPURGE_H

// Deletes every instance of the MEDIA class whose ProviderName begins with
// the maker's name, with its entries under each media resource type key.
void PurgeMakerMediaInstances();

// Deletes the first 15 subkeys (in enumeration order) of the media resource
// type key typeKey (a path under HKEY_LOCAL_MACHINE) whose names carry the
// class instance name `instance` just before their last character.
void PurgeMediaResourceEntries(const char* typeKey, const char* instance);

#endif // PURGE_MEDIACLASSPURGE_H
