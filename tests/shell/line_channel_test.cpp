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

// The line arrives in many small reads, none of which sees its end or its
// start again: nothing of it is handed out, and the buffer never holds more
// than a longest line.
TEST(LineChannel, AnOverlongLineInSmallReadsIsRefusedWhole) {
    PipeChannel p;
    p.Send("go\n");
    ASSERT_TRUE(p.Read());
    EXPECT_FALSE(p.channel.LastLineOverlong);
    const std::string text = "position startpos moves" + Letters(MaxLineLength + 3000);
    for (size_t at = 0; at < text.size(); at += 1000) {
        p.Send(text.substr(at, 1000));
        EXPECT_FALSE(p.Read()) << at << ": " << std::string(p.line).substr(0, 40);
        EXPECT_LE(p.channel.Filled, ChannelBufferSize);
    }
    EXPECT_FALSE(p.Read());
    p.Send("\r\nstop\n");
    ASSERT_TRUE(p.Read());
    EXPECT_STREQ(p.line, "");
    EXPECT_TRUE(p.channel.LastLineOverlong);
    ASSERT_TRUE(p.Read());
    EXPECT_STREQ(p.line, "stop");
    EXPECT_FALSE(p.channel.LastLineOverlong);
    EXPECT_FALSE(p.Read());
    EXPECT_FALSE(AtEndOfInput(p.channel));
}

TEST(LineChannel, ALongLineKeepsEveryByteInOrder) {
    PipeChannel p;
    std::string text = Letters(5000);
    p.Send(text + "\nnext\n");
    ASSERT_TRUE(p.Read());
    EXPECT_EQ(std::string(p.line), text);
    EXPECT_FALSE(p.channel.LastLineOverlong);
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

    // A read that takes only part of the count leaves the rest counted. The
    // pipe holds less than the buffer: the line goes in by pieces.
    const std::string text = Letters(ChannelBufferSize - 3);
    for (size_t at = 0; at < text.size(); at += 8192) {
        p.Send(text.substr(at, 8192));
        EXPECT_FALSE(p.Read());
    }
    EXPECT_EQ(p.channel.Filled, ChannelBufferSize - 3);
    p.Send("0123456789\n");
    EXPECT_TRUE(HasInput(p.channel));
    EXPECT_EQ(p.channel.PipeAvailable, 11);
    EXPECT_FALSE(p.Read());  // three bytes fill the buffer, and no line that long fits
    EXPECT_EQ(p.channel.PipeAvailable, 8);
    ASSERT_TRUE(p.Read());
    EXPECT_STREQ(p.line, "");
    EXPECT_TRUE(p.channel.LastLineOverlong);
    EXPECT_EQ(p.channel.PipeAvailable, 0);
    EXPECT_EQ(p.channel.Filled, 0);
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
    struct Case {
        const char* bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"ucci\nquit", {"ucci", "quit"}},
        {"ucci\nq", {"ucci", "q"}},  // a last line of one byte
        {"q", {"q"}},
        {"ucci\n\r", {"ucci", ""}},
        {"ucci\n", {"ucci"}},
    };
    for (const Case& c : cases) {
        PipeChannel p;
        p.Send(c.bytes);
        p.EndInput();
        std::vector<std::string> lines;
        // A last line may wait for one more call, which then meets the end.
        for (int i = 0; i < 10 && !AtEndOfInput(p.channel); i++)
            if (p.Read()) lines.push_back(p.line);
        EXPECT_EQ(lines, c.lines) << c.bytes;
        EXPECT_TRUE(AtEndOfInput(p.channel)) << c.bytes;
        EXPECT_FALSE(p.Read()) << c.bytes;
    }
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
        {Letters(2000), {Letters(2000)}},
        {"ucci\nq", {"ucci", "q"}},
        {"q", {"q"}},
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

// Lines up to MaxLineLength come whole, a carriage return before the line
// feed not counted; longer ones come as one empty line each, flagged, however
// many buffers they fill, and the line after them is read as usual.
TEST(LineChannel, TheLongestLineComesWholeALongerOneIsRefused) {
    const std::string longest = Letters(MaxLineLength), longer = Letters(MaxLineLength + 1);
    const std::string refused = "(refused)";
    struct Case {
        const char* name;
        std::string content;
        std::vector<std::string> lines;  // `refused` for a refused line
    };
    const Case cases[] = {
        {"the longest", "go\n" + longest + "\nquit\n", {"go", longest, "quit"}},
        {"one shorter",
         Letters(MaxLineLength - 1) + "\nquit\n",
         {Letters(MaxLineLength - 1), "quit"}},
        {"one longer", "go\n" + longer + "\nquit\n", {"go", refused, "quit"}},
        {"the longest with CR LF", longest + "\r\nquit\r\n", {longest, "quit"}},
        {"one longer with CR LF", longer + "\r\nquit\r\n", {refused, "quit"}},
        {"a carriage return inside does not shorten it",
         longest + "\rx\nquit\n",
         {refused, "quit"}},
        {"several buffers long",
         Letters(3 * ChannelBufferSize + 5) + "\nquit\n",
         {refused, "quit"}},
        {"two in a row", longer + "\n" + longer + "\n\n", {refused, refused, ""}},
        {"the longest at the end", "go\n" + longest, {"go", longest}},
        {"the longest with CR at the end", longest + "\r", {longest}},
        {"one longer at the end", "go\n" + longer, {"go", refused}},
        {"a buffer and more at the end", "go\n" + Letters(2 * ChannelBufferSize), {"go", refused}},
    };
    for (const Case& c : cases) {
        TempFile file("input.txt", c.content);
        StreamHandle fd = OpenFileStream(file.path);
        ASSERT_NE(fd, NoStream);
        std::unique_ptr<LineChannel> channel(new LineChannel);
        OpenOnStreams(*channel, fd, NoStream);
        std::vector<char> line(LineBufferSize);
        std::vector<std::string> lines;
        for (int i = 0; i < 50 && !AtEndOfInput(*channel); i++) {
            line[0] = 'X';
            if (!ReadLine(*channel, line.data())) continue;
            if (channel->LastLineOverlong) {
                EXPECT_EQ(line[0], 0) << c.name;
                lines.push_back(refused);
            } else {
                lines.push_back(line.data());
            }
        }
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_TRUE(AtEndOfInput(*channel)) << c.name;
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
