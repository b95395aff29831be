#pragma once
// Resource IDs of common.rc, linked into both programs. Plain numbers: the
// resource compiler and platform-neutral code both read them.

// frmPasswordToAccess. The buttons take IDOK and IDCANCEL so Enter and Esc
// reach them.
#define IDC_PWD_CMDOK 1
#define IDC_PWD_CMDCANCEL 2
#define IDC_PWD_LBLTEXT 2001
#define IDC_PWD_TXTPASSWORD 2002
