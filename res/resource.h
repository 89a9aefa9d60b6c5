// Resource ids shared by the templates and the code.
#ifndef RES_RESOURCE_H
#define RES_RESOURCE_H

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_SETUP_OPTIONS 102
#define IDD_VXD_DRIVER 103
#define IDR_MAINFRAME 128
#define IDD_WDM_DRIVER 131

#endif
