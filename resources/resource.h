#pragma once
// Resource ids shared by the resource script and the windows.
#define IDI_PROGRAM 1
#define IDB_FLAG_DEU 101
#define IDB_FLAG_ENG 102
#define IDB_FLAG_POR 103
