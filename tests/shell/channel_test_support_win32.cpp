// The system-bound helpers of the channel tests on Windows.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdlib>

#include "channel_test_support.h"

TestPipe MakeTestPipe() {
    // Not inheritable: a child started by a test must not hold these ends.
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, nullptr, 65536)) std::abort();
    return TestPipe{reinterpret_cast<StreamHandle>(readEnd),
                    reinterpret_cast<StreamHandle>(writeEnd)};
}

StreamHandle OpenFileStream(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? NoStream : reinterpret_cast<StreamHandle>(file);
}

std::FILE* OpenStdioStream(StreamHandle stream) {
    HANDLE own;
    HANDLE process = GetCurrentProcess();
    if (!DuplicateHandle(process, reinterpret_cast<HANDLE>(stream), process, &own, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        return nullptr;
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(own), _O_WRONLY | _O_BINARY);
    return fd < 0 ? nullptr : _fdopen(fd, "wb");
}

int CountOpenHandles() {
    DWORD count = 0;
    if (!GetProcessHandleCount(GetCurrentProcess(), &count)) std::abort();
    return int(count);
}
