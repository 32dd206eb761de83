// The line channel on a real Windows console. Keys are queued with
// WriteConsoleInput as if typed. Standard input must be a console: under wine
// it is one when it is a terminal (ctest runs these through script(1)).
// Elsewhere they are skipped, unless QUILLON_EXPECT_CONSOLE=1 makes that a
// failure.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "shell/line_channel.h"

namespace {

INPUT_RECORD Key(char c, bool down) {
    INPUT_RECORD record;
    std::memset(&record, 0, sizeof record);
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = down ? TRUE : FALSE;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = c == '\r' ? VK_RETURN : WORD(VkKeyScanA(c) & 0xff);
    record.Event.KeyEvent.uChar.AsciiChar = c;
    return record;
}

INPUT_RECORD Focus() {
    INPUT_RECORD record;
    std::memset(&record, 0, sizeof record);
    record.EventType = FOCUS_EVENT;
    record.Event.FocusEvent.bSetFocus = TRUE;
    return record;
}

// Each key pressed and released. Reading a line takes the events up to the
// press of the return key and leaves its release queued.
std::vector<INPUT_RECORD> Typed(const char* text) {
    std::vector<INPUT_RECORD> events;
    for (const char* c = text; *c != 0; c++) {
        events.push_back(Key(*c, true));
        events.push_back(Key(*c, false));
    }
    return events;
}

class WindowsConsole : public ::testing::Test {
protected:
    HANDLE input = nullptr;
    DWORD savedMode = 0;
    LineChannel channel;
    char line[LineBufferSize];

    void SetUp() override {
        HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
        if (!GetConsoleMode(in, &savedMode)) {
            const char* expected = std::getenv("QUILLON_EXPECT_CONSOLE");
            if (expected != nullptr && expected[0] == '1') FAIL() << "standard input is no console";
            GTEST_SKIP() << "standard input is no console";
        }
        input = in;
    }
    void TearDown() override {
        if (input == nullptr) return;
        SetConsoleMode(input, savedMode);
        FlushConsoleInputBuffer(input);
    }
    void Queue(const std::vector<INPUT_RECORD>& events) {
        DWORD written = 0;
        ASSERT_TRUE(WriteConsoleInputA(input, events.data(), DWORD(events.size()), &written));
        ASSERT_EQ(written, events.size());
    }
    DWORD Queued() {
        DWORD events = 0;
        EXPECT_TRUE(GetNumberOfConsoleInputEvents(input, &events));
        return events;
    }
};

TEST_F(WindowsConsole, OpeningSwitchesOffWindowAndMouseEventsAndDropsWhatWasQueued) {
    const DWORD before = savedMode | ENABLE_WINDOW_INPUT | ENABLE_MOUSE_INPUT;
    ASSERT_TRUE(SetConsoleMode(input, before));
    Queue(Typed("stale\r"));
    OpenChannel(channel);
    ASSERT_EQ(channel.IsConsole, 1);
    DWORD after = 0;
    ASSERT_TRUE(GetConsoleMode(input, &after));
    EXPECT_EQ(after, before & ~DWORD(ENABLE_WINDOW_INPUT | ENABLE_MOUSE_INPUT));
    EXPECT_EQ(Queued(), 0u);
    EXPECT_FALSE(ReadLine(channel, line));
}

// A lone queued event is no input, whatever it is: reading now could wait for
// a line that nobody types. Nothing is taken from the queue.
TEST_F(WindowsConsole, OneQueuedEventIsNoInput) {
    OpenChannel(channel);
    ASSERT_EQ(channel.IsConsole, 1);
    const INPUT_RECORD lone[] = {Focus(), Key('x', false), Key('x', true), Key('\r', true)};
    for (const INPUT_RECORD& event : lone) {
        FlushConsoleInputBuffer(input);
        Queue({event});
        EXPECT_FALSE(HasInput(channel)) << event.EventType;
        EXPECT_FALSE(ReadLine(channel, line)) << event.EventType;
        EXPECT_EQ(Queued(), 1u) << event.EventType;
        EXPECT_EQ(channel.Filled, 0) << event.EventType;
    }
}

TEST_F(WindowsConsole, MoreThanOneQueuedEventIsInput) {
    OpenChannel(channel);
    ASSERT_EQ(channel.IsConsole, 1);
    struct Case {
        const char* typed;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"go\r", {"go"}},
        {"\r\r", {"", ""}},
        {"position startpos\r", {"position startpos"}},
    };
    for (const Case& c : cases) {
        FlushConsoleInputBuffer(input);
        Queue(Typed(c.typed));
        std::vector<std::string> lines;
        for (int i = 0; i < 10 && Queued() > 1; i++) {
            if (ReadLine(channel, line)) lines.push_back(line);
        }
        while (ReadLine(channel, line)) lines.push_back(line);  // held in the buffer
        EXPECT_EQ(lines, c.lines) << c.typed;
        EXPECT_LE(Queued(), 1u) << c.typed;  // at most the release of the last return
    }
}

}  // namespace
