// The game's single-byte text (Windows-1252) as the system's wide calls take it, and back:
// the menus, the dialogs' texts, the messages, the names typed and the registry's strings.
// The narrow calls would read it in the system's code page, which is not 1252 everywhere.
#pragma once

#include <string>
#include <string_view>

namespace krelmo::win32 {

std::wstring FromGameText(std::string_view bytes);
// Characters the code page lacks become '?', as the system's narrow calls give them.
std::string ToGameText(std::wstring_view text);

// File names: the system's wide names and the UTF-8 that the game's file calls take.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace krelmo::win32
