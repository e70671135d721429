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

// The desktop entry of `desktopId` in the first applications folder that has it
// ($XDG_DATA_HOME/applications, then each of $XDG_DATA_DIRS); a "-" of the id may stand for a
// sub-folder ("vendor-web.desktop" is also vendor/web.desktop). No value when there is none.
std::optional<std::filesystem::path> desktopEntryFile(std::string_view desktopId);

// The desktop entry of the default application for `mimeType`: the first installed entry of
// "Default Applications" in the mimeapps.list files, in their order of preference (each config
// folder, then each applications folder; in each, the files of the desktops in
// $XDG_CURRENT_DESKTOP before mimeapps.list). An entry whose file is missing or hidden is skipped.
std::optional<std::filesystem::path> defaultApplication(std::string_view mimeType);

// The Exec line of a desktop entry file.
std::optional<std::string> desktopEntryExec(const std::filesystem::path& file);

} // namespace dwin::sys::win32::xdg
