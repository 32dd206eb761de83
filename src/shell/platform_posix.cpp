// The shell's system services on POSIX systems.

#ifndef _WIN32

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include "shell/platform.h"

StreamHandle StandardInputStream() {
    return STDIN_FILENO;
}
StreamHandle StandardOutputStream() {
    return STDOUT_FILENO;
}

// Terminals queue no events; they are read like pipes.
bool IsConsoleStream(StreamHandle) {
    return false;
}
void PrepareConsoleInput(StreamHandle) {}
int32_t PendingConsoleEvents(StreamHandle) {
    return -1;
}

void IgnoreBrokenPipes() {
    signal(SIGPIPE, SIG_IGN);
}

void UseBinaryStandardStreams() {}

int32_t PendingInputBytes(StreamHandle stream) {
    if (stream < 0) return -1;
    pollfd ready{int(stream), POLLIN, 0};
    int found = poll(&ready, 1, 0);
    if (found == 0) return 0;
    if (found < 0) return errno == EINTR ? 0 : -1;
    if (ready.revents & POLLIN) {
        int waiting = 0;
        if (ioctl(int(stream), FIONREAD, &waiting) == 0 && waiting > 0) return waiting;
    }
    // A hang-up, an error, a file at its end: the read comes back at once.
    return -1;
}

int32_t ReadStream(StreamHandle stream, char* buffer, int32_t size) {
    if (size <= 0) return -1;
    ssize_t got = read(int(stream), buffer, size_t(size));
    if (got > 0) return int32_t(got);
    if (got == 0) return 0;
    if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) return -1;
    return 0;
}

void WriteStream(StreamHandle stream, const char* bytes, int32_t size) {
    while (size > 0) {
        ssize_t put = write(int(stream), bytes, size_t(size));
        if (put < 0) {
            if (errno == EINTR) continue;
            return;
        }
        bytes += put;
        size -= int32_t(put);
    }
}

void CloseStream(StreamHandle stream) {
    if (stream >= 0) close(int(stream));
}

void SleepMilliseconds(int32_t ms) {
    if (ms <= 0) return;
    timespec wait{ms / 1000, long(ms % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}

#endif  // _WIN32
