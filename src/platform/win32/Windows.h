#pragma once
// The Windows headers for every Win32 leaf file: include this, never <windows.h> itself.
//
// The platform interfaces name some of their members as Windows does (Dialogs::MessageBox,
// Registry::HKEY_CURRENT_USER, Registry::REG_SZ, Registry::ERROR_SUCCESS...), and <windows.h>
// makes those names macros, which would rewrite our declarations and calls. So the macros go,
// here and only here, and the values Win32 calls need from them stay below under names of their
// own. With the macros gone, this header and the platform headers may come in either order.
// A C++ library header first: MinGW's libstdc++ then defines NOMINMAX, so <windows.h> leaves
// std::min and std::max alone.
#include <cstddef>

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <winspool.h>

namespace papyra::win32 {

// What the removed macros stood for.
inline const HKEY CurrentUserKey = HKEY_CURRENT_USER;
inline constexpr REGSAM QueryValueAccess = KEY_QUERY_VALUE;
inline constexpr DWORD StringValue = REG_SZ;
inline constexpr LONG Success = ERROR_SUCCESS;
inline constexpr DWORD FileNotFound = ERROR_FILE_NOT_FOUND;
inline constexpr DWORD InvalidHandle = ERROR_INVALID_HANDLE;
inline constexpr DWORD MoreData = ERROR_MORE_DATA;

} // namespace papyra::win32

#undef MessageBox
#undef HKEY_CURRENT_USER
#undef KEY_QUERY_VALUE
#undef REG_SZ
#undef REG_EXPAND_SZ
#undef REG_BINARY
#undef REG_DWORD
#undef ERROR_SUCCESS
#undef ERROR_FILE_NOT_FOUND
#undef ERROR_INVALID_HANDLE
#undef ERROR_MORE_DATA
