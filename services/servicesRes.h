#pragma once
// Resource IDs of services.rc, linked into the programs that stop services.
// Plain numbers: the resource compiler and platform-neutral code both read them.

// frmError.
#define IDC_ERROR_LBLMSG 3001
