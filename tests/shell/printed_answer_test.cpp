// What both protocols print after a search, read back and held against the
// answer the same search returns as values: every iteration's depth, score
// and line, the best move and the move to ponder on, mate scores included.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "position/piece_values.h"
#include "shell/ucci.h"
#include "shell/uci.h"

namespace {

std::string MoveText(Move m) {
    char text[5];
    FormatMove(MoveFrom(m), MoveTo(m), text);
    return text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The words of the line after `word`, up to the end or the next of `stops`.
std::vector<std::string> WordsAfter(const std::string& line, const std::string& word) {
    std::istringstream in(line);
    std::vector<std::string> words;
    bool taking = false;
    for (std::string w; in >> w;) {
        if (taking) words.push_back(w);
        if (w == word) taking = true;
    }
    return words;
}

std::vector<std::string> DepthLines(const std::vector<std::string>& lines) {
    std::vector<std::string> depthLines;
    for (const std::string& line : lines)
        if (line.rfind("info depth ", 0) == 0) depthLines.push_back(line);
    return depthLines;
}

std::string BestMoveLine(const SearchAnswer& answer) {
    std::string best = "bestmove " + MoveText(answer.best);
    if (answer.ponder) best += " ponder " + MoveText(answer.ponder);
    return best;
}

struct Recorded {
    std::vector<IterationReport> reports;
};
void Record(void* context, const IterationReport& report) {
    if (report.completed) static_cast<Recorded*>(context)->reports.push_back(report);
}

class PrintedAnswer : public InProcessEngine {
protected:
    void SetUp() override {
        InProcessEngine::SetUp();
        engine.channel.InputEnded = true;
        engine.useBook = false;
        PrepareEngine(engine);
    }
    std::string Run(const std::string& text, bool uci) {
        std::vector<char> line(text.begin(), text.end());
        line.push_back(0);
        engine.uci = uci;
        if (uci) {
            RunUciLine(engine, line.data());
        } else {
            RunUcciLine(engine, line.data());
        }
        return Written();
    }
    // The same search as "go depth D", its values recorded.
    SearchAnswer Search(int depth, Recorded& recorded) {
        SearchLimits limits;
        limits.maxDepth = depth;
        const SearchReporter reporter{&recorded, nullptr, Record, nullptr, nullptr};
        return RunSearch(engine.search, engine.game, limits, reporter);
    }
};

struct Case {
    const char* fen;
    int depth;
    int mate;  // the answer's mate in moves, 0 for none
};

const Case Cases[] = {
    {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1", 5, 0},
    {"r1bakab1r/9/1cn4c1/p1p1n1p1p/4N4/2N6/P1P1P1P1P/1C5C1/9/R1BAKAB1R b - - 0 1", 5, 0},
    {"4ka3/9/9/9/9/9/9/9/9/R2K4R w - - 0 1", 5, 2},    // red mates in two
    {"4k4/4a4/9/9/9/9/9/9/9/R3K3R b - - 0 1", 5, -2},  // black is mated in two
};

TEST_F(PrintedAnswer, UcciPrintsTheSearchsValues) {
    for (const Case& c : Cases) {
        Run(std::string("position fen ") + c.fen, false);
        const std::vector<std::string> lines =
            Lines(Run("go depth " + std::to_string(c.depth), false));
        Recorded recorded;
        const SearchAnswer answer = Search(c.depth, recorded);
        EXPECT_EQ(MateInMoves(answer.score), c.mate) << c.fen;

        const std::vector<std::string> depthLines = DepthLines(lines);
        ASSERT_EQ(depthLines.size(), recorded.reports.size()) << c.fen;
        for (size_t i = 0; i < depthLines.size(); i++) {
            const IterationReport& r = recorded.reports[i];
            const std::vector<std::string> head = WordsAfter(depthLines[i], "info");
            ASSERT_GE(head.size(), 5u) << depthLines[i];
            EXPECT_EQ(head[1], std::to_string(r.depth)) << depthLines[i];
            EXPECT_EQ(head[3], std::to_string(r.score)) << depthLines[i];
            std::vector<std::string> line;
            for (int m = 0; m < r.pv.listed; m++) line.push_back(MoveText(r.pv.moves[m]));
            EXPECT_EQ(WordsAfter(depthLines[i], "pv"), line) << depthLines[i];
            EXPECT_EQ(depthLines[i].back(), ' ') << depthLines[i];
        }
        EXPECT_EQ(lines.back(), BestMoveLine(answer)) << c.fen;
        // The ponder move is the line's second move.
        if (answer.ponder) {
            EXPECT_EQ(answer.ponder, answer.pv.moves[1]) << c.fen;
        }
    }
}

TEST_F(PrintedAnswer, UciPrintsTheSearchsValues) {
    for (const Case& c : Cases) {
        Run(std::string("position fen ") + c.fen, true);
        const std::vector<std::string> lines =
            Lines(Run("go depth " + std::to_string(c.depth), true));
        Recorded recorded;
        const SearchAnswer answer = Search(c.depth, recorded);

        const std::vector<std::string> depthLines = DepthLines(lines);
        ASSERT_EQ(depthLines.size(), recorded.reports.size()) << c.fen;
        for (size_t i = 0; i < depthLines.size(); i++) {
            const IterationReport& r = recorded.reports[i];
            const std::vector<std::string> score = WordsAfter(depthLines[i], "score");
            ASSERT_GE(score.size(), 2u) << depthLines[i];
            if (IsMateScore(r.score)) {
                EXPECT_EQ(score[0], "mate") << depthLines[i];
                EXPECT_EQ(score[1], std::to_string(MateInMoves(r.score))) << depthLines[i];
            } else {
                EXPECT_EQ(score[0], "cp") << depthLines[i];
                // Centipawns: an uncrossed pawn is 100.
                EXPECT_EQ(score[1], std::to_string(r.score * 100 / PawnUnit)) << depthLines[i];
            }
            EXPECT_EQ(WordsAfter(depthLines[i], "seldepth").at(0), std::to_string(r.selDepth))
                << depthLines[i];
            EXPECT_EQ(WordsAfter(depthLines[i], "hashfull").at(0), std::to_string(r.hashFull))
                << depthLines[i];
            std::vector<std::string> line;
            for (int m = 0; m < r.pv.legal; m++) line.push_back(MoveText(r.pv.moves[m]));
            EXPECT_EQ(WordsAfter(depthLines[i], "pv"), line) << depthLines[i];
        }
        if (c.mate != 0) {
            ASSERT_FALSE(depthLines.empty());
            EXPECT_NE(depthLines.back().find(" mate " + std::to_string(c.mate) + " "),
                      std::string::npos)
                << depthLines.back();
        }
        EXPECT_EQ(lines.back(), BestMoveLine(answer)) << c.fen;
    }
}

}  // namespace
