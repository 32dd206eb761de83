// The child variant of the line channel with the tests' own child program
// (tests/child/channel_child.cpp), the same on every system: two pipes, the
// child's own directory, its arguments and exit code, and a child that will
// not end.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "channel_test_support.h"
#include "shell/line_channel.h"

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

TEST(ChildProgram, TalksOverTwoPipes) {
    LineChannel channel;
    ASSERT_TRUE(OpenChannel(channel, Command(ChildProgram(), "echo").c_str()));
    WriteChannel(channel, "hello\nworld\r\nlast");
    char line[LineBufferSize];
    ASSERT_TRUE(ReadLineWithin(channel, line, 5000));
    EXPECT_STREQ(line, "hello");
    ASSERT_TRUE(ReadLineWithin(channel, line, 5000));
    EXPECT_STREQ(line, "world");
    // The child sees the end of its input, ends, and so ends ours.
    CloseOutput(channel);
    bool ended = false;
    EXPECT_EQ(ReadLinesToEnd(channel, 5000, &ended), std::vector<std::string>{"last"});
    EXPECT_TRUE(ended);
    CloseChannel(channel);
    EXPECT_EQ(channel.ChildExitCode, 0);
}

// Started from elsewhere, by a full path and by one relative to our
// directory, the child runs in its own directory; ours stays as it was.
TEST(ChildProgram, RunsInItsOwnDirectoryWithItsArguments) {
    TempFile elsewhere("note.txt", "");
    const fs::path tests = TestProgramDirectory();
    const fs::path parent = tests.parent_path();
    const std::string relative = (tests.filename() / fs::path(ChildProgram()).filename()).string();
    struct Case {
        fs::path from;
        std::string program;
    } cases[] = {
        {elsewhere.directory, ChildProgram()},
        {tests, ChildProgram()},
        {parent, relative},
#ifdef _WIN32
        {parent, "\"" + relative + "\""},  // a quoted path may hold spaces
#endif
    };
    for (const Case& c : cases) {
        InDirectory in(c.from);
        LineChannel channel;
        ASSERT_TRUE(OpenChannel(channel, Command(c.program, "where one  two").c_str()))
            << c.program;
        bool ended = false;
        std::vector<std::string> lines = ReadLinesToEnd(channel, 5000, &ended);
        EXPECT_TRUE(ended);
        EXPECT_EQ(lines, (std::vector<std::string>{tests.string(), "one|two"})) << c.program;
        CloseChannel(channel);
        EXPECT_EQ(channel.ChildExitCode, 3) << c.program;
        EXPECT_EQ(fs::current_path(), c.from) << c.program;
    }
}

TEST(ChildProgram, AChildThatDoesNotEndIsEndedAtClose) {
    const int handles = CountOpenHandles();
    LineChannel channel;
    ASSERT_TRUE(OpenChannel(channel, Command(ChildProgram(), "linger").c_str()));
    CloseChannel(channel);
    EXPECT_EQ(channel.ChildExitCode, ForcedExitCode);
    EXPECT_EQ(CountOpenHandles(), handles);  // the pipes and the process are let go
}

}  // namespace
