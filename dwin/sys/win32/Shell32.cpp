#include "dwin/sys/win32/Shell32.h"

#include <cerrno>

#include <sys/wait.h>
#include <unistd.h>

namespace dwin::sys::win32::Shell32 {

void open(const std::string& url)
{
    if (url.empty())
        return;
    // Everything the children need is made before fork: after it only async-signal-safe calls.
    std::string program = "xdg-open";
    std::string argument = url;
    char* argv[] = {program.data(), argument.data(), nullptr};

    const pid_t child = fork();
    if (child < 0)
        return;
    if (child == 0) {
        // The child starts the opener in a grandchild and leaves at once, so the opener is
        // adopted by init and never becomes our zombie.
        setsid();
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            execvp(argv[0], argv);
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace dwin::sys::win32::Shell32
