// A reader for the match runner's PGN: tag lines, then move text of move
// numbers, coordinate moves, {comments} and the result.

#include <sstream>

#include "tune/tune.h"

namespace {

bool ParseTag(const std::string& line, std::string& name, std::string& value) {
    if (line.size() < 5 || line.front() != '[' || line.back() != ']') return false;
    const size_t space = line.find(' ');
    if (space == std::string::npos || space < 2) return false;
    const size_t open = space + 1, close = line.size() - 2;
    if (open >= close || line[open] != '"' || line[close] != '"') return false;
    name = line.substr(1, space - 1);
    value = line.substr(open + 1, close - open - 1);
    return value.find('"') == std::string::npos;
}

bool ScoreOfResult(const std::string& text, double& score) {
    if (text == "1-0")
        score = 1;
    else if (text == "0-1")
        score = 0;
    else if (text == "1/2-1/2")
        score = 0.5;
    else
        return false;
    return true;
}

bool IsMoveNumber(const std::string& word) {
    if (word.size() < 2 || word.back() != '.') return false;
    for (size_t i = 0; i + 1 < word.size(); i++)
        if (word[i] < '0' || word[i] > '9') return false;
    return true;
}

struct GameInProgress {
    PgnGame game;
    bool open = false;     // tags or moves seen
    bool inMoves = false;  // past the tags
    bool ended = false;    // the result word seen
    bool hasResultTag = false;
    double tagScore = 0;
    std::string fault;  // the first fault, with its line
};

void Finish(GameInProgress& g, std::vector<PgnGame>& games, std::vector<std::string>& errors) {
    if (!g.open) return;
    if (g.fault.empty() && !g.hasResultTag) g.fault = "no Result tag";
    if (g.fault.empty() && !g.ended) g.fault = "the move text has no result";
    if (g.fault.empty() && g.tagScore != g.game.redScore) g.fault = "the results disagree";
    if (g.fault.empty()) {
        games.push_back(g.game);
    } else {
        errors.push_back("game at line " + std::to_string(g.game.firstLine) + ": " + g.fault);
    }
    g = GameInProgress();
}

}  // namespace

std::vector<PgnGame> ReadPgn(std::istream& in, std::vector<std::string>& errors) {
    std::vector<PgnGame> games;
    GameInProgress g;
    std::string line;
    bool inComment = false;
    for (int number = 1; std::getline(in, line); number++) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const auto fail = [&](const std::string& why) {
            if (g.fault.empty()) g.fault = "line " + std::to_string(number) + ": " + why;
        };
        if (line[0] == '[' && !inComment) {
            // A tag after move text starts the next game.
            if (g.inMoves) Finish(g, games, errors);
            if (!g.open) {
                g.open = true;
                g.game.firstLine = number;
                g.game.redScore = -1;
            }
            std::string name, value;
            if (!ParseTag(line, name, value)) {
                fail("malformed tag " + line);
            } else if (name == "FEN") {
                g.game.fen = value;
            } else if (name == "Result") {
                g.hasResultTag = ScoreOfResult(value, g.tagScore);
                if (!g.hasResultTag) fail("unknown result " + value);
            }
            continue;
        }
        if (!g.open) {
            g.open = true;
            g.game.firstLine = number;
            g.game.redScore = -1;
        }
        g.inMoves = true;
        std::istringstream words(line);
        std::string word;
        while (words >> word) {
            if (inComment) {
                inComment = word.find('}') == std::string::npos;
                continue;
            }
            if (word[0] == '{') {
                inComment = word.find('}') == std::string::npos;
                continue;
            }
            if (g.ended) {
                fail("text after the result: " + word);
            } else if (ScoreOfResult(word, g.game.redScore)) {
                g.ended = true;
            } else if (IsMoveNumber(word)) {
                continue;
            } else if (IsMoveText(word.c_str())) {
                g.game.moves.push_back(word);
            } else {
                fail("not a move: " + word);
            }
        }
    }
    if (inComment && g.fault.empty()) g.fault = "a comment is not closed";
    Finish(g, games, errors);
    return games;
}
