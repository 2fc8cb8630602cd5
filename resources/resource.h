// Resource, command and control identifiers, shared by the resource script
// and the code.
#pragma once

#define IDD_SUCCESS 102
#define IDD_REMOVE 103
#define IDI_STARTLULL 104
#define IDI_REMOVE 105
#define IDC_REMOVE_ICON 106
#define IDC_RESTART 1000
#define IDC_REMOVE_CONFIG_SYS 1004
#define IDC_REMOVE_AUTOEXEC_BAT 1005
#define IDC_BUTTON_CURSOR 1007
#define IDR_ACCEL1 101

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDM_EXIT 40001
#define IDM_ABOUT 40002
#define IDM_FIND 40003
#define IDM_REMOVE 40004
#define IDM_RESTORE 40005
#define IDM_LOCATIONS 40006
#define IDM_SAVE 40007
#define IDM_DISABLE 40008
#define IDM_ENABLE 40009
#define IDM_COPY 40010
#define IDM_OPEN_FOLDER 40011
#define IDM_COMPARE 40012
