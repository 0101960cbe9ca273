// The system's headers for the files of the Windows front end, each included here and only
// here. The game declares its window messages, keys, box styles, menu states and registry
// values as constants of its own under the system's names and numbers, and calls of its own
// PostMessage, PeekMessage, SendMessage, MessageBox and PlaySound; the system spells all of
// them as macros. Those macros are undone below, so that in this front end the names are
// always the game's (with the system's numbers), and the system's calls are made by their
// wide names (PostMessageW, MessageBoxW).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, in this order.
#include <commctrl.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <richedit.h>
#include <shellapi.h>
#include <shlobj.h>
#include <xinput.h>

#undef PostMessage
#undef PeekMessage
#undef SendMessage
#undef MessageBox
#undef PlaySound
#undef RGB

#undef WM_MOVE
#undef WM_SETFOCUS
#undef WM_PAINT
#undef WM_CLOSE
#undef WM_QUIT
#undef WM_ACTIVATEAPP
#undef WM_KEYDOWN
#undef WM_INITDIALOG
#undef WM_COMMAND
#undef WM_TIMER
#undef WM_MOUSEMOVE
#undef WM_LBUTTONDOWN
#undef WM_RBUTTONDOWN
#undef WM_EXITSIZEMOVE
#undef VK_ESCAPE
#undef VK_F2
#undef VK_F3

#undef MB_TYPEMASK
#undef MB_OK
#undef MB_YESNO
#undef MB_ICONMASK
#undef MB_ICONHAND
#undef MB_ICONQUESTION
#undef MB_ICONEXCLAMATION
#undef MB_ICONASTERISK
#undef IDOK
#undef IDYES
#undef IDNO
#undef MFS_ENABLED
#undef MFS_GRAYED
#undef MFS_CHECKED
#undef SND_ASYNC
#undef SND_NOSTOP
#undef SND_RESOURCE

#undef HKEY_LOCAL_MACHINE
#undef KEY_ALL_ACCESS
#undef REG_OPTION_NON_VOLATILE
#undef REG_SZ
#undef REG_DWORD
#undef REG_CREATED_NEW_KEY
#undef REG_OPENED_EXISTING_KEY
#undef ERROR_SUCCESS
#undef ERROR_FILE_NOT_FOUND
#undef ERROR_ACCESS_DENIED
#undef ERROR_INVALID_HANDLE
#undef ERROR_WRITE_FAULT
#undef ERROR_INVALID_PARAMETER
#undef ERROR_MORE_DATA
