#include "channel_test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "search/clock.h"

TestPipe MakeTestPipe() {
    int ends[2] = {-1, -1};
    if (pipe(ends) != 0) abort();
    return TestPipe{ends[0], ends[1]};
}

void CloseTestPipe(TestPipe& pipe) {
    if (pipe.readEnd >= 0) close(pipe.readEnd);
    if (pipe.writeEnd >= 0) close(pipe.writeEnd);
    pipe.readEnd = pipe.writeEnd = -1;
}

void WriteAllTo(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
        if (put <= 0) abort();
        done += size_t(put);
    }
}

std::string ReadAvailable(int fd, int ms) {
    std::string bytes;
    int64_t deadline = ClockMilliseconds() + ms;
    for (;;) {
        int64_t left = deadline - ClockMilliseconds();
        if (left < 0) left = 0;
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, int(left)) <= 0) return bytes;
        char chunk[4096];
        ssize_t got = read(fd, chunk, sizeof chunk);
        if (got <= 0) return bytes;
        bytes.append(chunk, size_t(got));
        if (left == 0) return bytes;
    }
}

TempFile::TempFile(const std::string& name, const std::string& content, bool executable) {
    char pattern[] = "/tmp/quillon-test-XXXXXX";
    if (mkdtemp(pattern) == nullptr) abort();
    // The directory as the system names it, symbolic links resolved.
    char resolved[4096];
    if (realpath(pattern, resolved) == nullptr) abort();
    directory = resolved;
    path = directory + "/" + name;
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, executable ? 0755 : 0644);
    if (fd < 0) abort();
    WriteAllTo(fd, content);
    close(fd);
}

TempFile::~TempFile() {
    unlink(path.c_str());
    rmdir(directory.c_str());
}

bool ReadLineWithin(LineChannel& channel, char* line, int ms) {
    int64_t deadline = ClockMilliseconds() + ms;
    for (;;) {
        if (ReadLine(channel, line)) return true;
        if (AtEndOfInput(channel) || ClockMilliseconds() > deadline) return false;
        SleepMilliseconds(1);
    }
}

std::vector<std::string> ReadLinesToEnd(LineChannel& channel, int ms, bool* ended) {
    std::vector<std::string> lines;
    int64_t deadline = ClockMilliseconds() + ms;
    char line[LineBufferSize];
    for (;;) {
        int64_t left = deadline - ClockMilliseconds();
        if (left < 0) left = 0;
        if (ReadLineWithin(channel, line, int(left))) {
            lines.push_back(line);
            continue;
        }
        *ended = AtEndOfInput(channel);
        return lines;
    }
}

std::string ReadBytesToEnd(LineChannel& channel, int ms, bool* ended) {
    std::string bytes;
    int64_t deadline = ClockMilliseconds() + ms;
    while (ClockMilliseconds() <= deadline) {
        char chunk[4096];
        int32_t got = PendingInputBytes(channel.InHandle) != 0
                          ? ReadStream(channel.InHandle, chunk, sizeof chunk)
                          : -1;
        if (got == 0) {
            *ended = true;
            return bytes;
        }
        if (got > 0) {
            bytes.append(chunk, size_t(got));
        } else {
            SleepMilliseconds(1);
        }
    }
    *ended = false;
    return bytes;
}
