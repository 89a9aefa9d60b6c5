// Control ids of the main options dialog (template 102), shared by its
// templates in every language and by the dialog's code.
#ifndef RES_SETUPOPTIONSIDS_H
#define RES_SETUPOPTIONSIDS_H

#define IDC_INSTALL_APPLICATIONS 1001
#define IDC_INSTALL_DRIVER 1002
#define IDC_PLEASE_WAIT 1003

#endif
