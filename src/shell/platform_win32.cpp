// The shell's system services on Windows: the console and pipe functions of
// KERNEL32.

#ifdef _WIN32

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string.h>
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

namespace {

// Windows takes a command line of up to 32767 characters.
constexpr size_t CommandLineBytes = 32768;
constexpr size_t DirectoryBytes = 1024;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsAbsolute(const char* path) {
    if (IsSeparator(path[0])) return true;
    return path[0] != 0 && path[1] == ':' && IsSeparator(path[2]);
}

// The program part of a command line, quoted or up to the first space.
struct ProgramWord {
    const char* start;
    size_t length;
    const char* rest;  // the arguments, from the space before them
};

ProgramWord SplitProgram(const char* commandLine) {
    const char* p = commandLine;
    while (*p == ' ' || *p == '\t') p++;
    if (*p == '"') {
        const char* end = strchr(p + 1, '"');
        if (end == nullptr) return ProgramWord{p + 1, strlen(p + 1), p + 1 + strlen(p + 1)};
        return ProgramWord{p + 1, size_t(end - p - 1), end + 1};
    }
    const char* end = p;
    while (*end != 0 && *end != ' ' && *end != '\t') end++;
    return ProgramWord{p, size_t(end - p), end};
}

// Appends `length` bytes to `out` at `*used`; false when they do not fit.
bool Append(char* out, size_t size, size_t* used, const char* text, size_t length) {
    if (*used + length >= size) return false;
    memcpy(out + *used, text, length);
    *used += length;
    out[*used] = 0;
    return true;
}

// The command line to start with: the program's path quoted and made absolute
// against `here` (the program starts in its own directory, where a relative
// path would no longer lead to it), then the arguments. `directory` gets the
// program's directory with its last separator, or the empty text for a bare
// name, which the system looks up on the search path.
bool PrepareCommand(const char* commandLine, const char* here, char* command, char* directory) {
    ProgramWord program = SplitProgram(commandLine);
    if (program.length == 0) return false;
    size_t directoryLength = 0;
    for (size_t i = 0; i < program.length; i++) {
        if (IsSeparator(program.start[i])) directoryLength = i + 1;
    }
    size_t used = 0;
    command[0] = 0;
    bool relative = directoryLength > 0 && !IsAbsolute(program.start);
    bool fits = Append(command, CommandLineBytes, &used, "\"", 1);
    if (relative) {
        size_t hereLength = strlen(here);
        fits = fits && Append(command, CommandLineBytes, &used, here, hereLength);
        if (hereLength > 0 && !IsSeparator(here[hereLength - 1])) {
            fits = fits && Append(command, CommandLineBytes, &used, "\\", 1);
        }
    }
    size_t programAt = used;
    fits = fits && Append(command, CommandLineBytes, &used, program.start, program.length);
    size_t directoryEnd = programAt + directoryLength;
    fits = fits && Append(command, CommandLineBytes, &used, "\"", 1);
    fits = fits && Append(command, CommandLineBytes, &used, program.rest, strlen(program.rest));
    if (!fits) return false;
    size_t directoryStart = 1;  // after the opening quote
    size_t length = directoryLength == 0 ? 0 : directoryEnd - directoryStart;
    if (length >= DirectoryBytes) return false;
    memcpy(directory, command + directoryStart, length);
    directory[length] = 0;
    return true;
}

bool MakePipe(HANDLE* readEnd, HANDLE* writeEnd) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreatePipe(readEnd, writeEnd, &inheritable, 0) != 0;
}

void CloseBoth(HANDLE a, HANDLE b) {
    CloseHandle(a);
    CloseHandle(b);
}

}  // namespace

bool StartChildProcess(const char* commandLine, ChildStreams& child) {
    child = ChildStreams{NoStream, NoStream, NoProcess};
    if (commandLine == nullptr) return false;

    // Our own directory comes back after the start; one too long to remember
    // could not be restored, so the child is not started.
    char here[DirectoryBytes];
    DWORD hereLength = GetCurrentDirectoryA(sizeof here, here);
    if (hereLength == 0 || hereLength >= sizeof here) return false;

    static char command[CommandLineBytes];
    char directory[DirectoryBytes];
    if (!PrepareCommand(commandLine, here, command, directory)) return false;

    // Pipe A: we write, the child reads. Pipe B: the child writes, we read.
    HANDLE aRead, aWrite, bRead, bWrite;
    if (!MakePipe(&aRead, &aWrite)) return false;
    if (!MakePipe(&bRead, &bWrite)) {
        CloseBoth(aRead, aWrite);
        return false;
    }
    // Our ends stay with us: a child holding the writing end of its own input
    // would never see that input end.
    SetHandleInformation(aWrite, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(bRead, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = aRead;
    startup.hStdOutput = bWrite;
    startup.hStdError = bWrite;
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof process);

    if (directory[0] != 0) SetCurrentDirectoryA(directory);
    BOOL started = CreateProcessA(nullptr, command, nullptr, nullptr, TRUE,
                                  DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr,
                                  &startup, &process);
    SetCurrentDirectoryA(here);

    CloseBoth(aRead, bWrite);
    if (!started) {
        CloseBoth(aWrite, bRead);
        return false;
    }
    CloseHandle(process.hThread);
    child =
        ChildStreams{reinterpret_cast<StreamHandle>(aWrite), reinterpret_cast<StreamHandle>(bRead),
                     reinterpret_cast<ProcessHandle>(process.hProcess)};
    return true;
}

int32_t WaitChildProcess(ProcessHandle process, int32_t timeoutMs) {
    if (process == NoProcess || process == 0) return -1;
    HANDLE handle = reinterpret_cast<HANDLE>(process);
    if (WaitForSingleObject(handle, DWORD(timeoutMs < 0 ? 0 : timeoutMs)) != WAIT_OBJECT_0) {
        TerminateProcess(handle, UINT(ForcedExitCode));
        WaitForSingleObject(handle, INFINITE);
    }
    DWORD code = 0;
    int32_t result = GetExitCodeProcess(handle, &code) ? int32_t(code) : -1;
    CloseHandle(handle);
    return result;
}

void SleepMilliseconds(int32_t ms) {
    if (ms > 0) Sleep(DWORD(ms));
}

#endif  // _WIN32
