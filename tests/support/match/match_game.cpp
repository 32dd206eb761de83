// One game: the referee's position, the clocks, and the engines' moves.

#include <memory>

#include "support/fen_text.h"
#include "support/match/match.h"
#include "support/match/match_engine.h"

namespace {

const char* const SideNames[2] = {"red", "black"};

GameOutcome LossOf(uint32_t side) {
    return side == Red ? BlackWins : RedWins;
}

// Why the rules ended the game, for the log.
std::string RulingReason(Position& pos, const GameRecord& game, Ruling ruling) {
    const std::string side = SideNames[pos.SideToMove];
    if (!HasLegalMove(pos)) return side + (SideToMoveInCheck(pos) ? " is mated" : " is stalemated");
    if (RepetitionStart(HistoryOf(game), StandardRules.repetitionsToEnd) != NoRepetition) {
        if (ruling == RulingDraw) return "repetition, draw";
        return std::string("repetition: ") + RulingText(ruling) + " (perpetual check or chase)";
    }
    return "120 plies without a capture";
}

struct Referee {
    std::unique_ptr<Position> pos{new Position};
    std::unique_ptr<GameRecord> game{new GameRecord};
    std::string startFen;
    std::string sinceCaptureFen;  // the position after the last capture
    uint32_t sinceCapture = 0;    // its index in the record
    std::vector<Move> moves;
};

std::string PositionLine(const Referee& ref, const EngineSettings& settings) {
    // UCCI front ends send the moves since the last capture; UCI the game.
    const bool whole = settings.uci;
    std::string line = "position fen " + (whole ? ref.startFen : ref.sinceCaptureFen);
    const uint32_t first = whole ? 0 : ref.sinceCapture;
    if (first < ref.moves.size()) {
        line += " moves";
        for (size_t i = first; i < ref.moves.size(); i++)
            line += " " + MoveToEngine(ref.moves[i], settings.ranks);
    }
    return line;
}

std::string GoLine(const MatchSettings& s, const EngineSettings& settings, uint32_t side,
                   const int64_t clocks[2]) {
    if (s.depth > 0) return "go depth " + std::to_string(s.depth);
    if (s.nodes > 0) return "go nodes " + std::to_string(s.nodes);
    const std::string inc = std::to_string(s.incrementMs);
    const int64_t own = clocks[side] > 1 ? clocks[side] : 1;
    const int64_t other = clocks[side ^ 1] > 1 ? clocks[side ^ 1] : 1;
    if (settings.uci) {
        const int64_t red = side == Red ? own : other, black = side == Red ? other : own;
        return "go wtime " + std::to_string(red) + " btime " + std::to_string(black) + " winc " +
               inc + " binc " + inc;
    }
    return "go time " + std::to_string(own) + " increment " + inc + " opptime " +
           std::to_string(other) + " oppincrement " + inc;
}

bool Play(Referee& ref, Move m) {
    if (!PlayRecordedMove(*ref.pos, *ref.game, m)) return false;
    ref.moves.push_back(m);
    if (ref.game->moves[ref.game->count].captured) {
        ref.sinceCaptureFen = FenOfPosition(*ref.pos);
        ref.sinceCapture = uint32_t(ref.moves.size());
    }
    return true;
}

}  // namespace

GameResult PlayOneGame(const MatchSettings& settings, EnginePlayer* players[2],
                       const Opening& opening) {
    Referee ref;
    LoadFen(opening.fen.empty() ? StartFen : opening.fen.c_str(), *ref.pos);
    ref.startFen = FenOfPosition(*ref.pos);
    ref.sinceCaptureFen = ref.startFen;
    StartRecord(*ref.game, *ref.pos);
    GameResult result{GameDrawn, "", {}, ref.startFen};
    for (const std::string& text : opening.moves) {
        if (!Play(ref, MoveFromEngine(text, RanksFromZero))) {
            result.termination = "illegal opening move " + text;
            return result;
        }
        result.moves.push_back(text);
    }
    const bool clocked = settings.depth <= 0 && settings.nodes <= 0;
    int64_t clocks[2] = {settings.baseMs, settings.baseMs};
    for (;;) {
        Position& pos = *ref.pos;
        const Ruling ruling = JudgeGameEnd(pos, HistoryOf(*ref.game), StandardRules);
        if (ruling != RulingNone) {
            result.outcome = ruling == RulingDraw       ? GameDrawn
                             : ruling == RulingRedLoses ? BlackWins
                                                        : RedWins;
            result.termination = RulingReason(pos, *ref.game, ruling);
            return result;
        }
        if (int(ref.moves.size()) >= settings.maxPlies || ref.game->count >= MaxRecordedPlies) {
            result.termination = "ply limit";
            return result;
        }
        const uint32_t side = pos.SideToMove;
        EnginePlayer& player = *players[side];
        const std::string who = SideNames[side];
        const int64_t wait = clocked ? clocks[side] + settings.graceMs : settings.silenceMs;
        const Answer answer = AskForMove(player, PositionLine(ref, player.settings),
                                         GoLine(settings, player.settings, side, clocks), wait);
        if (answer.kind != AnswerMove) {
            result.outcome = LossOf(side);
            if (answer.kind == AnswerEnded) result.termination = who + " engine crashed";
            if (answer.kind == AnswerSilent)
                result.termination =
                    who + (clocked ? " lost on time (no answer)" : " never answered");
            if (answer.kind == AnswerNoMove) result.termination = who + " gave no move";
            // An engine that failed is not trusted with another game.
            StopEngine(player);
            return result;
        }
        if (clocked) {
            clocks[side] -= answer.elapsedMs;
            if (clocks[side] < -settings.graceMs) {
                result.outcome = LossOf(side);
                result.termination = who + " lost on time";
                return result;
            }
            clocks[side] += settings.incrementMs;
        }
        const Move m = MoveFromEngine(answer.move, player.settings.ranks);
        if (m == 0 || !Play(ref, m)) {
            result.outcome = LossOf(side);
            result.termination = who + " played an illegal move " + answer.move;
            StopEngine(player);
            return result;
        }
        result.moves.push_back(MoveToEngine(m, RanksFromZero));
    }
}
