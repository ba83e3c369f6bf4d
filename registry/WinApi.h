#pragma once
// The one way into <windows.h> for Windows-only files. The build defines
// UNICODE, WIN32_LEAN_AND_MEAN, NOMINMAX and the target Windows version.
#include <windows.h>
