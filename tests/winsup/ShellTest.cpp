// Folders, environment strings, the default browser and shell open, on files in a temp folder.
#include "dwin/sys/win32/Shell32.h"
#include "dwin/sys/win32/SpecPath.h"
#include "dwin/sys/win32/Wrapper.h"

#include "ScopedEnv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include <sys/stat.h>

namespace fs = std::filesystem;
namespace SpecPath = dwin::sys::win32::SpecPath;
namespace Wrapper = dwin::sys::win32::Wrapper;

namespace {

class TempDir {
public:
    TempDir()
    {
        std::random_device seed;
        path_ = fs::temp_directory_path() /
            ("winsup-" + std::to_string(seed()) + "-" + std::to_string(::getpid()));
        fs::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void writeFile(const fs::path& file, const std::string& text, bool executable = false)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
    if (executable)
        ::chmod(file.c_str(), 0755);
}

// Every XDG variable points into the temp folder, so no file of this machine is read.
class Xdg : public testing::Test {
protected:
    TempDir tmp;
    ScopedEnv home{"HOME", (tmp.path() / "home").string()};
    ScopedEnv dataHome{"XDG_DATA_HOME", (tmp.path() / "data").string()};
    ScopedEnv configHome{"XDG_CONFIG_HOME", (tmp.path() / "config").string()};
    ScopedEnv dataDirs{"XDG_DATA_DIRS", (tmp.path() / "sysdata").string()};
    ScopedEnv configDirs{"XDG_CONFIG_DIRS", (tmp.path() / "sysconfig").string()};
    ScopedEnv browser{"BROWSER", nullptr};
};

TEST_F(Xdg, DataFolderFromXdgDataHomeIsCreated)
{
    ScopedEnv deep("XDG_DATA_HOME", (tmp.path() / "a" / "b").string());
    EXPECT_EQ(SpecPath::getApplicationDataFolder(), (tmp.path() / "a" / "b").string());
    EXPECT_TRUE(fs::is_directory(tmp.path() / "a" / "b"));
}

TEST_F(Xdg, DataFolderFallsBackToHome)
{
    ScopedEnv unset("XDG_DATA_HOME", nullptr);
    const fs::path expected = tmp.path() / "home" / ".local" / "share";
    EXPECT_EQ(SpecPath::getApplicationDataFolder(), expected.string());
    EXPECT_TRUE(fs::is_directory(expected));
}

TEST_F(Xdg, RelativeXdgDataHomeIsIgnored)
{
    ScopedEnv relative("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(SpecPath::getApplicationDataFolder(),
              (tmp.path() / "home" / ".local" / "share").string());
}

TEST_F(Xdg, NoDataFolderWithoutHome)
{
    ScopedEnv unsetData("XDG_DATA_HOME", nullptr);
    ScopedEnv unsetHome("HOME", nullptr);
    EXPECT_EQ(SpecPath::getApplicationDataFolder(), std::nullopt);
}

TEST_F(Xdg, DataFolderThatCannotBeCreated)
{
    writeFile(tmp.path() / "file", "x");
    ScopedEnv blocked("XDG_DATA_HOME", (tmp.path() / "file" / "data").string());
    EXPECT_EQ(SpecPath::getApplicationDataFolder(), std::nullopt);
}

TEST_F(Xdg, ShellFoldersFromUserDirs)
{
    writeFile(tmp.path() / "config" / "user-dirs.dirs",
              "# written by a test\n"
              "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
              "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n"
              "XDG_MUSIC_DIR=\"/srv/music\"\n"
              "XDG_PUBLICSHARE_DIR=\"$HOME\"\n");
    const std::string home = (tmp.path() / "home").string();
    EXPECT_EQ(SpecPath::getShellFolder("Desktop"), home + "/Desktop");
    EXPECT_EQ(SpecPath::getShellFolder("Personal"), home + "/Papers");
    EXPECT_EQ(SpecPath::getShellFolder("DOCUMENTS"), home + "/Papers");
    EXPECT_EQ(SpecPath::getShellFolder("My Music"), "/srv/music");
    EXPECT_EQ(SpecPath::getShellFolder("XDG_MUSIC_DIR"), "/srv/music");
    EXPECT_EQ(SpecPath::getShellFolder("Public"), home);
    EXPECT_EQ(SpecPath::getShellFolder("My Pictures"), std::nullopt);
}

TEST_F(Xdg, NoUserDirsFile)
{
    EXPECT_EQ(SpecPath::getShellFolder("Desktop"), std::nullopt);
}

TEST(Environment, ExpandsSetVariables)
{
    ScopedEnv one("QMK_TEST_ONE", "first");
    ScopedEnv two("QMK_TEST_TWO", "2");
    ScopedEnv none("QMK_TEST_NONE", nullptr);
    EXPECT_EQ(Wrapper::expandEnvironmentStrings("%QMK_TEST_ONE%\\dir"), "first\\dir");
    EXPECT_EQ(Wrapper::expandEnvironmentStrings("a%QMK_TEST_ONE%%QMK_TEST_TWO%b"), "afirst2b");
    EXPECT_EQ(Wrapper::expandEnvironmentStrings("%QMK_TEST_NONE%/x"), "%QMK_TEST_NONE%/x");
    EXPECT_EQ(Wrapper::expandEnvironmentStrings("100% sure"), "100% sure");
    EXPECT_EQ(Wrapper::expandEnvironmentStrings("%%"), "%%");
    EXPECT_EQ(Wrapper::expandEnvironmentStrings("50% or %QMK_TEST_TWO%"), "50% or 2");
    EXPECT_EQ(Wrapper::expandEnvironmentStrings(""), "");
}

class BrowserRule : public testing::Test {
protected:
    void SetUp() override
    {
        writeFile(program, "#!/bin/sh\n", true);
        writeFile(tmp.path() / "bin" / "surfer", "#!/bin/sh\n", true);
    }
    TempDir tmp;
    fs::path program = tmp.path() / "Web Browser" / "browser";
    ScopedEnv path{"PATH", (tmp.path() / "bin").string()};
};

TEST_F(BrowserRule, QuotedCommandWithArguments)
{
    EXPECT_EQ(SpecPath::browserPathFromCommand("\"" + program.string() + "\" %1"),
              program.string());
    EXPECT_EQ(SpecPath::browserPathFromCommand("\"" + program.string() + "\" --new-window %u"),
              program.string());
}

TEST_F(BrowserRule, QuoteWithoutEndRunsToTheEnd)
{
    EXPECT_EQ(SpecPath::browserPathFromCommand("\"" + program.string()), program.string());
}

TEST_F(BrowserRule, UnquotedCommandStaysWhole)
{
    const fs::path plain = tmp.path() / "plainbrowser";
    writeFile(plain, "#!/bin/sh\n", true);
    EXPECT_EQ(SpecPath::browserPathFromCommand(plain.string()), plain.string());
    EXPECT_EQ(SpecPath::browserPathFromCommand(plain.string() + " %u"), std::nullopt);
}

TEST_F(BrowserRule, MissingFile)
{
    EXPECT_EQ(SpecPath::browserPathFromCommand("\"" + (tmp.path() / "gone").string() + "\" %1"),
              std::nullopt);
    EXPECT_EQ(SpecPath::browserPathFromCommand((tmp.path() / "gone").string()), std::nullopt);
    EXPECT_EQ(SpecPath::browserPathFromCommand(tmp.path().string()), std::nullopt); // a folder
    EXPECT_EQ(SpecPath::browserPathFromCommand(""), std::nullopt);
    EXPECT_EQ(SpecPath::browserPathFromCommand("\"\" %1"), std::nullopt);
}

TEST_F(BrowserRule, BareNameIsLookedUpOnPath)
{
    EXPECT_EQ(SpecPath::browserPathFromCommand("surfer"), (tmp.path() / "bin" / "surfer").string());
    EXPECT_EQ(SpecPath::browserPathFromCommand("surfer %u"), std::nullopt);
    EXPECT_EQ(SpecPath::browserPathFromCommand("nosuchbrowser"), std::nullopt);
}

TEST_F(Xdg, BrowserFromBrowserVariable)
{
    const fs::path program = tmp.path() / "bin" / "browser";
    writeFile(program, "#!/bin/sh\n", true);
    ScopedEnv set("BROWSER", program.string() + ":/usr/bin/other");
    EXPECT_EQ(SpecPath::getBrowserPath(), program.string());
}

TEST_F(Xdg, BrowserFromDefaultDesktopEntry)
{
    const fs::path program = tmp.path() / "opt" / "My Browser" / "run";
    writeFile(program, "#!/bin/sh\n", true);
    writeFile(tmp.path() / "config" / "mimeapps.list",
              "[Added Associations]\nx-scheme-handler/http=wrong.desktop;\n"
              "[Default Applications]\ntext/html=wrong.desktop\n"
              "x-scheme-handler/http=mine.desktop;other.desktop;\n");
    writeFile(tmp.path() / "data" / "applications" / "mine.desktop",
              "[Desktop Entry]\nName=Mine\nExec=\"" + program.string() +
                  "\" %u\n[Desktop Action new]\nExec=nothing\n");
    EXPECT_EQ(SpecPath::getBrowserPath(), program.string());
}

TEST_F(Xdg, DesktopEntryInSystemDataDirs)
{
    const fs::path program = tmp.path() / "opt" / "sysbrowser";
    writeFile(program, "#!/bin/sh\n", true);
    writeFile(tmp.path() / "sysdata" / "applications" / "mimeapps.list",
              "[Default Applications]\nx-scheme-handler/http=sys.desktop\n");
    writeFile(tmp.path() / "sysdata" / "applications" / "sys.desktop",
              "[Desktop Entry]\nExec=" + program.string() + "\n");
    EXPECT_EQ(SpecPath::getBrowserPath(), program.string());
}

TEST_F(Xdg, UnquotedExecWithArgumentsGivesNoBrowser)
{
    writeFile(tmp.path() / "config" / "mimeapps.list",
              "[Default Applications]\nx-scheme-handler/http=web.desktop\n");
    writeFile(tmp.path() / "data" / "applications" / "web.desktop",
              "[Desktop Entry]\nExec=/bin/sh %u\n");
    EXPECT_EQ(SpecPath::getBrowserPath(), std::nullopt);
}

// A layout of XDG folders in the temp folder and the browser it gives (a program in "bin").
struct BrowserLayout {
    const char* desktops; // $XDG_CURRENT_DESKTOP
    std::vector<std::pair<std::string, std::string>> files;
    const char* browser;
};

TEST_F(Xdg, DefaultBrowserAsTheMimeAppsAndDesktopEntryRulesSay)
{
    const std::string http = "[Default Applications]\nx-scheme-handler/http=";
    auto entry = [this](const char* program) {
        return "[Desktop Entry]\nExec=\"" + (tmp.path() / "bin" / program).string() + "\" %u\n";
    };
    const BrowserLayout layouts[] = {
        // an entry that is not installed, or hidden, gives way to the next
        {"",
         {{"config/mimeapps.list", http + "gone.desktop;hidden.desktop;web.desktop;\n"},
          {"data/applications/hidden.desktop", entry("hidden") + "Hidden=true\n"},
          {"sysdata/applications/web.desktop", entry("web")}},
         "web"},
        // a sub-folder stands for the part of the id before a "-"
        {"",
         {{"config/mimeapps.list", http + "vendor-web.desktop\n"},
          {"sysdata/applications/vendor/web.desktop", entry("vendor")}},
         "vendor"},
        // a list with nothing installed gives way to the next file
        {"",
         {{"config/mimeapps.list", http + "gone.desktop\n"},
          {"sysconfig/mimeapps.list", http + "sys.desktop\n"},
          {"data/applications/sys.desktop", entry("sys")}},
         "sys"},
        // the current desktops' lists come first, in their order, in each folder
        {"X-Cinnamon:GNOME",
         {{"config/mimeapps.list", http + "plain.desktop\n"},
          {"config/x-cinnamon-mimeapps.list", http + "gone.desktop\n"},
          {"config/gnome-mimeapps.list", http + "gnome.desktop\n"},
          {"data/applications/plain.desktop", entry("plain")},
          {"data/applications/gnome.desktop", entry("gnome")}},
         "gnome"},
    };
    for (const BrowserLayout& layout : layouts) {
        for (const char* dir : {"config", "sysconfig", "data", "sysdata", "bin"})
            fs::remove_all(tmp.path() / dir);
        ScopedEnv desktops("XDG_CURRENT_DESKTOP", layout.desktops);
        for (const auto& [file, text] : layout.files)
            writeFile(tmp.path() / file, text);
        for (const char* program : {"web", "hidden", "vendor", "sys", "plain", "gnome"})
            writeFile(tmp.path() / "bin" / program, "#!/bin/sh\n", true);
        EXPECT_EQ(SpecPath::getBrowserPath(), (tmp.path() / "bin" / layout.browser).string())
            << layout.browser;
    }
}

TEST_F(Xdg, NoDefaultBrowser)
{
    EXPECT_EQ(SpecPath::getBrowserPath(), std::nullopt);
}

// What the fake opener on $PATH was handed by Shell32::open(url): "<count>|<first argument>".
std::string openedWith(const std::string& url)
{
    TempDir tmp;
    const fs::path log = tmp.path() / "opened.txt";
    writeFile(tmp.path() / "bin" / "xdg-open",
              "#!/bin/sh\nsleep 1\nprintf '%s|%s' \"$#\" \"$1\" > \"" + log.string() +
                  ".tmp\"\nmv \"" + log.string() + ".tmp\" \"" + log.string() + "\"\n",
              true);
    ScopedEnv path("PATH", (tmp.path() / "bin").string() + ":/usr/bin:/bin");
    dwin::sys::win32::Shell32::open(url);
    EXPECT_FALSE(fs::exists(log)); // open() does not wait for the opener
    for (int i = 0; i < 1000 && !fs::exists(log); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(log);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(Shell, OpenRunsXdgOpenDetached)
{
    const std::string url = "http://127.0.0.1:9/page?a=1&b=two words;$(true)";
    EXPECT_EQ(openedWith(url), "1|" + url);
    EXPECT_EQ(openedWith("--help"), "1|./--help");
    EXPECT_EQ(openedWith("-x http://127.0.0.1:9/"), "1|./-x http://127.0.0.1:9/");
}

TEST(Shell, EmptyUrlOpensNothing)
{
    TempDir tmp;
    const fs::path log = tmp.path() / "opened.txt";
    writeFile(tmp.path() / "bin" / "xdg-open", "#!/bin/sh\ntouch \"" + log.string() + "\"\n", true);
    ScopedEnv path("PATH", (tmp.path() / "bin").string() + ":/usr/bin:/bin");
    dwin::sys::win32::Shell32::open("");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(fs::exists(log));
}

TEST(Shell, MissingOpenerIsNotReported)
{
    TempDir tmp;
    ScopedEnv path("PATH", (tmp.path() / "empty").string());
    dwin::sys::win32::Shell32::open("http://127.0.0.1:9/");
    SUCCEED();
}

} // namespace
