#pragma once
// Per-user folders and the default browser, the XDG way.

#include <optional>
#include <string>
#include <string_view>

namespace dwin::sys::win32::SpecPath {

// The per-user application-data folder: $XDG_DATA_HOME when set to an absolute path, else
// $HOME/.local/share; created (with its parents) when missing. No value when there is no home
// or the folder cannot be created.
std::optional<std::string> getApplicationDataFolder();

// A folder of the XDG user directories file ($XDG_CONFIG_HOME, else ~/.config, "user-dirs.dirs").
// `name` is a shell-folder name ("Desktop", "Personal", "My Music", "My Pictures", "My Video",
// "Templates", "Downloads", "Public"), an XDG name ("DOCUMENTS") or its key ("XDG_DOCUMENTS_DIR").
// The value with "$HOME" expanded; no value when the file or the key is missing.
std::optional<std::string> getShellFolder(std::string_view name);

// The default browser's executable: the first entry of $BROWSER, else the Exec line of the
// default application for x-scheme-handler/http (xdg::defaultApplication). The command line goes
// through browserPathFromCommand. No value when none is found.
std::optional<std::string> getBrowserPath();

// The rule for a browser command line: a command that begins with a double quote gives the text
// up to the next double quote (or the end); any other command is kept whole. A bare name
// (no "/") is looked up in $PATH. The result must name an existing regular file, else no value.
std::optional<std::string> browserPathFromCommand(std::string_view command);

} // namespace dwin::sys::win32::SpecPath
