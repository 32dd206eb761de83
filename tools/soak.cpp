// soak: runs many random UCCI sessions against the engine executable through
// pipes and checks every answer. Each session starts a fresh engine, sends
// "ucci", a random series of commands and "quit", and requires:
//   - every line the engine writes is one the protocol knows (a sanitizer
//     report or a crash message is not);
//   - every line sent is echoed, "go" is answered by "bestmove" or
//     "nobestmove", "probe" by "pophash", an idle "stop" by "Engine is not
//     running.", all within deadlines, so a hang fails the run;
//   - a best move is legal in the position sent (checked with the slow
//     reference rules), not banned unless the book played it or it is the
//     lone reply to a check, and its ponder move is legal after it;
//     "nobestmove" only when no unbanned move exists;
//   - "quit" gives "bye" and exit code 0.
// With --malformed, damaged lines are mixed in: random bytes, overlong lines,
// broken FEN, bad numbers, stray carriage returns and zero bytes.
//
// usage: soak ENGINE [--sessions N] [--seed S] [--malformed] [--deadline-ms MS]

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "position/position.h"
#include "position/random.h"
#include "support/child_channel.h"
#include "support/reference_rules.h"

namespace {

const char* const KnownFens[] = {
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1",
    "r1bakabr1/9/1cn4c1/p1p1p1p1p/9/9/P1P1P1P1P/1CN1C1N2/9/R1BAKAB1R b - - 0 1",
    "3akab2/9/4b4/p3p3p/2p3p2/9/P1P3P1P/4B4/9/2BAKA3 w - - 0 1",
    "4k4/4a4/4ba3/9/2b6/9/9/4B4/4A4/3AK4 w - - 0 1",
    "3k5/9/9/9/9/9/9/9/4r4/3K5 w - - 0 1",
    "2bak4/4a4/4b4/9/9/9/9/9/3R5/4K4 b - - 0 1",
    "r2akab1r/9/1cn1b1n2/p1p1p3p/6p2/2P6/P3P1P1P/1C2B1NC1/9/RNBAKA2R w - - 0 1",
    "4kab2/4a4/9/9/9/9/9/9/4C4/3AK4 w - - 0 1",
};

struct Options {
    std::string engine;
    int sessions = 100;
    uint32_t seed = 1;
    bool malformed = false;
    int deadlineMs = 30000;
};

struct Totals {
    long sessions = 0, lines = 0, goes = 0, bestmoves = 0, nobestmoves = 0, probes = 0,
         malformedLines = 0, bookMoves = 0;
};

const char* const KnownPrefixes[] = {
    "debug info=[",
    "info time ",
    "info depth ",
    "bestmove ",
    "nobestmove",
    "pophash ",
    "id name ",
    "id copyright ",
    "id author ",
    "id user ",
    "option ",
    "ucciok",
    "bye",
    "Engine is not running.",
    "Engine do not boot",
    "the moveString char is wrong.",
    "the moveString sequence is wrong.",
    "info position refused: no game reaches it",
    "info line longer than 65535 bytes refused",
};

// A depth line without a principal variation ends in "pv nobestmove" and a
// line feed of its own, so an empty line follows it.
bool IsKnownLine(const std::string& line) {
    if (line.empty()) return true;
    for (const char* prefix : KnownPrefixes)
        if (line.compare(0, std::strlen(prefix), prefix) == 0) return true;
    return false;
}

std::string MoveText(uint32_t from, uint32_t to) {
    char text[5];
    FormatMove(from, to, text);
    return text;
}

bool ParseMoveText(const std::string& text, RefMove& move) {
    if (text.size() != 4 || text[0] < 'a' || text[0] > 'i' || text[2] < 'a' || text[2] > 'i' ||
        text[1] < '0' || text[1] > '9' || text[3] < '0' || text[3] > '9')
        return false;
    move.from = SquareAt(uint32_t(text[0] - 'a'), uint32_t('9' - text[1]));
    move.to = SquareAt(uint32_t(text[2] - 'a'), uint32_t('9' - text[3]));
    return true;
}

bool Contains(const std::vector<RefMove>& moves, const RefMove& m) {
    return std::find(moves.begin(), moves.end(), m) != moves.end();
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') i++;
        size_t j = i;
        while (j < line.size() && line[j] != ' ') j++;
        if (j > i) words.push_back(line.substr(i, j - i));
        i = j;
    }
    return words;
}

// One engine process and what the driver knows about it.
struct Session {
    const Options& options;
    Totals& totals;
    std::mt19937& rng;
    ChildChannel engine{};
    std::vector<std::string> transcript;  // lines sent and received, for the failure report
    std::string failure;
    bool positionKnown = true;  // the driver knows the engine's game position
    Position* game;             // that position, when known
    std::vector<RefMove> banned;
    int64_t depthLimit = 20;  // the engine's depth limit, which persists from one "go" to the next

    Session(const Options& o, Totals& t, std::mt19937& r, Position* g)
        : options(o), totals(t), rng(r), game(g) {}

    void Fail(const std::string& why) {
        if (failure.empty()) failure = why;
    }

    void Send(const std::string& line) {
        transcript.push_back("> " + line);
        std::string bytes = line + "\n";
        WriteStream(engine.channel.OutHandle, bytes.data(), int32_t(bytes.size()));
        totals.lines++;
    }

    // Reads lines until one starts with `wanted`, or, for a search, until its
    // "bestmove" or "nobestmove"; every answer and book line is checked and
    // counted on the way.
    bool WaitFor(const std::string& wanted, int deadlineMs, bool bestMove = false) {
        std::string text;
        const long start = Now();
        while (failure.empty()) {
            if (ReadWholeLine(text)) {
                transcript.push_back("< " + text);
                if (!IsKnownLine(text)) {
                    Fail("unexpected line from the engine: " + text);
                    DrainInto(transcript);
                    return false;
                }
                // The depth-0 line of a book answer comes before the best move.
                if (text.compare(0, 13, "info depth 0 ") == 0) {
                    lastGoFromBook = true;
                    totals.bookMoves++;
                }
                const bool answer = text.compare(0, 9, "bestmove ") == 0 || text == "nobestmove";
                if (answer) CheckAnswer(text);
                if ((bestMove && answer) ||
                    (!bestMove && text.compare(0, wanted.size(), wanted) == 0))
                    return true;
                continue;
            }
            if (AtEndOfInput(engine.channel)) {
                Fail("the engine's output ended while waiting for \"" + wanted + "\"");
                return false;
            }
            if (Now() - start > deadlineMs) {
                Fail("no \"" + wanted + "\" within " + std::to_string(deadlineMs) + " ms");
                return false;
            }
            SleepMilliseconds(1);
        }
        return false;
    }

    // What a crashed engine still had to say (a sanitizer report), for the log.
    void DrainInto(std::vector<std::string>& out) {
        std::string line;
        const long start = Now();
        while (Now() - start < 3000) {
            if (ReadWholeLine(line)) {
                out.push_back("< " + line);
            } else if (AtEndOfInput(engine.channel)) {
                break;
            } else {
                SleepMilliseconds(1);
            }
        }
    }

    // One whole line of the engine's; one longer than the channel takes (no
    // answer of the engine's is) comes out empty.
    bool ReadWholeLine(std::string& text) {
        static char line[LineBufferSize];
        if (!ReadLine(engine.channel, line)) return false;
        text = line;
        return true;
    }

    static long Now() {
        timespec t;
        clock_gettime(CLOCK_MONOTONIC, &t);
        return long(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
    }

    bool lastGoFromBook = false;

    void CheckAnswer(const std::string& text) {
        const std::vector<std::string> words = Words(text);
        if (words[0] == "nobestmove") {
            totals.nobestmoves++;
            if (words.size() != 1) Fail("words after nobestmove");
            if (!positionKnown || depthLimit < 1) return;
            for (const RefMove& m : RefLegalMoves(*game))
                if (!Contains(banned, m)) Fail("nobestmove with a legal unbanned move");
            return;
        }
        totals.bestmoves++;
        RefMove best, ponder;
        if (!ParseMoveText(words[1], best)) return Fail("a badly formed best move");
        const bool hasPonder = words.size() == 4 && words[2] == "ponder";
        if (words.size() != 2 && !hasPonder) return Fail("a badly formed bestmove line");
        if (hasPonder && !ParseMoveText(words[3], ponder)) return Fail("a badly formed ponder");
        if (!positionKnown) return;
        if (!Contains(RefLegalMoves(*game), best)) return Fail("the best move is illegal");
        // The book ignores the banned list, and a lone reply to a check is
        // played even when banned.
        const bool loneEvasion = SideToMoveInCheck(*game) && RefLegalMoves(*game).size() == 1;
        if (Contains(banned, best) && !lastGoFromBook && !loneEvasion)
            return Fail("the best move is banned");
        if (!hasPonder) return;
        MoveRecord record = RecordOf(best.from, best.to, 0, 0, 0);
        if (!MakeMove(record, *game)) return Fail("the best move is refused by MakeMove");
        const bool ponderLegal = Contains(RefLegalMoves(*game), ponder);
        UnmakeMove(*game);
        if (!ponderLegal) Fail("the ponder move is illegal");
    }

    // --- well-formed commands --------------------------------------------

    void SendPosition() {
        const char* fen = KnownFens[rng() % (sizeof KnownFens / sizeof KnownFens[0])];
        LoadFen(fen, *game);
        std::string line = std::string("position fen ") + fen;
        const int plies = int(rng() % 41);
        std::string moves;
        for (int i = 0; i < plies; i++) {
            std::vector<RefMove> legal = RefLegalMoves(*game);
            if (legal.empty()) break;
            const RefMove m = legal[rng() % legal.size()];
            MoveRecord record = RecordOf(m.from, m.to, 0, 0, 0);
            MakeMove(record, *game);
            moves += " " + MoveText(m.from, m.to);
        }
        if (!moves.empty()) line += " moves" + moves;
        game->Ply = 0;
        positionKnown = true;
        Send(line);
        WaitFor("debug info=[", options.deadlineMs);
    }

    void SendBanMoves() {
        banned.clear();
        std::string line = "banmoves";
        if (positionKnown && rng() % 4 != 0) {
            std::vector<RefMove> legal = RefLegalMoves(*game);
            std::shuffle(legal.begin(), legal.end(), rng);
            // Sometimes every legal move, so that "nobestmove" is asked for.
            const size_t count =
                rng() % 5 == 0 ? legal.size() : std::min<size_t>(legal.size(), rng() % 4);
            for (size_t i = 0; i < count && i < 101; i++) {
                banned.push_back(legal[i]);
                line += " " + MoveText(legal[i].from, legal[i].to);
            }
        }
        Send(line);
        WaitFor("debug info=[", options.deadlineMs);
    }

    // The depth limit a "go" line leaves, as the engine reads it.
    void NoteDepthLimit(const std::string& line) {
        std::vector<std::string> words = Words(line);
        for (std::string& w : words)
            for (char& c : w) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (words.size() < 2 || words[1] != "depth") return;
        if (words.size() < 3) {
            depthLimit = 0;
        } else if (words[2] == "infinite" || words[2] == "inf") {
            depthLimit = 15;
        } else {
            depthLimit = std::atoll(words[2].c_str());
        }
    }

    void SendGo(const std::string& line, bool stopSoon) {
        totals.goes++;
        NoteDepthLimit(line);
        Send(line);
        if (!WaitFor("debug info=[", options.deadlineMs)) return;
        if (stopSoon) {
            SleepMilliseconds(int(rng() % 50));
            Send("stop");
        }
        lastGoFromBook = false;
        WaitFor("a best move", options.deadlineMs, true);
        banned.clear();
        // A "stop" that came after the search ended is answered as idle.
    }

    void SendWellFormed() {
        switch (rng() % 10) {
            case 0:
            case 1:
                SendPosition();
                break;
            case 2:
            case 3:
            case 4:
                SendGo("go depth " + std::to_string(1 + rng() % 4), rng() % 8 == 0);
                break;
            case 5:
                if (rng() % 2) {
                    Send("probe");
                } else {
                    Send(std::string("probe fen ") + KnownFens[rng() % 8] + " moves h2e2 h9g7");
                }
                totals.probes++;
                WaitFor("pophash ", options.deadlineMs);
                break;
            case 6:
                SendBanMoves();
                break;
            case 7:
                Send("stop");
                WaitFor("Engine is not running.", options.deadlineMs);
                break;
            case 8: {
                const char* names[] = {"usebook", "use_history_pruning", "check_in_quiescence"};
                Send(std::string("setoption ") + names[rng() % 3] +
                     (rng() % 2 ? " true" : " false"));
                WaitFor("debug info=[", options.deadlineMs);
                break;
            }
            default:
                SendGo("go time " + std::to_string(20 + rng() % 200), false);
                break;
        }
    }

    // --- damaged lines ---------------------------------------------------

    std::string RandomBytes(size_t length, const char* alphabet) {
        std::string s;
        const size_t n = std::strlen(alphabet);
        for (size_t i = 0; i < length; i++) s += alphabet[rng() % n];
        return s;
    }

    std::string RandomFenLike() {
        std::string fen = KnownFens[rng() % 8];
        switch (rng() % 4) {
            case 0:
                fen.resize(rng() % fen.size());
                break;
            case 1:
                for (int i = 0; i < 5; i++)
                    fen[rng() % fen.size()] = "KkAaBbNnRrCcPp123456789/ x"[rng() % 26];
                break;
            case 2:
                fen = RandomBytes(1 + rng() % 120, "KkAaBbNnRrCcPp123456789/");
                break;
            default:
                fen = std::string(30 + rng() % 60, "KRCPkrcp"[rng() % 8]) + " b";
                break;
        }
        return fen;
    }

    void SendMalformed() {
        totals.malformedLines++;
        std::string line;
        bool isGo = false, movesPosition = false;
        switch (rng() % 12) {
            case 0: {  // random bytes, no line feed; a first word that is a command is avoided
                std::string bytes;
                for (size_t i = 0, n = 1 + rng() % 300; i < n; i++) {
                    char c = char(rng() % 256);
                    if (c == '\n') c = '#';
                    bytes += c;
                }
                line = "#" + bytes;
                break;
            }
            case 1:
                line = RandomBytes(1100 + rng() % 4000, "xyz0123 ");
                break;
            case 2:
                line = "position fen " + RandomFenLike();
                if (rng() % 2)
                    line += " moves " + RandomBytes(rng() % 60, "abcdefghijz0123456789 ");
                movesPosition = true;
                break;
            case 3:
                line =
                    "probe fen " + RandomFenLike() + " moves " + RandomBytes(rng() % 40, "a0i9 ");
                break;
            case 4: {
                const char* goes[] = {"go depth -3",
                                      "go depth 99999999999",
                                      "go depth abc",
                                      "go depth",
                                      "go time -5",
                                      "go time 0 increment -100",
                                      "go time abc",
                                      "go infinite",
                                      "go movestogo 3 time 50",
                                      "go depth infinite",
                                      "go depth 200",
                                      "go time 50 increment",
                                      "go time 99999999999 increment 99999999999",
                                      "GO DEPTH 2",
                                      "go depth 7"};
                line = goes[rng() % (sizeof goes / sizeof goes[0])];
                isGo = true;
                break;
            }
            case 5: {
                line = "banmoves";
                for (int i = 0, n = int(rng() % 200); i < n; i++)
                    line += " " + RandomBytes(1 + rng() % 6, "abcdefghijz0123456789");
                // The engine bans what its parser makes of the first 101 words.
                const std::vector<std::string> words = Words(line);
                banned.clear();
                for (size_t i = 1; i < words.size() && i <= 101; i++) {
                    const MoveRecord r = ParseMoveString(words[i].c_str());
                    banned.push_back(RefMove{r.from, r.to});
                }
                break;
            }
            case 6:
                line = "setoption " + RandomBytes(rng() % 30, "usebokhiqtrf_ ");
                break;
            case 7:
                line = "ucci extra words";
                break;
            case 8:
                line = std::string("probe fen ") + KnownFens[0] +
                       "\r trailing after a carriage return";
                break;
            case 9:
                line = std::string("position fen\t") + KnownFens[0];
                movesPosition = true;
                break;
            case 10:
                line = std::string("position fen ") + KnownFens[0] + std::string(1, '\0') +
                       " moves h2e2";
                movesPosition = true;
                break;
            default:
                line = std::string(rng() % 20, ' ');
                break;
        }
        if (movesPosition) {
            positionKnown = false;  // what the engine made of it is its own business
        }
        if (isGo) {
            SendGo(line, true);
            return;
        }
        transcript.push_back("> (damaged, " + std::to_string(line.size()) + " bytes)");
        std::string bytes = line + "\n";
        WriteStream(engine.channel.OutHandle, bytes.data(), int32_t(bytes.size()));
        totals.lines++;
    }

    // --- the whole session -----------------------------------------------

    bool Run() {
        if (!OpenChildChannel(engine, options.engine.c_str())) {
            Fail("cannot start " + options.engine);
            return false;
        }
        LoadFen(KnownFens[0], *game);
        positionKnown = true;
        Send("ucci");
        WaitFor("ucciok", options.deadlineMs);
        const int commands = 5 + int(rng() % 15);
        for (int i = 0; i < commands && failure.empty(); i++) {
            if (options.malformed && rng() % 3 == 0) {
                SendMalformed();
            } else {
                SendWellFormed();
            }
        }
        if (failure.empty()) {
            // A fixed point at the end: a known position, one more search.
            SendPosition();
            SendGo("go depth 2", false);
        }
        if (failure.empty()) {
            Send("quit");
            WaitFor("bye", options.deadlineMs);
        }
        if (failure.empty()) {
            // Nothing may follow "bye" but the end of the output.
            std::string line;
            const long start = Now();
            while (!AtEndOfInput(engine.channel) && Now() - start < options.deadlineMs) {
                if (ReadWholeLine(line)) {
                    transcript.push_back("< " + line);
                    Fail("output after bye: " + line);
                    DrainInto(transcript);
                    break;
                }
                SleepMilliseconds(1);
            }
            if (!AtEndOfInput(engine.channel)) Fail("the engine did not end after bye");
        }
        CloseChildChannel(engine);
        if (failure.empty() && engine.exitCode != 0)
            Fail("exit code " + std::to_string(engine.exitCode));
        totals.sessions++;
        return failure.empty();
    }
};

bool ReadOptions(int argc, char** argv, Options& options) {
    if (argc < 2) return false;
    options.engine = argv[1];
    for (int i = 2; i < argc; i++) {
        const std::string a = argv[i];
        if (a == "--malformed") {
            options.malformed = true;
        } else if (a == "--sessions" && i + 1 < argc) {
            options.sessions = std::atoi(argv[++i]);
        } else if (a == "--seed" && i + 1 < argc) {
            options.seed = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        } else if (a == "--deadline-ms" && i + 1 < argc) {
            options.deadlineMs = std::atoi(argv[++i]);
        } else {
            return false;
        }
    }
    return options.sessions > 0 && options.deadlineMs > 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ReadOptions(argc, argv, options)) {
        std::fprintf(
            stderr,
            "usage: soak ENGINE [--sessions N] [--seed S] [--malformed] [--deadline-ms MS]\n");
        return 2;
    }
    // The move parser writes its complaints to the standard output: the
    // results go to a copy of it, the complaints nowhere.
    std::fflush(stdout);
    std::FILE* results = fdopen(dup(STDOUT_FILENO), "w");
    if (!results || !std::freopen("/dev/null", "w", stdout)) return 2;
    SeedRandom(options.seed);
    InitTables();
    IgnoreBrokenPipes();
    static Position game;
    Totals totals;
    for (int i = 0; i < options.sessions; i++) {
        // Each session has its own generator, so a failing one can be rerun alone.
        std::mt19937 rng(options.seed * 1000003u + uint32_t(i));
        Session session(options, totals, rng, &game);
        if (!session.Run()) {
            std::fprintf(results, "soak: session %d (seed %u) failed: %s\n", i, options.seed,
                         session.failure.c_str());
            const size_t first =
                session.transcript.size() > 60 ? session.transcript.size() - 60 : 0;
            for (size_t k = first; k < session.transcript.size(); k++)
                std::fprintf(results, "    %s\n", session.transcript[k].substr(0, 300).c_str());
            std::fprintf(results, "soak: 0 passed, 1 failed\n");
            return 1;
        }
    }
    std::fprintf(
        results,
        "soak: %ld sessions%s, %ld lines sent (%ld damaged), %ld go: %ld bestmove (%ld from the "
        "book), %ld nobestmove; %ld probes\n",
        totals.sessions, options.malformed ? " with damaged lines" : "", totals.lines,
        totals.malformedLines, totals.goes, totals.bestmoves, totals.bookMoves, totals.nobestmoves,
        totals.probes);
    return 0;
}
