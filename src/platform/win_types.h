// Windows numbers that the programs and the seam share: error codes, registry
// roots and types, spooler and service constants, message and show codes.
//
// The program code never includes <windows.h>; these are the same numbers
// Windows uses. The Win32 back end includes <windows.h> first, in which case
// the names already exist as macros with the same values and are skipped here.
#pragma once

#include <cstdint>

namespace plat {
using Err = std::uint32_t;           // a Win32 error number; 0 is success
using Handle = std::uintptr_t;       // an opaque handle; 0 is none
using HKey = std::uintptr_t;         // a registry key handle or a predefined root
using Hwnd = std::uintptr_t;         // a top-level window
}  // namespace plat

#ifndef _WINDOWS_
// Error numbers.
inline constexpr plat::Err ERROR_SUCCESS = 0;
inline constexpr plat::Err NO_ERROR = 0;
inline constexpr plat::Err ERROR_INVALID_FUNCTION = 1;
inline constexpr plat::Err ERROR_FILE_NOT_FOUND = 2;
inline constexpr plat::Err ERROR_PATH_NOT_FOUND = 3;
inline constexpr plat::Err ERROR_ACCESS_DENIED = 5;
inline constexpr plat::Err ERROR_INVALID_HANDLE = 6;
inline constexpr plat::Err ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr plat::Err ERROR_BAD_FORMAT = 11;
inline constexpr plat::Err ERROR_INVALID_DATA = 13;
inline constexpr plat::Err ERROR_OUTOFMEMORY = 14;
inline constexpr plat::Err ERROR_NO_MORE_FILES = 18;
inline constexpr plat::Err ERROR_SHARING_VIOLATION = 32;
inline constexpr plat::Err ERROR_NOT_SUPPORTED = 50;
inline constexpr plat::Err ERROR_FILE_EXISTS = 80;
inline constexpr plat::Err ERROR_INVALID_PARAMETER = 87;
inline constexpr plat::Err ERROR_CALL_NOT_IMPLEMENTED = 120;
inline constexpr plat::Err ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr plat::Err ERROR_INVALID_LEVEL = 124;
inline constexpr plat::Err ERROR_INVALID_NAME = 123;
inline constexpr plat::Err ERROR_MOD_NOT_FOUND = 126;
inline constexpr plat::Err ERROR_PROC_NOT_FOUND = 127;
inline constexpr plat::Err ERROR_DIR_NOT_EMPTY = 145;
inline constexpr plat::Err ERROR_BAD_PATHNAME = 161;
inline constexpr plat::Err ERROR_ALREADY_EXISTS = 183;
inline constexpr plat::Err ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr plat::Err ERROR_MORE_DATA = 234;
inline constexpr plat::Err ERROR_NO_MORE_ITEMS = 259;
inline constexpr plat::Err ERROR_CAN_NOT_COMPLETE = 1003;
inline constexpr plat::Err ERROR_NO_TOKEN = 1008;
inline constexpr plat::Err ERROR_BADKEY = 1010;
inline constexpr plat::Err ERROR_KEY_DELETED = 1018;
inline constexpr plat::Err ERROR_SERVICE_REQUEST_TIMEOUT = 1053;
inline constexpr plat::Err ERROR_SERVICE_ALREADY_RUNNING = 1056;
inline constexpr plat::Err ERROR_SERVICE_DISABLED = 1058;
inline constexpr plat::Err ERROR_SERVICE_DOES_NOT_EXIST = 1060;
inline constexpr plat::Err ERROR_SERVICE_CANNOT_ACCEPT_CTRL = 1061;
inline constexpr plat::Err ERROR_SERVICE_NOT_ACTIVE = 1062;
inline constexpr plat::Err ERROR_NOT_ALL_ASSIGNED = 1300;
inline constexpr plat::Err ERROR_PRIVILEGE_NOT_HELD = 1314;
inline constexpr plat::Err ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr plat::Err ERROR_TIMEOUT = 1460;
inline constexpr plat::Err RPC_S_SERVER_UNAVAILABLE = 1722;
inline constexpr plat::Err ERROR_UNKNOWN_PORT = 1796;
inline constexpr plat::Err ERROR_UNKNOWN_PRINTER_DRIVER = 1797;
inline constexpr plat::Err ERROR_UNKNOWN_PRINTPROCESSOR = 1798;
inline constexpr plat::Err ERROR_INVALID_PRINTER_NAME = 1801;
inline constexpr plat::Err ERROR_PRINTER_ALREADY_EXISTS = 1802;
inline constexpr plat::Err ERROR_INVALID_PRINTER_COMMAND = 1803;
inline constexpr plat::Err ERROR_INVALID_ENVIRONMENT = 1805;
inline constexpr plat::Err ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
inline constexpr plat::Err ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
inline constexpr plat::Err ERROR_UNKNOWN_PRINT_MONITOR = 3000;
inline constexpr plat::Err ERROR_PRINTER_DRIVER_IN_USE = 3001;
inline constexpr plat::Err ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED = 3005;
inline constexpr plat::Err ERROR_PRINT_MONITOR_ALREADY_INSTALLED = 3006;
inline constexpr plat::Err ERROR_INVALID_PRINT_MONITOR = 3007;
inline constexpr plat::Err ERROR_PRINT_MONITOR_IN_USE = 3008;
inline constexpr plat::Err ERROR_PRINTER_HAS_JOBS_QUEUED = 3009;

// Registry roots, access, types and dispositions.
inline constexpr plat::HKey HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr plat::HKey HKEY_CURRENT_USER = 0x80000001u;
inline constexpr plat::HKey HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr plat::HKey HKEY_USERS = 0x80000003u;
inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr std::uint32_t KEY_READ = 0x20019;
inline constexpr std::uint32_t KEY_WRITE = 0x20006;
inline constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;
inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;
inline constexpr std::uint32_t REG_OPTION_NON_VOLATILE = 0;
inline constexpr std::uint32_t REG_CREATED_NEW_KEY = 1;
inline constexpr std::uint32_t REG_OPENED_EXISTING_KEY = 2;

// Versions.
inline constexpr std::uint32_t VER_PLATFORM_WIN32s = 0;
inline constexpr std::uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr std::uint32_t VER_PLATFORM_WIN32_NT = 2;

// Files.
inline constexpr std::uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr std::uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr std::uint32_t FILE_ATTRIBUTE_SYSTEM = 0x04;
inline constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr std::uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr std::uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

// Spooler.
inline constexpr std::uint32_t PRINTER_ENUM_DEFAULT = 0x01;
inline constexpr std::uint32_t PRINTER_ENUM_LOCAL = 0x02;
inline constexpr std::uint32_t PRINTER_ENUM_CONNECTIONS = 0x04;
inline constexpr std::uint32_t PRINTER_ALL_ACCESS = 0xF000C;
inline constexpr std::uint32_t PRINTER_ATTRIBUTE_QUEUED = 0x001;
inline constexpr std::uint32_t PRINTER_ATTRIBUTE_DIRECT = 0x002;
inline constexpr std::uint32_t PRINTER_ATTRIBUTE_DEFAULT = 0x004;
inline constexpr std::uint32_t PRINTER_ATTRIBUTE_SHARED = 0x008;
inline constexpr std::uint32_t PRINTER_ATTRIBUTE_LOCAL = 0x040;
inline constexpr std::uint32_t PRINTER_STATUS_PENDING_DELETION = 0x4;
inline constexpr std::uint32_t DPD_DELETE_UNUSED_FILES = 0x1;
inline constexpr std::uint32_t DPD_DELETE_SPECIFIC_VERSION = 0x2;
inline constexpr std::uint32_t DPD_DELETE_ALL_FILES = 0x4;

// Services.
inline constexpr std::uint32_t SC_MANAGER_ALL_ACCESS = 0xF003F;
inline constexpr std::uint32_t SERVICE_QUERY_STATUS = 0x0004;
inline constexpr std::uint32_t SERVICE_START = 0x0010;
inline constexpr std::uint32_t SERVICE_STOP = 0x0020;
inline constexpr std::uint32_t SERVICE_ALL_ACCESS = 0xF01FF;
inline constexpr std::uint32_t SERVICE_CONTROL_STOP = 1;
inline constexpr std::uint32_t SERVICE_CONTROL_INTERROGATE = 4;
inline constexpr std::uint32_t SERVICE_STOPPED = 1;
inline constexpr std::uint32_t SERVICE_START_PENDING = 2;
inline constexpr std::uint32_t SERVICE_STOP_PENDING = 3;
inline constexpr std::uint32_t SERVICE_RUNNING = 4;

// Windows, messages, shell, shutdown.
inline constexpr std::uint32_t WM_WININICHANGE = 0x001A;
inline constexpr std::uint32_t WM_SETTINGCHANGE = 0x001A;
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_RESTORE = 9;
inline constexpr std::uint32_t EWX_LOGOFF = 0;
inline constexpr std::uint32_t EWX_SHUTDOWN = 1;
inline constexpr std::uint32_t EWX_REBOOT = 2;
inline constexpr std::uint32_t EWX_FORCE = 4;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
#endif  // _WINDOWS_
