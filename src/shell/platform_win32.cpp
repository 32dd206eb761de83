// The shell's system services on Windows: the console and pipe functions of
// KERNEL32.

#ifdef _WIN32

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

#include "shell/platform.h"

namespace {

HANDLE HandleOf(StreamHandle stream) {
    return reinterpret_cast<HANDLE>(stream);
}

StreamHandle StreamOf(HANDLE handle) {
    // A process started without a standard handle gets a null one.
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return NoStream;
    return reinterpret_cast<StreamHandle>(handle);
}

constexpr DWORD WindowAndMouseInput = ENABLE_WINDOW_INPUT | ENABLE_MOUSE_INPUT;  // 0x18

}  // namespace

StreamHandle StandardInputStream() {
    return StreamOf(GetStdHandle(STD_INPUT_HANDLE));
}

StreamHandle StandardOutputStream() {
    return StreamOf(GetStdHandle(STD_OUTPUT_HANDLE));
}

bool IsConsoleStream(StreamHandle stream) {
    DWORD mode = 0;
    return stream != NoStream && GetConsoleMode(HandleOf(stream), &mode) != 0;
}

void PrepareConsoleInput(StreamHandle console) {
    DWORD mode = 0;
    if (!GetConsoleMode(HandleOf(console), &mode)) return;
    SetConsoleMode(HandleOf(console), mode & ~WindowAndMouseInput);
    FlushConsoleInputBuffer(HandleOf(console));
}

int32_t PendingConsoleEvents(StreamHandle console) {
    DWORD events = 0;
    if (console == NoStream || !GetNumberOfConsoleInputEvents(HandleOf(console), &events)) {
        return -1;
    }
    return events > INT32_MAX ? INT32_MAX : int32_t(events);
}

// A write into a pipe whose reader is gone fails with an error; no signal.
void IgnoreBrokenPipes() {}

void UseBinaryStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

int32_t PendingInputBytes(StreamHandle stream) {
    if (stream == NoStream) return -1;
    DWORD waiting = 0;
    // Fails on a file, on a broken pipe, and under wine on a Unix pipe.
    if (!PeekNamedPipe(HandleOf(stream), nullptr, 0, nullptr, &waiting, nullptr)) return -1;
    return waiting > INT32_MAX ? INT32_MAX : int32_t(waiting);
}

int32_t ReadStream(StreamHandle stream, char* buffer, int32_t size) {
    if (size <= 0) return -1;
    if (stream == NoStream) return 0;
    DWORD got = 0;
    BOOL done = ReadFile(HandleOf(stream), buffer, DWORD(size), &got, nullptr);
    if (got > 0) return int32_t(got);  // a message pipe may say "more data" with bytes read
    // A broken pipe or any other failure ends the input for good.
    if (!done) return GetLastError() == ERROR_OPERATION_ABORTED ? -1 : 0;
    // No bytes and no failure: the end of a file, or a writer's empty write
    // into a pipe, which ends nothing. A pipe whose writer is gone fails the
    // peek (so does a POSIX pipe under wine, which reads 0 at its end).
    if (GetFileType(HandleOf(stream)) != FILE_TYPE_PIPE) return 0;
    DWORD waiting = 0;
    return PeekNamedPipe(HandleOf(stream), nullptr, 0, nullptr, &waiting, nullptr) ? -1 : 0;
}

void WriteStream(StreamHandle stream, const char* bytes, int32_t size) {
    if (stream == NoStream) return;
    while (size > 0) {
        DWORD put = 0;
        if (!WriteFile(HandleOf(stream), bytes, DWORD(size), &put, nullptr) || put == 0) return;
        bytes += put;
        size -= int32_t(put);
    }
}

void CloseStream(StreamHandle stream) {
    if (stream != NoStream) CloseHandle(HandleOf(stream));
}

void SleepMilliseconds(int32_t ms) {
    if (ms > 0) Sleep(DWORD(ms));
}

#endif  // _WIN32
