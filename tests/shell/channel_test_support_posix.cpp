// The system-bound helpers of the channel tests on POSIX systems.

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "channel_test_support.h"

TestPipe MakeTestPipe() {
    int ends[2] = {-1, -1};
    if (pipe(ends) != 0) std::abort();
#ifdef F_SETPIPE_SZ
    fcntl(ends[1], F_SETPIPE_SZ, 65536);  // Linux: the default already is 64 KiB
#endif
    return TestPipe{ends[0], ends[1]};
}

StreamHandle OpenFileStream(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY);
    return fd < 0 ? NoStream : fd;
}

std::FILE* OpenStdioStream(StreamHandle stream) {
    return fdopen(dup(int(stream)), "w");
}

int CountOpenHandles() {
    DIR* folder = opendir("/proc/self/fd");
    if (folder == nullptr) std::abort();
    int count = 0;
    while (readdir(folder) != nullptr) count++;
    closedir(folder);
    return count;
}
