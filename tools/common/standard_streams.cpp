#include "standard_streams.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tools {

void openClosedStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The numbers below `fd` are open, so the null device gets `fd`.
        const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd)
            close(opened);
    }
}

} // namespace tools
