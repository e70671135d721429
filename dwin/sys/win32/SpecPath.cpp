#include "dwin/sys/win32/SpecPath.h"

#include "dwin/sys/win32/XdgFiles.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

namespace dwin::sys::win32::SpecPath {
namespace {

bool isRegularFile(const fs::path& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// A bare program name looked up in $PATH (only executable files count).
std::optional<std::string> findOnPath(std::string_view name)
{
    const char* path = std::getenv("PATH");
    if (path == nullptr)
        return std::nullopt;
    for (const std::string& dir : xdg::splitList(path, ':')) {
        if (dir.empty())
            continue;
        const fs::path candidate = fs::path(dir) / name;
        if (isRegularFile(candidate) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
    }
    return std::nullopt;
}

// The XDG key for a shell-folder name, e.g. "Personal" -> "XDG_DOCUMENTS_DIR".
std::string userDirKey(std::string_view name)
{
    static const std::map<std::string, std::string, std::less<>> shellNames = {
        {"Desktop", "DESKTOP"},     {"Personal", "DOCUMENTS"},   {"My Documents", "DOCUMENTS"},
        {"My Music", "MUSIC"},      {"My Pictures", "PICTURES"}, {"My Video", "VIDEOS"},
        {"Templates", "TEMPLATES"}, {"Downloads", "DOWNLOAD"},   {"Public", "PUBLICSHARE"},
    };
    if (name.starts_with("XDG_"))
        return std::string(name);
    const auto known = shellNames.find(name);
    std::string key = known != shellNames.end() ? known->second : std::string(name);
    for (char& c : key)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return "XDG_" + key + "_DIR";
}

} // namespace

std::optional<std::string> getApplicationDataFolder()
{
    const std::optional<fs::path> folder = xdg::dataHome();
    if (!folder)
        return std::nullopt;
    std::error_code ec;
    fs::create_directories(*folder, ec);
    if (ec || !fs::is_directory(*folder, ec))
        return std::nullopt;
    return folder->string();
}

std::optional<std::string> getShellFolder(std::string_view name)
{
    const std::optional<fs::path> config = xdg::configHome();
    if (!config)
        return std::nullopt;
    const auto values = xdg::readUserDirs(*config / "user-dirs.dirs");
    const auto found = values.find(userDirKey(name));
    if (found == values.end())
        return std::nullopt;
    return found->second;
}

std::optional<std::string> browserPathFromCommand(std::string_view command)
{
    std::string_view path = command;
    if (path.starts_with('"')) {
        path.remove_prefix(1);
        path = path.substr(0, path.find('"'));
    }
    if (path.empty())
        return std::nullopt;
    if (path.find('/') == std::string_view::npos)
        return findOnPath(path);
    if (!isRegularFile(fs::path(path)))
        return std::nullopt;
    return std::string(path);
}

std::optional<std::string> getBrowserPath()
{
    if (const char* browser = std::getenv("BROWSER"); browser != nullptr && *browser != '\0') {
        const auto entries = xdg::splitList(browser, ':');
        if (!entries.empty())
            if (auto path = browserPathFromCommand(entries.front()))
                return path;
    }
    const std::optional<fs::path> entry = xdg::defaultApplication("x-scheme-handler/http");
    if (!entry)
        return std::nullopt;
    const std::optional<std::string> exec = xdg::desktopEntryExec(*entry);
    if (!exec)
        return std::nullopt;
    return browserPathFromCommand(*exec);
}

} // namespace dwin::sys::win32::SpecPath
