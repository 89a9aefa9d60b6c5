// The maker's ASIO driver registrations under HKEY_LOCAL_MACHINE\SOFTWARE\ASIO.
#ifndef PURGE_ASIOPURGE_H
#define PURGE_ASIOPURGE_H

// Deletes each subkey of SOFTWARE\ASIO whose CLSID value names the maker's
// ASIO class, keeping other products' drivers; the SOFTWARE\ASIO key itself
// goes only when no subkey is left in it.
void PurgeMakerAsioDrivers();

#endif // PURGE_ASIOPURGE_H
