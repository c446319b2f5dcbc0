// The Restart Manager (rstrtmgr.dll, the NT family since Vista): which programs hold files,
// and asking them to close. Loaded by full path from the System folder, never imported.
#pragma once

#include "platform/host/win32_types.h"

typedef const WCHAR* LPCWSTR;

#define CCH_RM_SESSION_KEY 32
#define CCH_RM_MAX_APP_NAME 255
#define CCH_RM_MAX_SVC_NAME 63
#define ERROR_FAIL_SHUTDOWN 351L

enum RM_APP_TYPE {
    RmUnknownApp = 0,
    RmMainWindow = 1,
    RmOtherWindow = 2,
    RmService = 3,
    RmExplorer = 4,
    RmConsole = 5,
    RmCritical = 1000
};
enum RM_SHUTDOWN_TYPE { RmForceShutdown = 0x1, RmShutdownOnlyRegistered = 0x10 };

struct RM_UNIQUE_PROCESS {
    DWORD dwProcessId;
    FILETIME ProcessStartTime;
};
struct RM_PROCESS_INFO {
    RM_UNIQUE_PROCESS Process;
    WCHAR strAppName[CCH_RM_MAX_APP_NAME + 1];
    WCHAR strServiceShortName[CCH_RM_MAX_SVC_NAME + 1];
    RM_APP_TYPE ApplicationType;
    ULONG AppStatus;
    DWORD TSSessionId;
    BOOL bRestartable;
};
typedef void (*RM_WRITE_STATUS_CALLBACK)(UINT percentComplete);

DWORD WINAPI RmStartSession(DWORD* session, DWORD flags, WCHAR key[]);
DWORD WINAPI RmEndSession(DWORD session);
DWORD WINAPI RmRegisterResources(DWORD session, UINT fileCount, LPCWSTR files[], UINT appCount,
                                 RM_UNIQUE_PROCESS apps[], UINT serviceCount,
                                 LPCWSTR services[]);
DWORD WINAPI RmGetList(DWORD session, UINT* needed, UINT* count, RM_PROCESS_INFO apps[],
                       LPDWORD rebootReasons);
DWORD WINAPI RmShutdown(DWORD session, ULONG actionFlags, RM_WRITE_STATUS_CALLBACK status);
