// The openings file, and the PGN of a finished game.

#include <fstream>
#include <memory>
#include <sstream>

#include "support/match/match.h"

bool OpeningIsLegal(const Opening& opening) {
    std::unique_ptr<Position> pos(new Position);
    std::unique_ptr<GameRecord> game(new GameRecord);
    LoadFen(opening.fen.empty() ? StartFen : opening.fen.c_str(), *pos);
    StartRecord(*game, *pos);
    for (const std::string& text : opening.moves) {
        const Move m = MoveFromEngine(text, RanksFromZero);
        if (m == 0 || !PlayRecordedMove(*pos, *game, m)) return false;
    }
    return true;
}

bool ReadOpenings(const std::string& path, std::vector<Opening>& openings, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); number++) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string word;
        if (!(words >> word) || word[0] == '#') continue;
        Opening opening;
        if (word.find('/') != std::string::npos) {
            opening.fen = word;
            while (words >> word && word != "moves") opening.fen += " " + word;
            if (word == "moves")
                while (words >> word) opening.moves.push_back(word);
        } else {
            do opening.moves.push_back(word);
            while (words >> word);
        }
        if (!OpeningIsLegal(opening)) {
            error = path + ":" + std::to_string(number) + ": an illegal move";
            return false;
        }
        openings.push_back(opening);
    }
    if (openings.empty()) error = path + ": no openings";
    return !openings.empty();
}

std::string PgnOfGame(const GameResult& game, const std::string& red, const std::string& black,
                      int round) {
    const char* result = game.outcome == RedWins     ? "1-0"
                         : game.outcome == BlackWins ? "0-1"
                                                     : "1/2-1/2";
    std::string text = "[Event \"Quillon match\"]\n[Round \"" + std::to_string(round) +
                       "\"]\n[Red \"" + red + "\"]\n[Black \"" + black + "\"]\n[Result \"" +
                       result + "\"]\n[FEN \"" + game.startFen + "\"]\n[Termination \"" +
                       game.termination + "\"]\n[PlyCount \"" + std::to_string(game.moves.size()) +
                       "\"]\n\n";
    size_t column = 0;
    for (size_t i = 0; i < game.moves.size(); i++) {
        std::string word = (i % 2 == 0 ? std::to_string(i / 2 + 1) + ". " : "") + game.moves[i];
        if (column + word.size() > 79) {
            text += "\n";
            column = 0;
        } else if (column > 0) {
            text += " ";
            column++;
        }
        text += word;
        column += word.size();
    }
    text += std::string(column ? " " : "") + "{" + game.termination + "} " + result + "\n\n";
    return text;
}
