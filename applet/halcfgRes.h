#pragma once
// Resource IDs of halcfg.rc, shared by the resource script and the C++
// tables. Plain numbers: the resource compiler and platform-neutral code
// both read them.

// What the Control Panel shows: the icon and the two strings of the
// applet's record.
#define IDI_APPLET 2
#define IDS_APPLET_NAME 2
#define IDS_APPLET_INFO 3

// frmMain. OK and Cancel take IDOK and IDCANCEL, so Enter and Esc reach them.
#define IDC_CFG_CMDOK 1
#define IDC_CFG_CMDCANCEL 2
#define IDC_CFG_CMDAPPLY 3001
#define IDC_CFG_CMDHELP 3002
#define IDC_CFG_SSTAB1 3003
#define IDC_CFG_IMGMAIN 3004
// Programs page.
#define IDC_CFG_LSVRUN 3010
#define IDC_CFG_CMDADD 3011
#define IDC_CFG_CMDEDIT 3012
#define IDC_CFG_CMDREMOVE 3013
#define IDC_CFG_CMDUP 3014
#define IDC_CFG_CMDDOWN 3015
#define IDC_CFG_CMDWIZARD 3016
#define IDC_CFG_CHKRUNTHISFIRST 3017
#define IDC_CFG_LBLRUNEXPLAIN 3018
// Services page.
#define IDC_CFG_LSVSTOP 3020
#define IDC_CFG_CMDUPSERVICES 3021
#define IDC_CFG_CMDDOWNSERVICES 3022
#define IDC_CFG_CHKSTOPSERVICES 3023
#define IDC_CFG_LBLSECONDS 3024
#define IDC_CFG_TXTSERVICESECONDS 3025
#define IDC_CFG_LBLSEC 3026
#define IDC_CFG_LBLSTOPEXPLAIN 3027
// Settings page.
#define IDC_CFG_FRAMEOPERATION 3030
#define IDC_CFG_CHKSHOWICON 3031
#define IDC_CFG_CHKLOCK 3032
#define IDC_CFG_CHKFORCEAPPSTOCLOSE 3033
#define IDC_CFG_FRAMEORDER 3034
#define IDC_CFG_OPTORDER0 3035
#define IDC_CFG_OPTORDER1 3036
// Actions page.
#define IDC_CFG_LBLUNLOAD 3040
#define IDC_CFG_CMDUNLOAD 3041
#define IDC_CFG_LBLPASSWORD 3042
#define IDC_CFG_CMDPASSWORD 3043
#define IDC_CFG_FRAMELOGS 3044
#define IDC_CFG_CMDVIEW 3045
#define IDC_CFG_CMDPURGE 3046
#define IDC_CFG_CHKLOGEV 3047

// mnuCommand, the run list's context menu.
#define IDM_SELCOMMANDPROMPT 41001

// frmChangePassword.
#define IDC_CHG_CMDOK 1
#define IDC_CHG_CMDCANCEL 2
#define IDC_CHG_LBLOLD 3101
#define IDC_CHG_TXTOLD 3102
#define IDC_CHG_LBLNEW 3103
#define IDC_CHG_TXTNEW 3104
#define IDC_CHG_LBLCONFIRMNEW 3105
#define IDC_CHG_TXTCONFIRMNEW 3106
