// SPDX-License-Identifier: MIT
// The four Windows functions the version reader calls. On Windows they come from the platform's
// version and shell libraries; elsewhere platform/posix/ implements them with the same contract.
#pragma once

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#else

#include <cstdint>

using BOOL = int;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using DWORD_PTR = std::uintptr_t;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using LPDWORD = DWORD*;
using PUINT = UINT*;
using HICON = void*;
using CHAR = char;

constexpr int MAX_PATH = 260;
constexpr DWORD VS_FF_DEBUG = 0x1;
constexpr DWORD VS_FF_PRERELEASE = 0x2;
constexpr DWORD VS_FF_PATCHED = 0x4;
constexpr DWORD VS_FF_PRIVATEBUILD = 0x8;
constexpr DWORD VS_FF_INFOINFERRED = 0x10;
constexpr DWORD VS_FF_SPECIALBUILD = 0x20;
constexpr UINT SHGFI_TYPENAME = 0x400;
constexpr UINT SHGFI_EXETYPE = 0x2000;

struct SHFILEINFOA {
  HICON hIcon;
  int iIcon;
  DWORD dwAttributes;
  CHAR szDisplayName[MAX_PATH];
  CHAR szTypeName[80];
};

// Narrow text is UTF-8 here; strings of the version data arrive converted losslessly.
DWORD GetFileVersionInfoSizeA(LPCSTR filename, LPDWORD handle);
BOOL GetFileVersionInfoA(LPCSTR filename, DWORD handle, DWORD length, LPVOID data);
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length);
DWORD_PTR SHGetFileInfoA(LPCSTR path, DWORD fileAttributes, SHFILEINFOA* info, UINT infoSize,
                         UINT flags);

#endif
