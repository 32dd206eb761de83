#include "shell/line_channel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "channel_test_support.h"
#include "support/console_stand_in.h"

namespace {

// A channel reading from a pipe that the test writes into.
struct PipeChannel {
    TestPipe input;
    LineChannel channel;
    char line[LineBufferSize];
    PipeChannel() : input(MakeTestPipe()) { OpenOnStreams(channel, input.readEnd, NoStream); }
    ~PipeChannel() { CloseTestPipe(input); }
    void Send(const std::string& bytes) { WriteAllTo(input.writeEnd, bytes); }
    void EndInput() { CloseTestEnd(input.writeEnd); }
    bool Read() { return ReadLine(channel, line); }
};

TEST(LineChannel, TwoLinesFromOneReadNeedNoSecondRead) {
    PipeChannel p;
    p.Send("stop\nquit\n");
    ASSERT_TRUE(p.Read());
    EXPECT_STREQ(p.line, "stop");
    EXPECT_EQ(p.channel.Filled, 5);  // "quit\n" is held: nothing is left to read
    EXPECT_EQ(p.channel.PipeAvailable, 0);
    ASSERT_TRUE(p.Read());
    EXPECT_STREQ(p.line, "quit");
    EXPECT_FALSE(p.Read());
    EXPECT_FALSE(AtEndOfInput(p.channel));
}

TEST(LineChannel, LineEndsAndCarriageReturns) {
    struct Case {
        const char* bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"go\r\n", {"go"}},
        {"go\rdepth 5\n", {"go"}},
        {"\n", {""}},
        {"\n\n", {"", ""}},
        {"\r\n", {""}},
        {"a\r\r\nb\n", {"a", "b"}},
        {"ucci\nposition fen 9/9 w\ngo", {"ucci", "position fen 9/9 w"}},
    };
    for (const Case& c : cases) {
        PipeChannel p;
        p.Send(c.bytes);
        std::vector<std::string> lines;
        while (p.Read()) lines.push_back(p.line);
        EXPECT_EQ(lines, c.lines) << "bytes \"" << c.bytes << "\"";
    }
}

TEST(LineChannel, ALineSplitOverTwoReadsComesWhole) {
    PipeChannel p;
    p.Send("go de");
    EXPECT_FALSE(p.Read());
    EXPECT_FALSE(p.Read());
    p.Send("pth 5\nstop");
    ASSERT_TRUE(p.Read());
    EXPECT_STREQ(p.line, "go depth 5");
    EXPECT_FALSE(p.Read());
    p.Send("\n");
    ASSERT_TRUE(p.Read());
    EXPECT_STREQ(p.line, "stop");
}

std::string Letters(int count) {
    std::string text;
    for (int i = 0; i < count; i++) text += char('a' + i % 26);
    return text;
}

TEST(LineChannel, AnOverLongLineComesInPiecesOf1023) {
    PipeChannel p;
    std::string text = Letters(1030);
    p.Send(text);
    ASSERT_TRUE(p.Read());
    EXPECT_EQ(std::string(p.line), text.substr(0, 1023));
    EXPECT_FALSE(p.Read());  // seven characters wait for their line feed
    p.Send("\n");
    ASSERT_TRUE(p.Read());
    EXPECT_EQ(std::string(p.line), text.substr(1023));
}

TEST(LineChannel, AVeryLongLineKeepsEveryByteInOrder) {
    PipeChannel p;
    std::string text = Letters(5000);
    p.Send(text + "\nnext\n");
    std::string joined;
    int pieces = 0;
    for (int i = 0; i < 5 && p.Read(); i++) {
        joined += p.line;
        pieces++;
    }
    EXPECT_EQ(pieces, 5);  // 4 x 1023 and then 908
    EXPECT_EQ(joined, text);
    ASSERT_TRUE(p.Read());
    EXPECT_STREQ(p.line, "next");
}

TEST(LineChannel, NothingPendingReturnsAtOnceWithoutReading) {
    PipeChannel p;
    for (int i = 0; i < 3; i++) EXPECT_FALSE(p.Read());
    EXPECT_FALSE(HasInput(p.channel));
    EXPECT_FALSE(AtEndOfInput(p.channel));
}

// The count of a pipe is taken from the system only once the bytes it told of
// have been read: whatever arrives meanwhile waits for the next count.
TEST(LineChannel, APipeIsAskedForItsCountOnlyWhenTheCountIsUsedUp) {
    PipeChannel p;
    p.Send("go de");
    EXPECT_TRUE(HasInput(p.channel));
    EXPECT_EQ(p.channel.PipeAvailable, 5);
    p.Send("pth 5\n");
    EXPECT_TRUE(HasInput(p.channel));
    EXPECT_EQ(p.channel.PipeAvailable, 5);  // still the first count
    FillChannel(p.channel);
    EXPECT_EQ(p.channel.Filled, 11);
    EXPECT_EQ(p.channel.PipeAvailable, 0);
    ASSERT_TRUE(p.Read());
    EXPECT_STREQ(p.line, "go depth 5");
    EXPECT_FALSE(HasInput(p.channel));  // asked again: the pipe is empty

    // A read that takes only part of the count leaves the rest counted.
    std::string text = Letters(1020);
    p.Send(text);
    EXPECT_FALSE(p.Read());
    EXPECT_EQ(p.channel.Filled, 1020);
    p.Send("0123456789\n");
    EXPECT_TRUE(HasInput(p.channel));
    EXPECT_EQ(p.channel.PipeAvailable, 11);
    ASSERT_TRUE(p.Read());  // four bytes fill the buffer: a piece of 1023 goes out
    EXPECT_EQ(std::string(p.line), text + "012");
    EXPECT_EQ(p.channel.PipeAvailable, 7);
    ASSERT_TRUE(p.Read());
    EXPECT_STREQ(p.line, "3456789");
    EXPECT_EQ(p.channel.PipeAvailable, 0);
}

TEST(LineChannel, AConsoleNeedsMoreThanOneQueuedEvent) {
    struct Case {
        int32_t events;
        int32_t pipeAvailable;  // left over: a console's readiness is no count of bytes
        bool read;
    };
    const Case cases[] = {
        {-1, 0, false}, {0, 0, false}, {1, 0, false},  {0, 5, false}, {1, 5, false},
        {2, 0, true},   {3, 0, true},  {100, 0, true}, {2, 5, true},
    };
    // The channel reads from a pipe but asks the stand-in whether input is there.
    for (const Case& c : cases) {
        PipeChannel p;
        UseStandInConsole(p.channel);
        p.channel.PipeAvailable = c.pipeAvailable;
        p.Send("go\n");
        StandInConsoleEvents = c.events;
        EXPECT_EQ(HasInput(p.channel), c.read) << c.events;
        EXPECT_EQ(p.Read(), c.read) << c.events;
        if (c.read) {
            EXPECT_STREQ(p.line, "go");
        } else {
            EXPECT_EQ(p.channel.Filled, 0) << c.events;  // nothing was read
            EXPECT_EQ(PendingInputBytes(p.input.readEnd), 3) << c.events;
        }
    }
}

// Opening again forgets a stand-in: the system counts, and a pipe is no
// console to it.
TEST(LineChannel, OpeningCountsAConsoleWithTheSystem) {
    PipeChannel p;
    p.Send("go\n");
    UseStandInConsole(p.channel);
    StandInConsoleEvents = 5;
    EXPECT_TRUE(HasInput(p.channel));
    OpenOnStreams(p.channel, p.input.readEnd, NoStream);
    EXPECT_EQ(p.channel.IsConsole, 0);
    p.channel.IsConsole = 1;
    EXPECT_FALSE(HasInput(p.channel));
    EXPECT_FALSE(p.Read());
    EXPECT_EQ(PendingInputBytes(p.input.readEnd), 3);
}

TEST(LineChannel, TheEndOfAPipeHandsOutTheLastLineThenEnds) {
    PipeChannel p;
    p.Send("ucci\nquit");
    p.EndInput();
    ASSERT_TRUE(p.Read());
    EXPECT_STREQ(p.line, "ucci");
    ASSERT_TRUE(p.Read());
    EXPECT_STREQ(p.line, "quit");
    EXPECT_FALSE(p.Read());
    EXPECT_TRUE(AtEndOfInput(p.channel));
    EXPECT_FALSE(p.Read());
}

TEST(LineChannel, ARedirectedFileReadsToItsEnd) {
    struct Case {
        std::string content;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"ucci\nquit\n", {"ucci", "quit"}},
        {"ucci\nquit", {"ucci", "quit"}},
        {"ucci\r\n\r\ngo\r", {"ucci", "", "go"}},
        {"", {}},
        {Letters(2000), {Letters(2000).substr(0, 1023), Letters(2000).substr(1023)}},
    };
    for (const Case& c : cases) {
        TempFile file("input.txt", c.content);
        StreamHandle fd = OpenFileStream(file.path);
        ASSERT_NE(fd, NoStream);
        LineChannel channel;
        OpenOnStreams(channel, fd, NoStream);
        char line[LineBufferSize];
        std::vector<std::string> lines;
        // A partial line may wait for one more call, which then meets the end.
        for (int i = 0; i < 20 && !AtEndOfInput(channel); i++) {
            if (ReadLine(channel, line)) lines.push_back(line);
        }
        EXPECT_EQ(lines, c.lines) << c.content.substr(0, 40);
        EXPECT_TRUE(AtEndOfInput(channel));
        EXPECT_FALSE(ReadLine(channel, line));
        CloseStream(fd);
    }
}

// A longer maximum hands long lines out whole, and still cuts at its own length.
TEST(LineChannel, ASetMaximumLineLength) {
    struct Case {
        int32_t maxLine;
        size_t length;
        std::vector<size_t> pieces;
    };
    const Case cases[] = {
        {1023, 3000, {1023, 1023, 954}},
        {LongLineBufferSize - 1, 3000, {3000}},
        {LongLineBufferSize - 1, LongLineBufferSize + 9, {LongLineBufferSize - 1, 10}},
        // Held within 1023 and the buffer's room.
        {5, 1030, {1023, 7}},
        {1 << 30, LongLineBufferSize + 9, {LongLineBufferSize - 1, 10}},
    };
    for (const Case& c : cases) {
        const std::string text = Letters(int(c.length));
        TempFile file("input.txt", text + "\nquit\n");
        StreamHandle fd = OpenFileStream(file.path);
        ASSERT_NE(fd, NoStream);
        std::unique_ptr<LineChannel> channel(new LineChannel);
        OpenOnStreams(*channel, fd, NoStream);
        SetMaxLineLength(*channel, c.maxLine);
        std::vector<char> line(LongLineBufferSize);
        std::vector<size_t> pieces;
        std::string joined;
        for (int i = 0; i < 20 && !AtEndOfInput(*channel); i++) {
            if (!ReadLine(*channel, line.data())) continue;
            if (std::string(line.data()) == "quit") break;
            pieces.push_back(std::strlen(line.data()));
            joined += line.data();
        }
        EXPECT_EQ(pieces, c.pieces) << c.maxLine << " " << c.length;
        EXPECT_EQ(joined, text);
        CloseStream(fd);
    }
}

TEST(LineChannel, AnInputThatCannotBeReadEnds) {
    LineChannel channel;
    OpenOnStreams(channel, NoStream, NoStream);
    char line[LineBufferSize];
    EXPECT_FALSE(ReadLine(channel, line));
    EXPECT_TRUE(AtEndOfInput(channel));
}

// The channel writes its own stream only: what the standard library holds
// for the same descriptor stays there until that stream is flushed.
TEST(LineChannel, WriteSendsOnlyItsOwnText) {
    TestPipe output = MakeTestPipe();
    FILE* stream = OpenStdioStream(output.writeEnd);
    ASSERT_NE(stream, nullptr);
    setvbuf(stream, nullptr, _IOFBF, 4096);
    LineChannel channel;
    OpenOnStreams(channel, NoStream, output.writeEnd);
    std::fputs("held by the library\n", stream);
    WriteChannel(channel, "debug info=[ucci]\n");
    WriteChannel(channel, "");
    WriteChannel(channel, "pv ");
    EXPECT_EQ(ReadAvailable(output.readEnd, 100), "debug info=[ucci]\npv ");
    std::fflush(stream);
    EXPECT_EQ(ReadAvailable(output.readEnd, 100), "held by the library\n");
    std::fclose(stream);
    CloseTestPipe(output);
}

}  // namespace
