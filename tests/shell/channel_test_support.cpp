#include "channel_test_support.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "book/book_platform.h"
#include "search/clock.h"

namespace fs = std::filesystem;

void CloseTestEnd(StreamHandle& end) {
    CloseStream(end);
    end = NoStream;
}

void CloseTestPipe(TestPipe& pipe) {
    CloseTestEnd(pipe.readEnd);
    CloseTestEnd(pipe.writeEnd);
}

void WriteAllTo(StreamHandle stream, const std::string& bytes) {
    WriteStream(stream, bytes.data(), int32_t(bytes.size()));
}

std::string ReadAvailable(StreamHandle stream, int ms) {
    std::string bytes;
    int64_t deadline = ClockMilliseconds() + ms;
    for (;;) {
        if (PendingInputBytes(stream) != 0) {
            char chunk[4096];
            int32_t got = ReadStream(stream, chunk, sizeof chunk);
            if (got <= 0) return bytes;
            bytes.append(chunk, size_t(got));
            continue;
        }
        if (ClockMilliseconds() >= deadline) return bytes;
        SleepMilliseconds(1);
    }
}

TempFile::TempFile(const std::string& name, const std::string& content, bool executable) {
    // A name no other test process picks: the clock and a count.
    static int made = 0;
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path base = fs::temp_directory_path();
    fs::path folder;
    do {
        folder = base / ("quillon-test-" + std::to_string(ticks) + "-" + std::to_string(made++));
    } while (!fs::create_directory(folder));
    directory = fs::canonical(folder).string();  // as the system names it, links resolved
    path = (fs::path(directory) / name).string();
    std::ofstream file(path, std::ios::binary);
    file << content;
    file.close();
    if (!file) std::abort();
    if (executable) {
        fs::permissions(path,
                        fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                        fs::perm_options::add);
    }
}

TempFile::~TempFile() {
    std::error_code ignored;
    fs::remove_all(directory, ignored);
}

std::string TestProgramDirectory() {
    char path[MaxPathBytes];
    if (!ExecutablePath(path, sizeof path)) std::abort();
    std::string text = path;
    size_t end = text.size();
    while (end > 0 && !IsPathSeparator(text[end - 1])) end--;
    return text.substr(0, end > 0 ? end - 1 : 0);
}

namespace {

std::string BesideTests(const char* name) {
#ifdef _WIN32
    return TestProgramDirectory() + "\\" + name + ".exe";
#else
    return TestProgramDirectory() + "/" + name;
#endif
}

}  // namespace

const char* EngineProgram() {
    static const std::string path = BesideTests("quillon");
    return path.c_str();
}

const char* ChildProgram() {
    static const std::string path = BesideTests("channel_child");
    return path.c_str();
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
