#pragma once
// Resource IDs of halcyrad.exe, shared by halcyrad.rc and the C++ tables.
// Plain numbers: the resource compiler and platform-neutral code both read them.

#define IDI_HALCYRA 1
#define IDI_HALCYRA16 2
#define IDC_STATIC -1

// frmMain. cmdOK and cmdCancel take IDOK and IDCANCEL, so Enter and Esc
// reach them the way the dialog manager routes those keys.
#define IDC_MAIN_CMDOK 1
#define IDC_MAIN_CMDCANCEL 2
#define IDC_MAIN_LBLTITLE 1001
#define IDC_MAIN_IMGMAIN 1002
#define IDC_MAIN_OPTSHUTDOWN 1003
#define IDC_MAIN_OPTRESTART 1004
#define IDC_MAIN_OPTMSDOS 1005
#define IDC_MAIN_OPTLOGOFF 1006
#define IDC_MAIN_CMBSHUTDOWN 1007
#define IDC_MAIN_LBLEXPLAIN 1008
#define IDC_MAIN_CMDHELP 1009
#define IDC_MAIN_CMDDETAILS 1010
#define IDC_MAIN_SSTAB1 1011
#define IDC_MAIN_CHKRUNTHISFIRST 1012
#define IDC_MAIN_LSVRUN 1013
#define IDC_MAIN_CHKSTOPSERVICES 1014
#define IDC_MAIN_LSTSTOP 1015

// frmAbout.
#define IDC_ABOUT_CMDOK 1
#define IDC_ABOUT_PICICON 1101
#define IDC_ABOUT_IMG16 1102
#define IDC_ABOUT_LBLTITLE 1103
#define IDC_ABOUT_LBLVERSION 1104
#define IDC_ABOUT_LBLDESCRIPTION 1105
#define IDC_ABOUT_LBLMAILTO 1106
#define IDC_ABOUT_WEBLINK0 1107
#define IDC_ABOUT_LBLAUTHOR 1108
#define IDC_ABOUT_CMDSYSINFO 1109

// mnuSystemTray entries.
#define IDM_SELSHUTDOWN 40001
#define IDM_SELABOUT 40002
#define IDM_SELOPTIONS 40003
#define IDM_SELEXIT 40004
