#include "dwin/sys/win32/XdgFiles.h"

#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace dwin::sys::win32::xdg {
namespace {

std::optional<fs::path> home()
{
    const char* value = std::getenv("HOME");
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return fs::path(value);
}

std::optional<fs::path> absoluteVariable(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value != '/')
        return std::nullopt;
    return fs::path(value);
}

// Absolute entries of a colon-separated variable, or of `fallback` when it is unset or empty.
std::vector<fs::path> pathList(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    std::vector<fs::path> dirs;
    for (const std::string& entry : splitList(value && *value ? value : fallback, ':'))
        if (entry.starts_with('/'))
            dirs.emplace_back(entry);
    return dirs;
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The value of `key` in section `section` of an ini-style file.
std::optional<std::string> iniValue(const fs::path& file, std::string_view section,
                                    std::string_view key)
{
    std::ifstream in(file);
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        const std::string_view text = trim(line);
        if (text.empty() || text.front() == '#')
            continue;
        if (text.front() == '[') {
            inSection = text.size() == section.size() + 2 &&
                text.substr(1, section.size()) == section && text.back() == ']';
            continue;
        }
        const auto equals = text.find('=');
        if (inSection && equals != std::string_view::npos && trim(text.substr(0, equals)) == key)
            return std::string(trim(text.substr(equals + 1)));
    }
    return std::nullopt;
}

std::vector<fs::path> applicationDirs()
{
    std::vector<fs::path> dirs;
    if (auto data = dataHome())
        dirs.push_back(*data / "applications");
    for (const fs::path& dir : pathList("XDG_DATA_DIRS", "/usr/local/share:/usr/share"))
        dirs.push_back(dir / "applications");
    return dirs;
}

// The file of a desktop id below an applications folder: `id` itself, or a sub-folder named by
// the text before one of its "-" holding the rest of the id.
std::optional<fs::path> findDesktopEntry(const fs::path& dir, std::string_view id)
{
    std::error_code ec;
    if (fs::is_regular_file(dir / id, ec))
        return dir / id;
    for (auto dash = id.find('-'); dash != std::string_view::npos; dash = id.find('-', dash + 1)) {
        const std::string_view folder = id.substr(0, dash);
        if (folder == "." || folder == ".." || !fs::is_directory(dir / folder, ec))
            continue;
        if (auto file = findDesktopEntry(dir / folder, id.substr(dash + 1)))
            return file;
    }
    return std::nullopt;
}

// The names in $XDG_CURRENT_DESKTOP, in lower case.
std::vector<std::string> currentDesktops()
{
    const char* value = std::getenv("XDG_CURRENT_DESKTOP");
    std::vector<std::string> desktops;
    for (std::string name : splitList(value ? value : "", ':')) {
        if (name.empty())
            continue;
        for (char& c : name)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        desktops.push_back(std::move(name));
    }
    return desktops;
}

// The mimeapps.list files, most preferred first.
std::vector<fs::path> mimeappsFiles()
{
    std::vector<fs::path> dirs;
    if (auto config = configHome())
        dirs.push_back(*config);
    for (const fs::path& dir : pathList("XDG_CONFIG_DIRS", "/etc/xdg"))
        dirs.push_back(dir);
    for (const fs::path& dir : applicationDirs())
        dirs.push_back(dir);
    const std::vector<std::string> desktops = currentDesktops();
    std::vector<fs::path> files;
    for (const fs::path& dir : dirs) {
        for (const std::string& desktop : desktops)
            files.push_back(dir / (desktop + "-mimeapps.list"));
        files.push_back(dir / "mimeapps.list");
    }
    return files;
}

} // namespace

std::vector<std::string> splitList(std::string_view text, char separator)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        pieces.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos)
            return pieces;
        start = end + 1;
    }
}

std::optional<fs::path> dataHome()
{
    if (auto dir = absoluteVariable("XDG_DATA_HOME"))
        return dir;
    if (auto dir = home())
        return *dir / ".local" / "share";
    return std::nullopt;
}

std::optional<fs::path> configHome()
{
    if (auto dir = absoluteVariable("XDG_CONFIG_HOME"))
        return dir;
    if (auto dir = home())
        return *dir / ".config";
    return std::nullopt;
}

std::map<std::string, std::string> readUserDirs(const fs::path& file)
{
    std::map<std::string, std::string> values;
    std::ifstream in(file);
    std::string line;
    const std::string homeDir = home() ? home()->string() : std::string();
    while (std::getline(in, line)) {
        const std::string_view text = trim(line);
        const auto equals = text.find('=');
        if (text.empty() || text.front() == '#' || equals == std::string_view::npos)
            continue;
        std::string_view value = trim(text.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        std::string expanded(value);
        if (value == "$HOME" || value.starts_with("$HOME/"))
            expanded = homeDir + std::string(value.substr(5));
        values[std::string(trim(text.substr(0, equals)))] = expanded;
    }
    return values;
}

std::optional<fs::path> desktopEntryFile(std::string_view desktopId)
{
    if (desktopId.empty() || desktopId.find('/') != std::string_view::npos)
        return std::nullopt;
    for (const fs::path& dir : applicationDirs())
        if (auto file = findDesktopEntry(dir, desktopId))
            return file;
    return std::nullopt;
}

std::optional<fs::path> defaultApplication(std::string_view mimeType)
{
    for (const fs::path& list : mimeappsFiles()) {
        const auto value = iniValue(list, "Default Applications", mimeType);
        if (!value)
            continue;
        for (const std::string& id : splitList(*value, ';')) {
            const std::optional<fs::path> file = desktopEntryFile(id);
            if (file && iniValue(*file, "Desktop Entry", "Hidden") != "true")
                return file;
        }
    }
    return std::nullopt;
}

std::optional<std::string> desktopEntryExec(const fs::path& file)
{
    return iniValue(file, "Desktop Entry", "Exec");
}

} // namespace dwin::sys::win32::xdg
