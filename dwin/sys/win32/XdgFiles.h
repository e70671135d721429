#pragma once
// Readers of the freedesktop.org (XDG) files behind SpecPath: base directories, the user
// directories file, mimeapps.list and desktop entries. Missing or unreadable files read as empty.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dwin::sys::win32::xdg {

// `text` split at `separator`; empty pieces are kept.
std::vector<std::string> splitList(std::string_view text, char separator);

// $XDG_DATA_HOME when absolute, else $HOME/.local/share; no value without a home.
std::optional<std::filesystem::path> dataHome();
// $XDG_CONFIG_HOME when absolute, else $HOME/.config; no value without a home.
std::optional<std::filesystem::path> configHome();

// KEY="value" lines of a user-dirs.dirs file, with a leading "$HOME" expanded.
std::map<std::string, std::string> readUserDirs(const std::filesystem::path& file);

// The first desktop id that the mimeapps.list files give as default for `mimeType`.
std::optional<std::string> defaultApplication(std::string_view mimeType);

// The Exec line of the desktop entry `desktopId` in the applications folders.
std::optional<std::string> desktopEntryExec(std::string_view desktopId);

} // namespace dwin::sys::win32::xdg
