// The book is keyed by the FEN text of each position, not by the engine's
// hash keys: they are random per run, the text is not, so the output is the
// same on every run and transpositions still meet in one entry.

#include "support/book_maker.h"

#include <map>
#include <vector>

#include "book/book.h"
#include "support/fen_text.h"

namespace {

struct BookMoveEntry {
    std::string text;  // "h2e2"
    uint32_t weight;
    int weightLine;  // where the weight was written; 0 = the default
};

struct BookPosition {
    std::string fen;
    std::vector<BookMoveEntry> moves;  // in order of first appearance
};

struct Maker {
    std::string source;
    std::vector<BookPosition> positions;
    std::map<std::string, size_t> indexOfFen;
    std::string error;

    bool Fail(int line, const std::string& what) {
        error = source + ":" + std::to_string(line) + ": " + what;
        return false;
    }
};

Position ReplayPosition;

bool IsMoveText(const std::string& t) {
    return t.size() == 4 && t[0] >= 'a' && t[0] <= 'i' && t[1] >= '0' && t[1] <= '9' &&
           t[2] >= 'a' && t[2] <= 'i' && t[3] >= '0' && t[3] <= '9';
}

// "h2e2" or "h2e2:30"; false when the token is neither.
bool SplitToken(const std::string& token, std::string& move, int& weight) {
    move = token.substr(0, 4);
    weight = -1;
    if (token.size() == 4) return IsMoveText(move);
    if (token.size() < 6 || token.size() > 10 || token[4] != ':') return false;
    uint32_t value = 0;
    for (size_t i = 5; i < token.size(); i++) {
        if (token[i] < '0' || token[i] > '9') return false;
        value = value * 10 + uint32_t(token[i] - '0');
    }
    if (value > MaxBookWeight) return false;
    weight = int(value);
    return IsMoveText(move);
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) i++;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') i++;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// Records a move of the position `fen`, once, with its weight (-1: none given).
bool NoteMove(Maker& maker, int line, const std::string& fen, const std::string& move, int weight) {
    auto found = maker.indexOfFen.find(fen);
    if (found == maker.indexOfFen.end()) {
        found = maker.indexOfFen.emplace(fen, maker.positions.size()).first;
        maker.positions.push_back(BookPosition{fen, {}});
    }
    BookPosition& position = maker.positions[found->second];
    for (BookMoveEntry& entry : position.moves) {
        if (entry.text != move) continue;
        if (weight < 0) return true;
        if (entry.weightLine && entry.weight != uint32_t(weight))
            return maker.Fail(line, "weight " + std::to_string(weight) + " of " + move +
                                        " differs from " + std::to_string(entry.weight) +
                                        " given on line " + std::to_string(entry.weightLine));
        entry.weight = uint32_t(weight);
        entry.weightLine = line;
        return true;
    }
    if (position.moves.size() >= size_t(BookMovesPerSlot))
        return maker.Fail(line, "more than " + std::to_string(BookMovesPerSlot) +
                                    " book moves with " + move + " in " + fen);
    position.moves.push_back(
        BookMoveEntry{move, weight < 0 ? uint32_t(DefaultRepertoireWeight) : uint32_t(weight),
                      weight < 0 ? 0 : line});
    return true;
}

bool ReplayRow(Maker& maker, int line, const std::vector<std::string>& tokens) {
    LoadFen(StartFen, ReplayPosition);
    for (size_t i = 0; i < tokens.size(); i++) {
        std::string move;
        int weight;
        const std::string where = " (move " + std::to_string(i + 1) + " of the row)";
        if (!SplitToken(tokens[i], move, weight))
            return maker.Fail(line, "malformed move '" + tokens[i] + "'" + where);
        if (ReplayPosition.MoveCount + 1 >= MaxGameHistory)
            return maker.Fail(line, "row too long" + where);
        const std::string fen = FenOfPosition(ReplayPosition);
        MoveRecord record = ParseMoveString(move.c_str());
        if (!IsPseudoLegal(ReplayPosition, record) || !MakeMove(record, ReplayPosition))
            return maker.Fail(line, "illegal move " + move + where + " in " + fen);
        if (!NoteMove(maker, line, fen, move, weight)) return false;
    }
    return true;
}

}  // namespace

bool MakeBookText(const std::string& repertoire, const std::string& sourceName, std::string& book,
                  std::string& error, BookStats& stats) {
    Maker maker;
    maker.source = sourceName;
    book.clear();
    error.clear();
    stats = BookStats{0, 0, 0, 0, 0};

    size_t start = 0;
    for (int line = 1; start < repertoire.size(); line++) {
        size_t end = repertoire.find('\n', start);
        if (end == std::string::npos) end = repertoire.size();
        std::string text = repertoire.substr(start, end - start);
        start = end + 1;
        const size_t comment = text.find('#');
        if (comment != std::string::npos) text.erase(comment);
        if (!text.empty() && text.back() == '\r') text.pop_back();
        const std::vector<std::string> tokens = Words(text);
        if (tokens.empty()) continue;
        if (!ReplayRow(maker, line, tokens)) {
            error = maker.error;
            return false;
        }
        stats.rows++;
    }

    for (const BookPosition& position : maker.positions) {
        for (const BookMoveEntry& entry : position.moves) {
            const std::string text =
                entry.text + " " + std::to_string(entry.weight) + " " + position.fen;
            if (text.size() > size_t(MaxBookLineChars)) {
                error = sourceName + ": book line of " + std::to_string(text.size()) +
                        " characters (at most " + std::to_string(MaxBookLineChars) + "): " + text;
                book.clear();
                return false;
            }
            book += text + "\n";
            stats.lines++;
            if (int(text.size()) > stats.longestLine) stats.longestLine = int(text.size());
        }
        stats.positions++;
        if (int(position.moves.size()) > stats.maxMoves)
            stats.maxMoves = int(position.moves.size());
    }
    return true;
}
