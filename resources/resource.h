// resource.h - ids of the saver's resources (resources/zorvane.rc): the two
// dialog templates, their controls and the title string. Included by the
// resource compiler and by C++.
#pragma once

#define IDS_TITLE 1  // string: the saver's title as the system lists it

#define IDD_CONFIG 101  // the configuration dialog
#define IDD_ABOUT 102   // the About box

// Controls of IDD_CONFIG (IDOK and IDCANCEL are the platform's 1 and 2).
#define IDC_ROTATE 1000
#define IDC_CONTINUOUS 1001
#define IDC_POINTS 1002
#define IDC_FRAME_MS 1004
#define IDC_CLEAR_SECS 1005
#define IDC_ABOUT 1006
#define IDC_BLANK 1007

#define IDC_STATIC (-1)  // labels, never addressed
