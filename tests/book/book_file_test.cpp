// Reading book files: the line format, line ends, damaged lines and where the
// file is looked for.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "book/book.h"
#include "book/book_platform.h"
#include "book/book_test_support.h"

namespace {

const std::string Start = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1";
const std::string StartBlack =
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1";
// The red centre pawn a rank behind where it starts.
const std::string PawnBehind =
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P3P1P/1C5C1/4P4/RNBAKABNR w - - 0 1";

// The moves and weights stored for a FEN, as "h2e2:3 b0c2:1".
std::string StoredFor(const Book& book, const std::string& fen) {
    const BookSlot* slot = FindSlot(book, KeyOfFen(fen.c_str()));
    if (!slot) return "";
    std::string text;
    for (int j = 0; j < slot->Count; j++) {
        char move[5];
        FormatMove(MoveFrom(slot->Moves[j]), MoveTo(slot->Moves[j]), move);
        if (j) text += " ";
        text += std::string(move) + ":" + std::to_string(slot->Weights[j]);
    }
    return text;
}

struct FileCase {
    const char* name;
    std::string bytes;
    std::string start;       // expected for the start position, red to move
    std::string startBlack;  // and with black to move
    int storedMoves;
};

TEST(BookFile, LinesAndLineEnds) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    const FileCase cases[] = {
        {"one line with a line feed", "h2e2 3 " + Start + "\n", "h2e2:3", "", 1},
        {"one line without a line feed", "h2e2 3 " + Start, "h2e2:3", "", 1},
        {"last line without a line feed", "h2e2 3 " + Start + "\nb0c2 1 " + Start, "h2e2:3 b0c2:1",
         "", 2},
        {"CR LF lines", "h2e2 3 " + Start + "\r\nb0c2 1 " + Start + "\r\n", "h2e2:3 b0c2:1", "", 2},
        {"empty file", "", "", "", 0},
        {"blank lines", "\n\n\r\n", "", "", 0},
        {"red and black to move are different positions",
         "h2e2 3 " + Start + "\nh7e7 5 " + StartBlack + "\n", "h2e2:3", "h7e7:5", 2},
        {"lines of one position need not be adjacent",
         "h2e2 3 " + Start + "\nh7e7 5 " + StartBlack + "\nb0c2 1 " + Start + "\n", "h2e2:3 b0c2:1",
         "h7e7:5", 3},
        {"the fields after the side are not read", "h2e2 3 " + Start.substr(0, Start.size() - 8),
         "h2e2:3", "", 1},
        {"a position no game reaches is skipped",
         "h2e2 3 " + Start + "\nb0c2 1 " + PawnBehind + "\n", "h2e2:3", "", 1},
    };
    for (const FileCase& c : cases) {
        const TempBookFile file(c.bytes);
        ASSERT_TRUE(LoadBookFile(book, file.path.c_str())) << c.name;
        EXPECT_EQ(StoredFor(book, Start), c.start) << c.name;
        EXPECT_EQ(StoredFor(book, StartBlack), c.startBlack) << c.name;
        EXPECT_EQ(StoredMoveCount(book), c.storedMoves) << c.name;
    }
}

// A line is given to the parser exactly as long as it is, so that a read past
// its end shows under the address sanitizer.
bool AddExactLine(Book& book, const std::string& line) {
    std::vector<char> bytes(line.begin(), line.end());
    bytes.push_back('\0');
    return AddBookLine(book, bytes.data());
}

struct LineCase {
    std::string line;
    bool stored;
    int weight;  // when stored
};

TEST(BookFile, DamagedLinesAreSkippedAndWeightsClamped) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    const LineCase cases[] = {
        {"", false, 0},
        {"\n", false, 0},
        {"h2e2", false, 0},
        {"h2e2\n", false, 0},
        {"h2e2 ", false, 0},
        {"h2e2 \n", false, 0},
        {"h2e2 3", false, 0},  // no space after the weight
        {"h2e2 3\n", false, 0},
        {"h2e2 3\r\n", false, 0},
        {"h2e2 3 ", false, 0},  // no position
        {"h2e2 3 \n", false, 0},
        {"h2e2 3 \r\n", false, 0},
        {"h2e2 3 " + Start, true, 3},
        {"h2e2 3 " + Start + "\r\n", true, 3},
        {"h2e2 3 " + PawnBehind, false, 0},
        {"h2e2 70000 " + Start, true, 65535},
        {"h2e2 65535 " + Start, true, 65535},
        {"h2e2 65536 " + Start, true, 65535},
        {"h2e2 99999999999999999999999 " + Start, true, 65535},
        {"h2e2 -5 " + Start, true, 0},
        {"h2e2 -99999999999999999999 " + Start, true, 0},
        {"h2e2 +7 " + Start, true, 7},
        {"h2e2 12abc " + Start, true, 12},
        {"h2e2 abc " + Start, true, 0},
        {"h2e2  " + Start, true, 0},  // empty weight, as atoi reads it
    };
    for (const LineCase& c : cases) {
        ClearBook(book);
        EXPECT_EQ(AddExactLine(book, c.line), c.stored) << c.line;
        EXPECT_EQ(StoredMoveCount(book), c.stored ? 1 : 0) << c.line;
        if (c.stored) {
            EXPECT_EQ(StoredFor(book, Start), "h2e2:" + std::to_string(c.weight)) << c.line;
        }
    }
}

// Lines longer than the reading buffer are split, and the rest is read as a
// line of its own; nothing is read out of bounds and later lines are intact.
TEST(BookFile, OverlongLines) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    const std::string good = "h2e2 3 " + Start;
    const std::string tail = "b0c2 1 " + Start;
    struct {
        const char* name;
        std::string bytes;
        std::string start;
    } cases[] = {
        {"97 characters", good + std::string(97 - good.size(), ' ') + "\n" + tail + "\n",
         "h2e2:3 b0c2:1"},
        {"98 characters", good + std::string(98 - good.size(), ' ') + "\n" + tail + "\n",
         "h2e2:3 b0c2:1"},
        {"the rest as a line of its own", good + std::string(98 - good.size(), 'x') + tail + "\n",
         "h2e2:3 b0c2:1"},
        {"very long line", good + std::string(5000, 'x') + "\n" + tail + "\n", "h2e2:3 b0c2:1"},
        {"very long blank line", std::string(5000, ' ') + "\n" + tail, "b0c2:1"},
    };
    for (const auto& c : cases) {
        const TempBookFile file(c.bytes);
        testing::internal::CaptureStdout();  // the move parser reports the fragments
        const bool loaded = LoadBookFile(book, file.path.c_str());
        testing::internal::GetCapturedStdout();
        ASSERT_TRUE(loaded) << c.name;
        EXPECT_EQ(StoredFor(book, Start), c.start) << c.name;
    }
}

TEST(BookFile, ZeroByteEndsTheLine) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    const TempBookFile file(std::string("h2e2\0 3 ", 8) + Start + "\nb0c2 1 " + Start + "\n");
    ASSERT_TRUE(LoadBookFile(book, file.path.c_str()));
    EXPECT_EQ(StoredFor(book, Start), "b0c2:1");
}

TEST(BookFile, MissingOrUnreadableBookIsEmpty) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    const TempBookFile good("h2e2 3 " + Start + "\n");
    const std::string unreadable[] = {testing::TempDir() + "quillon_no_such_dir/book.TXT",
                                      testing::TempDir() /* a directory */};
    for (const std::string& path : unreadable) {
        ASSERT_TRUE(LoadBookFile(book, good.path.c_str()));
        ASSERT_EQ(StoredMoveCount(book), 1);
        LoadBookFile(book, path.c_str());
        EXPECT_EQ(StoredMoveCount(book), 0) << path;
    }
    EXPECT_FALSE(LoadBookFile(book, unreadable[0].c_str()));
}

TEST(BookPath, ExecutableDirectory) {
    const std::string longDirectory = "/" + std::string(3000, 'd') + "/";
    struct {
        std::string executable;
        std::string book;
    } cases[] = {
        {"/usr/local/bin/quillon", "/usr/local/bin/book.TXT"},
        {"/quillon", "/book.TXT"},
        {"/opt/engines/", "/opt/engines/book.TXT"},
        {"quillon", "book.TXT"},
        {"./quillon", "book.TXT"},
        {"engines/quillon", "book.TXT"},
        {"", "book.TXT"},
        {longDirectory + "quillon", longDirectory + "book.TXT"},
#ifdef _WIN32
        {"C:\\Engines\\Quillon\\quillon.exe", "C:\\Engines\\Quillon\\book.TXT"},
        {"c:/engines/quillon.exe", "c:/engines/book.TXT"},
        {"Z:\\work/mixed\\quillon.exe", "Z:\\work/mixed\\book.TXT"},
        {"\\\\server\\share\\quillon.exe", "\\\\server\\share\\book.TXT"},
        {"\\quillon.exe", "\\book.TXT"},
        {"engines\\quillon.exe", "book.TXT"},    // relative: the current directory
        {"C:engines\\quillon.exe", "book.TXT"},  // relative to the drive's current one
        {"1:\\quillon.exe", "book.TXT"},         // no drive letter
#endif
    };
    for (const auto& c : cases) {
        std::vector<char> out(MaxPathBytes + 16, '#');
        ASSERT_TRUE(BookPathFor(c.executable.c_str(), out.data(), out.size())) << c.executable;
        EXPECT_EQ(std::string(out.data()), c.book);
    }
}

TEST(BookPath, ResultMustFit) {
    char out[20];
    EXPECT_TRUE(BookPathFor("/a/quillon", out, 12));  // "/a/book.TXT" and its zero
    EXPECT_STREQ(out, "/a/book.TXT");
    EXPECT_FALSE(BookPathFor("/a/quillon", out, 11));
    EXPECT_FALSE(BookPathFor("quillon", out, 8));
    EXPECT_TRUE(BookPathFor("quillon", out, 9));
    EXPECT_STREQ(out, "book.TXT");
}

TEST(BookPath, ExecutablePathIsThisProgram) {
    char path[MaxPathBytes];
    ASSERT_TRUE(ExecutablePath(path, sizeof path));
    EXPECT_TRUE(IsAbsolutePath(path)) << path;
    const char* name = path;
    for (const char* c = path; *c; c++)
        if (IsPathSeparator(*c)) name = c + 1;
#ifdef _WIN32
    EXPECT_STREQ(name, "quillon_tests.exe");
#else
    EXPECT_STREQ(name, "quillon_tests");
#endif
    // Too small a buffer is refused rather than cut short.
    char small[8];
    EXPECT_FALSE(ExecutablePath(small, sizeof small));
}

// The build puts book.TXT beside the executables; LoadBook finds it there.
TEST(BookPath, LoadBookReadsTheBookBesideTheExecutable) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    ClearBook(book);
    LoadBook(book);
    EXPECT_GT(StoredMoveCount(book), 0);
    EXPECT_NE(FindSlot(book, KeyOfFen(Start.c_str())), nullptr);
}

}  // namespace
