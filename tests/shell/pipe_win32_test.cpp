// The line channel on Windows pipes. A writer's empty write reaches the
// reader as a successful read of no bytes, which ends nothing: only the
// writer's going does. Wine lets an empty write into an anonymous pipe pass
// unseen, but not an empty message into a message pipe.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "channel_test_support.h"
#include "shell/line_channel.h"

namespace {

// A message pipe read from its server end, as a front end's pipe may be.
TestPipe MakeMessagePipe() {
    static int made = 0;
    const std::string name = "\\\\.\\pipe\\quillon-test-" + std::to_string(GetCurrentProcessId()) +
                             "-" + std::to_string(made++);
    HANDLE readEnd = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_INBOUND,
                                      PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1,
                                      65536, 65536, 0, nullptr);
    if (readEnd == INVALID_HANDLE_VALUE) return TestPipe{NoStream, NoStream};
    HANDLE writeEnd =
        CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (writeEnd == INVALID_HANDLE_VALUE) {
        CloseHandle(readEnd);
        return TestPipe{NoStream, NoStream};
    }
    return TestPipe{reinterpret_cast<StreamHandle>(readEnd),
                    reinterpret_cast<StreamHandle>(writeEnd)};
}

struct PipeKind {
    const char* name;
    TestPipe (*make)();
};
const PipeKind PipeKinds[] = {{"anonymous pipe", MakeTestPipe}, {"message pipe", MakeMessagePipe}};

void WriteNothing(StreamHandle writeEnd) {
    DWORD put = 0;
    ASSERT_TRUE(WriteFile(reinterpret_cast<HANDLE>(writeEnd), "", 0, &put, nullptr));
    EXPECT_EQ(put, 0u);
}

// Bytes follow the empty write, so no read here can wait.
TEST(WindowsPipe, AnEmptyWriteIsNothingReadThisTime) {
    for (const PipeKind& kind : PipeKinds) {
        SCOPED_TRACE(kind.name);
        TestPipe pipe = kind.make();
        ASSERT_NE(pipe.readEnd, NoStream);
        WriteNothing(pipe.writeEnd);
        WriteAllTo(pipe.writeEnd, "go\n");
        char bytes[16];
        int32_t got = ReadStream(pipe.readEnd, bytes, sizeof bytes);
        ASSERT_NE(got, 0) << "an empty write ended the input";
        if (got < 0) got = ReadStream(pipe.readEnd, bytes, sizeof bytes);
        EXPECT_EQ(std::string(bytes, size_t(got > 0 ? got : 0)), "go\n");
        CloseTestEnd(pipe.writeEnd);
        EXPECT_EQ(ReadStream(pipe.readEnd, bytes, sizeof bytes), 0);  // the writer is gone
        CloseTestPipe(pipe);
    }
}

TEST(WindowsPipe, TheChannelHandsOutTheLinesAndOnlyThenEnds) {
    for (const PipeKind& kind : PipeKinds) {
        SCOPED_TRACE(kind.name);
        TestPipe pipe = kind.make();
        ASSERT_NE(pipe.readEnd, NoStream);
        LineChannel channel;
        OpenOnStreams(channel, pipe.readEnd, NoStream);
        WriteNothing(pipe.writeEnd);
        WriteAllTo(pipe.writeEnd, "ucci\n");
        WriteNothing(pipe.writeEnd);
        WriteAllTo(pipe.writeEnd, "quit\n");
        CloseTestEnd(pipe.writeEnd);
        bool ended = false;
        EXPECT_EQ(ReadLinesToEnd(channel, 5000, &ended),
                  (std::vector<std::string>{"ucci", "quit"}));
        EXPECT_TRUE(ended);
        EXPECT_TRUE(AtEndOfInput(channel));
        CloseTestPipe(pipe);
    }
}

}  // namespace
