// The engine as a front end sees it: the built quillon started as a child
// program, fed command lines, its output compared byte for byte. Every read
// has a deadline, so a hung engine fails a test instead of hanging it.

#include <gtest/gtest.h>

#include <string>

#include "channel_test_support.h"
#include "engine_session_support.h"

namespace {

const char UcciReply[] =
    "id name Quillon 1.0\n"
    "id copyright Telvane\n"
    "id author Orsolan\n"
    "id user Wintermeet\n"
    "option usemillisec default true\n"
    "option check_in_quiescence default true\n"
    "option use_history_pruning default true\n"
    "ucciok\n";

std::string Echo(const std::string& words) {
    return "debug info=[" + words + "]\n";
}

TEST(UcciSession, ConversationsByteForByte) {
    struct Case {
        const char* name;
        std::string input;
        std::string output;
    };
    const std::string ucci = Echo("ucci") + UcciReply;
    const Case cases[] = {
        {"ucci then quit", "ucci\nquit\n", ucci + Echo("quit") + "bye\n"},
        {"ucci alone ends with the input, without bye", "ucci\n", ucci},
        {"a second ucci is silent", "ucci\nucci\nquit\n",
         ucci + Echo("ucci") + Echo("quit") + "bye\n"},
        {"quit before ucci is refused", "quit\nucci\nquit\n",
         Echo("quit") + "Engine do not boot\n" + ucci + Echo("quit") + "bye\n"},
        {"nothing after quit is read", "ucci\nquit\nucci\n", ucci + Echo("quit") + "bye\n"},
        {"empty lines echo empty brackets", "\n   \n", Echo("") + Echo("")},
        {"the echo joins the words with single spaces", "  SETOPTION   usebook\t 5  \n",
         Echo("SETOPTION usebook\t 5")},
        {"carriage returns end the line", "ucci\r\nstop\rquit\n",
         ucci + Echo("stop") + "Engine is not running.\n"},
        {"stop while idle", "stop\n", Echo("stop") + "Engine is not running.\n"},
        {"unknown commands are echoed only", "hello world\nfen moves\n",
         Echo("hello world") + Echo("fen moves")},
        {"good and bad option values give no reply",
         "setoption usebook false\nsetoption usebook maybe\nsetoption use_history_pruning TRUE\n"
         "setoption check_in_quiescence\nsetoption usemillisec false\n",
         Echo("setoption usebook false") + Echo("setoption usebook maybe") +
             Echo("setoption use_history_pruning TRUE") + Echo("setoption check_in_quiescence") +
             Echo("setoption usemillisec false")},
        {"banmoves gives no reply", "banmoves h2e2 h9g7\nbanmoves\n",
         Echo("banmoves h2e2 h9g7") + Echo("banmoves")},
        {"go before ucci boots the engine; the first ucci is still answered, a second is not",
         "setoption usebook false\ngo depth 0\nucci\nucci\nquit\n",
         Echo("setoption usebook false") + Echo("go depth 0") + "nobestmove\n" + Echo("ucci") +
             UcciReply + Echo("ucci") + Echo("quit") + "bye\n"},
        {"the move parser's words come after the echo, even at the end of input", "banmoves x2e2\n",
         Echo("banmoves x2e2") + "the moveString char is wrong.\n"},
        {"the move parser's words come before later replies", "banmoves H2e2\nstop\n",
         Echo("banmoves H2e2") + "the moveString char is wrong.\n" + Echo("stop") +
             "Engine is not running.\n"},
        {"positions give no reply",
         "position fen 4k4/9/9/9/9/9/9/9/9/4K4 b\nucci\nposition fen 4k4/9/9/9/9/9/9/9/9/4K4 w - - "
         "0 1 moves e0e1\n",
         Echo("position fen 4k4/9/9/9/9/9/9/9/9/4K4 b") + ucci +
             Echo("position fen 4k4/9/9/9/9/9/9/9/9/4K4 w - - 0 1 moves e0e1")},
        {"a last line without a line feed is carried out", "ucci\nquit",
         ucci + Echo("quit") + "bye\n"},
    };
    for (const Case& c : cases) {
        Transcript session = RunEngine(c.input, 5000);
        EXPECT_EQ(session.output, c.output) << c.name;
        EXPECT_TRUE(session.ended) << c.name;
        EXPECT_EQ(session.exitCode, 0) << c.name;
    }
}

// Numbers out of range are saturated, never undefined: each "go" searches the
// mated position and answers.
TEST(UcciSession, OutOfRangeNumbers) {
    Transcript session = RunEngine(
        "ucci\nsetoption usebook false\nposition fen R3k4/8R/9/9/9/9/9/9/9/3K5 b - - 0 1\n"
        "go depth 99999999999\ngo time -5\ngo time 2147483647 increment 2147483647\n"
        "go depth -99999999999\n",
        5000);
    EXPECT_TRUE(session.ended);
    EXPECT_EQ(session.exitCode, 0);
    size_t answers = 0;
    for (size_t at = 0; (at = session.output.find("\nnobestmove\n", at)) != std::string::npos; at++)
        answers++;
    EXPECT_EQ(answers, 4u) << session.output;
    EXPECT_EQ(session.output.find("bestmove "), std::string::npos) << session.output;
}

TEST(UcciSession, LinesOfManyWordsAreEchoedWhole) {
    std::string manyWords = "x";
    for (int i = 0; i < 400; i++) manyWords += " a";
    std::string manyMoves = "banmoves";
    for (int i = 0; i < 150; i++) manyMoves += " h2e2";
    Transcript session = RunEngine(manyWords + "\n" + manyMoves + "\nucci\nquit\n", 5000);
    EXPECT_EQ(session.output, Echo(manyWords) + Echo(manyMoves) + Echo("ucci") + UcciReply +
                                  Echo("quit") + "bye\n");
    EXPECT_EQ(session.exitCode, 0);
}

// A long line is read whole; an overlong one is dropped whole, and nothing
// of it is carried out.
TEST(UcciSession, AnOverLongLineIsNeverTakenInPieces) {
    const std::string word(1500, 'x');
    Transcript session = RunEngine(word + "\nstop\n", 5000);
    EXPECT_EQ(session.output, Echo(word) + Echo("stop") + "Engine is not running.\n");
    EXPECT_EQ(session.exitCode, 0);

    // Each piece of it would be a command: "ucci", "stop" and "quit".
    std::string overlong = "ucci";
    while (overlong.size() <= size_t(MaxLineLength)) overlong += "\rstop\rquit";
    session = RunEngine(overlong + "\nstop\n", 5000);
    const std::string tail = Echo("stop") + "Engine is not running.\n";
    ASSERT_GE(session.output.size(), tail.size());
    EXPECT_EQ(session.output.substr(session.output.size() - tail.size()), tail);
    EXPECT_EQ(session.output.find("Engine is not running."), session.output.size() - 23)
        << session.output.substr(0, 200);
    EXPECT_EQ(session.output.find("id name"), std::string::npos) << session.output.substr(0, 200);
    EXPECT_NE(session.output.find("info line longer than 65535 bytes refused\n"),
              std::string::npos);
    EXPECT_TRUE(session.ended);
    EXPECT_EQ(session.exitCode, 0);
}

TEST(UcciSession, AnEngineWhoseFrontEndDiesEndsByItself) {
    ChildChannel engine;
    ASSERT_TRUE(OpenChildChannel(engine, EngineProgram()));
    WriteChannel(engine.channel, "ucci\n");
    char line[LineBufferSize];
    ASSERT_TRUE(ReadLineWithin(engine.channel, line, 5000));
    EXPECT_STREQ(line, "debug info=[ucci]");
    // Both pipes go at once; the engine must leave on its own, not be killed.
    CloseChildChannel(engine);
    EXPECT_EQ(engine.exitCode, 0);
}

// The front end stops reading but goes on writing: every answer the engine
// writes fails, and it carries on all the same, through a search, to "quit".
TEST(UcciSession, AnEngineWhoseOutputIsGoneCarriesOn) {
    ChildChannel engine;
    ASSERT_TRUE(OpenChildChannel(engine, EngineProgram()));
    CloseTestEnd(engine.channel.InHandle);
    engine.channel.InputEnded = true;
    WriteChannel(engine.channel, "ucci\nsetoption usebook false\ngo depth 5\nprobe\nquit\n");
    CloseChildChannel(engine);
    EXPECT_EQ(engine.exitCode, 0);
}

TEST(UcciSession, AnEngineWaitsForInputWhileTheFrontEndIsThere) {
    ChildChannel engine;
    ASSERT_TRUE(OpenChildChannel(engine, EngineProgram()));
    char line[LineBufferSize];
    EXPECT_FALSE(ReadLineWithin(engine.channel, line, 100));
    EXPECT_FALSE(AtEndOfInput(engine.channel));
    WriteChannel(engine.channel, "ucci\n");
    ASSERT_TRUE(ReadLineWithin(engine.channel, line, 5000));
    EXPECT_STREQ(line, "debug info=[ucci]");
    WriteChannel(engine.channel, "quit\n");
    bool ended = false;
    std::vector<std::string> lines = ReadLinesToEnd(engine.channel, 5000, &ended);
    EXPECT_TRUE(ended);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "bye");
    CloseChildChannel(engine);
    EXPECT_EQ(engine.exitCode, 0);
}

}  // namespace
