// The line channel to a child program: two pipes, the child's own directory,
// its arguments and exit code, a child that will not end, and programs that
// cannot start. The tests' own child program (tests/child/channel_child.cpp)
// runs on every system; a POSIX system also runs programs of its own: a bare
// name found on the search path, a shell script, a child ended by a signal.

#include "support/child_channel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "channel_test_support.h"

namespace {

namespace fs = std::filesystem;

std::string Command(const std::string& program, const char* arguments) {
    return program + " " + arguments;
}

// Runs the test in another directory and comes back afterwards.
struct InDirectory {
    fs::path saved = fs::current_path();
    explicit InDirectory(const fs::path& folder) { fs::current_path(folder); }
    ~InDirectory() { fs::current_path(saved); }
};

TEST(ChildChannel, TalksToAProgramOverTwoPipes) {
    struct Case {
        std::string command;
        const char* sent;
        std::vector<std::string> lines;  // read while the child's input is open
        std::vector<std::string> rest;   // read once the child has seen its input end
    };
    const Case cases[] = {
        {Command(ChildProgram(), "echo"), "hello\nworld\r\nlast", {"hello", "world"}, {"last"}},
#ifndef _WIN32
        {"cat", "hello\nworld\n", {"hello", "world"}, {}},
#endif
    };
    for (const Case& c : cases) {
        ChildChannel child;
        ASSERT_TRUE(OpenChildChannel(child, c.command.c_str())) << c.command;
        WriteChannel(child.channel, c.sent);
        char line[LineBufferSize];
        for (const std::string& expected : c.lines) {
            ASSERT_TRUE(ReadLineWithin(child.channel, line, 5000)) << c.command;
            EXPECT_EQ(line, expected) << c.command;
        }
        // The child sees the end of its input, ends, and so ends ours.
        CloseChildInput(child);
        bool ended = false;
        EXPECT_EQ(ReadLinesToEnd(child.channel, 5000, &ended), c.rest) << c.command;
        EXPECT_TRUE(ended) << c.command;
        CloseChildChannel(child);
        EXPECT_EQ(child.exitCode, 0) << c.command;
    }
}

// Started from elsewhere, by a full path and by one relative to our
// directory, the child runs in its own directory; ours stays as it was.
TEST(ChildChannel, TheProgramRunsInItsOwnDirectoryWithItsArguments) {
    TempFile elsewhere("note.txt", "");
    const fs::path tests = TestProgramDirectory();
    const fs::path parent = tests.parent_path();
    const std::string relative = (tests.filename() / fs::path(ChildProgram()).filename()).string();
#ifndef _WIN32
    TempFile script("where.sh", "#!/bin/sh\npwd\necho \"$1|$2\" >&2\nexit 3\n", true);
#endif
    struct Case {
        fs::path from;
        std::string command;
        std::string directory;  // where the child finds itself
    } cases[] = {
        {elsewhere.directory, Command(ChildProgram(), "where one  two"), tests.string()},
        {tests, Command(ChildProgram(), "where one  two"), tests.string()},
        {parent, Command(relative, "where one  two"), tests.string()},
#ifdef _WIN32
        // A quoted path may hold spaces.
        {parent, Command("\"" + relative + "\"", "where one  two"), tests.string()},
#else
        {fs::current_path(), script.path + "  one two", script.directory},
#endif
    };
    for (const Case& c : cases) {
        InDirectory in(c.from);
        ChildChannel child;
        ASSERT_TRUE(OpenChildChannel(child, c.command.c_str())) << c.command;
        bool ended = false;
        std::vector<std::string> lines = ReadLinesToEnd(child.channel, 5000, &ended);
        EXPECT_TRUE(ended) << c.command;
        EXPECT_EQ(lines, (std::vector<std::string>{c.directory, "one|two"})) << c.command;
        CloseChildChannel(child);
        EXPECT_EQ(child.exitCode, 3) << c.command;
        EXPECT_EQ(fs::current_path(), c.from) << c.command;
    }
}

TEST(ChildChannel, AChildThatDoesNotEndIsEndedAtClose) {
    struct Case {
        std::string command;
        int32_t exitCode;
    };
    const Case cases[] = {
        {Command(ChildProgram(), "linger"), ForcedExitCode},
#ifndef _WIN32
        // Ignores the end of its input; the kill signal's code.
        {"sleep 60", 128 + 9},
#endif
    };
    for (const Case& c : cases) {
        const int handles = CountOpenHandles();
        ChildChannel child;
        ASSERT_TRUE(OpenChildChannel(child, c.command.c_str())) << c.command;
        CloseChildChannel(child);
        EXPECT_EQ(child.exitCode, c.exitCode) << c.command;
        EXPECT_EQ(CountOpenHandles(), handles)
            << c.command;  // the pipes and the process are let go
    }
}

TEST(ChildChannel, AProgramThatCannotStartLeavesAClosedChannel) {
    TempFile notExecutable("plain.txt", "echo hi\n", false);
    const std::string commands[] = {
        "/nonexistent/quillon",
        "no-such-program-quillon-test",
        notExecutable.path,
        "",
        "   ",
        "/" + std::string(1100, 'x'),
        notExecutable.directory,  // a folder
        "\"" + notExecutable.directory + "/no such program.exe\" where",
        "\"" + notExecutable.directory + "/unterminated quote",
        std::string(40000, 'y'),  // longer than any command line Windows takes
    };
    const fs::path here = fs::current_path();
    const int handles = CountOpenHandles();
    for (const std::string& command : commands) {
        ChildChannel child;
        EXPECT_FALSE(OpenChildChannel(child, command.c_str())) << command;
        char line[LineBufferSize];
        EXPECT_FALSE(ReadLine(child.channel, line)) << command;
        EXPECT_TRUE(AtEndOfInput(child.channel)) << command;
        WriteChannel(child.channel, "ucci\n");
        CloseChildChannel(child);
        EXPECT_EQ(child.exitCode, -1) << command;
        EXPECT_EQ(fs::current_path(), here) << command;
    }
    EXPECT_EQ(CountOpenHandles(), handles);  // no pipe end is left behind
}

}  // namespace
