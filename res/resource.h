// Resource ids: the one list shared by every template and by the code.
#ifndef RES_RESOURCE_H
#define RES_RESOURCE_H

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_SETUP_OPTIONS 102
#define IDD_VXD_DRIVER 103
#define IDD_WDM_DRIVER 131

// Strings.
#define IDS_ABOUTBOX 101

// The program's icon.
#define IDI_SETUP 128

// Controls the code never addresses.
#define IDC_STATIC (-1)

// The main options dialog.
#define IDC_INSTALL_APPLICATIONS 1001
#define IDC_INSTALL_DRIVER 1002
#define IDC_PLEASE_WAIT 1003

// The driver option dialogs. Both share the phone-jack controls; the WDM
// dialog's one legacy box reuses the MIDI box's id for the MIDI and game
// ports together.
#define IDC_DISABLE_MIDI 1000
#define IDC_DISABLE_GAME 1001
#define IDC_MOTHERBOARD_JACKS 1006
#define IDC_SOUNDCARD_JACKS 1007
#define IDC_LINEIN_AS_REAR 1011
#define IDC_LINEIN_AS_BASS 1012
#define IDC_MIC_AS_BASS 1013

#endif
