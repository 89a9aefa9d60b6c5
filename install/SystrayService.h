// The system tray's volume service: switched off in the tray's settings, and
// the tray program restarted so that it lets go of the old driver.
#ifndef INSTALL_SYSTRAYSERVICE_H
#define INSTALL_SYSTRAYSERVICE_H

// Clears the volume-service bit (value 4 of the first byte) of the Systray
// "Services" value, for the current user and then for the default user.
void ClearSystrayServiceBit();

// Starts SysTray.exe (show state 5, not waited for), then pauses 500 ms.
void RestartTrayProgram();

#endif
