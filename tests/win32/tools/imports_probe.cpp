// Imports a function Windows XP lacks, on purpose: the import check must
// refuse this program.
#include <windows.h>

int main() { return ShutdownBlockReasonCreate(nullptr, L"probe") ? 0 : 1; }
