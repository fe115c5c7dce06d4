#pragma once
// The Windows API for every Win32 file. The API's MessageBox macro goes here, once: it would
// rename the platform operation of that name in some files and not in others.
#include <windows.h>
#undef MessageBox
