// Starting and waiting for a child program on POSIX systems.

#ifndef _WIN32

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/child_process.h"

namespace {

constexpr int MaxChildWords = 64;

bool MakePipe(int ends[2]) {
    if (pipe(ends) != 0) return false;
    fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    fcntl(ends[1], F_SETFD, FD_CLOEXEC);
    return true;
}

void ClosePipe(int ends[2]) {
    close(ends[0]);
    close(ends[1]);
}

// Runs in the forked child: only async-signal-safe calls until exec. Every
// descriptor is first moved above the standard three, so that none of them is
// overwritten by the dup2 calls even when the parent had 0..2 closed.
[[noreturn]] void ExecChild(int input, int output, int errorReport, const char* directory,
                            const char* program, bool searchPath, char* const* argv) {
    int reportTo = fcntl(errorReport, F_DUPFD_CLOEXEC, 3);
    int in = fcntl(input, F_DUPFD, 3);
    int out = fcntl(output, F_DUPFD, 3);
    struct sigaction defaultAction;
    memset(&defaultAction, 0, sizeof defaultAction);
    defaultAction.sa_handler = SIG_DFL;
    sigaction(SIGPIPE, &defaultAction, nullptr);
    setpgid(0, 0);  // keys typed at the parent's terminal do not reach the child
    if (in >= 0 && out >= 0 && dup2(in, STDIN_FILENO) >= 0 && dup2(out, STDOUT_FILENO) >= 0 &&
        dup2(out, STDERR_FILENO) >= 0) {
        close(in);
        close(out);
        if (directory[0] == 0 || chdir(directory) == 0) {
            if (searchPath) {
                execvp(program, argv);
            } else {
                execv(program, argv);
            }
        }
    }
    int failure = errno;
    if (reportTo >= 0) {
        ssize_t ignored = write(reportTo, &failure, sizeof failure);
        (void)ignored;
    }
    _exit(127);
}

}  // namespace

bool StartChildProcess(const char* commandLine, ChildStreams& child) {
    child = ChildStreams{NoStream, NoStream, NoProcess};
    if (commandLine == nullptr) return false;

    // The words of the command line: the program, then its arguments.
    char text[1024];
    size_t length = strlen(commandLine);
    if (length >= sizeof text) return false;
    memcpy(text, commandLine, length + 1);
    char* argv[MaxChildWords + 1];
    int argc = 0;
    for (char* p = text; *p != 0;) {
        while (*p == ' ') *p++ = 0;
        if (*p == 0) break;
        if (argc == MaxChildWords) return false;
        argv[argc++] = p;
        while (*p != 0 && *p != ' ') p++;
    }
    argv[argc] = nullptr;
    if (argc == 0) return false;

    // A program named by a path runs in its own directory, so the path is made
    // absolute first; a bare name is looked up on the search path and runs here.
    char program[PATH_MAX];
    char directory[PATH_MAX];
    directory[0] = 0;
    bool searchPath = strchr(argv[0], '/') == nullptr;
    if (searchPath) {
        if (strlen(argv[0]) >= sizeof program) return false;
        strcpy(program, argv[0]);
    } else {
        if (realpath(argv[0], program) == nullptr) return false;
        const char* lastSlash = strrchr(program, '/');
        size_t directoryLength = lastSlash == program ? 1 : size_t(lastSlash - program);
        memcpy(directory, program, directoryLength);
        directory[directoryLength] = 0;
    }

    int toChild[2], fromChild[2], errorReport[2];
    if (!MakePipe(toChild)) return false;
    if (!MakePipe(fromChild)) {
        ClosePipe(toChild);
        return false;
    }
    if (!MakePipe(errorReport)) {
        ClosePipe(toChild);
        ClosePipe(fromChild);
        return false;
    }

    pid_t pid = fork();
    if (pid == 0) {
        ExecChild(toChild[0], fromChild[1], errorReport[1], directory, program, searchPath, argv);
    }
    close(toChild[0]);
    close(fromChild[1]);
    close(errorReport[1]);

    // The report pipe closes unread when exec succeeds; any bytes are a failure.
    bool started = pid > 0;
    if (started) {
        int failure = 0;
        ssize_t got;
        do {
            got = read(errorReport[0], &failure, sizeof failure);
        } while (got < 0 && errno == EINTR);
        if (got != 0) {
            started = false;
            int status;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
    }
    close(errorReport[0]);
    if (!started) {
        close(toChild[1]);
        close(fromChild[0]);
        return false;
    }
    child = ChildStreams{toChild[1], fromChild[0], pid};
    return true;
}

namespace {

int32_t ExitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

int32_t WaitChildProcess(ProcessHandle process, int32_t timeoutMs) {
    if (process <= 0) return -1;
    pid_t pid = pid_t(process);
    int status = 0;
    for (int32_t waited = 0;; waited++) {
        pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) return ExitCodeOf(status);
        if (ended < 0 && errno != EINTR) return -1;
        if (waited >= timeoutMs) break;
        SleepMilliseconds(1);
    }
    kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return ExitCodeOf(status);
}

#endif  // _WIN32
