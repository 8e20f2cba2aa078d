// The ids of the installer's dialogs, pictures and controls, shared by the
// resource scripts and the code. Plain defines: windres reads this file too.
#pragma once

// Dialog templates.
#define IDD_WELCOME 101
#define IDD_FINISH 102
#define IDD_OCTAVE_MISSING 110
#define IDD_FOLDERS 111
#define IDD_OCTAVE_CHOICE 122

// Pictures of the welcome and finish dialogs.
#define IDB_BANNER 104
#define IDB_WELCOME 105
#define IDB_FINISH 106

// Controls. OK and "Abbrechen" keep their ids in every dialog.
#define IDC_OK 116
#define IDC_CANCEL 117
#define IDC_PROGRESS 121
#define IDC_OCTAVE_ABORT 108
#define IDC_OCTAVE_CONTINUE 109
#define IDC_INSTALL_FOLDER 112
#define IDC_USER_FOLDER 113
#define IDC_INSTALL_BROWSE 114
#define IDC_USER_BROWSE 115
#define IDC_INSTALL_DEFAULT 119
#define IDC_USER_DEFAULT 120
#define IDC_OCTAVE_LIST 123
