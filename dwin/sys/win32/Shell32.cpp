#include "dwin/sys/win32/Shell32.h"

#include <cerrno>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace dwin::sys::win32::Shell32 {

void open(const std::string& url)
{
    if (url.empty())
        return;
    // A short-lived shell starts the opener in the background and leaves at once, so the opener
    // (which may run the browser in the foreground) belongs to init, not to us. The URL is passed
    // as "$1", never parsed by the shell.
    std::string shell = "/bin/sh";
    std::string dashC = "-c";
    std::string script = "xdg-open \"$1\" </dev/null &";
    std::string name = "sh";
    // xdg-open takes no "--": an address that looks like an option goes as a relative path.
    std::string argument = url.starts_with('-') ? "./" + url : url;
    char* argv[] = {shell.data(), dashC.data(),    script.data(),
                    name.data(),  argument.data(), nullptr};

    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return;
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child = 0;
    const int rc = posix_spawn(&child, argv[0], nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0)
        return;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
}

} // namespace dwin::sys::win32::Shell32
