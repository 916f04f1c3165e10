#pragma once
// Small services of the system: environment, clipboard, starting programs, message boxes.

#include <string>

#include "platform/status.h"

struct HWND__;

namespace platform {

using WindowHandle = HWND__*;

// The value of an environment variable of this process; empty when it is absent.
std::wstring EnvironmentVariable(const std::wstring& name);

// Empties the clipboard (all formats). Fails when another program holds it open.
Status EmptyTheClipboard(WindowHandle owner);

// Starts a program from a command line with a window style (1 = normal, focused), as the
// classic Shell function does. Fails when the program cannot be started.
Status StartProgram(const std::wstring& command_line, int show_style);

// The shell's operation on an item (an empty operation is the item's default action). The
// shell's result is returned as a status; many callers ignore it.
Status ShellOpen(WindowHandle owner, const std::wstring& operation, const std::wstring& file,
                 const std::wstring& parameters, const std::wstring& folder, int show_style);

// Message box styles used by the program.
inline constexpr unsigned kMessageOk = 0x0;
inline constexpr unsigned kIconInformation = 0x40;
inline constexpr unsigned kIconWarning = 0x30;

// A modal message box; returns the id of the button that closed it.
int ShowMessage(WindowHandle owner, const std::wstring& text, const std::wstring& title,
                unsigned style);

}  // namespace platform
