// Positions for the tuner: each game replayed on the engine's position, its
// quiet positions kept with the game's result.

#include <cstdlib>

#include "eval/eval.h"
#include "tune/tune.h"

namespace {

constexpr int32_t Infinite = 32000;
// Deep enough for any exchange the games leave on the board; the position's
// stacks have room for it.
constexpr int MaxCaptureDepth = 16;

int32_t CaptureSearch(Position& pos, int32_t alpha, int32_t beta, int depth) {
    const int32_t standPat = Evaluate(pos);
    if (standPat >= beta || depth == 0) return standPat;
    if (standPat > alpha) alpha = standPat;
    int32_t best = standPat;
    MoveRecord list[MaxGeneratedCaptures];
    const int count = GenerateCaptures(pos, list);
    for (int i = 0; i < count; i++) {
        if (!MakeMove(list[i], pos)) continue;
        const int32_t score = -CaptureSearch(pos, -beta, -alpha, depth - 1);
        UnmakeMove(pos);
        if (score > best) best = score;
        if (score > alpha) alpha = score;
        if (alpha >= beta) break;
    }
    return best;
}

}  // namespace

bool IsQuietPosition(Position& pos) {
    if (SideToMoveInCheck(pos)) return false;
    return CaptureSearch(pos, -Infinite, Infinite, MaxCaptureDepth) == Evaluate(pos);
}

void AddSample(const Position& pos, double redScore, TrainingSet& set) {
    FeatureVector features;
    ModernFeatures(pos, features);
    Sample sample{uint32_t(set.features.size()), 0, float(redScore)};
    for (int i = 0; i < ModernWeightCount; i++) {
        if (features.coefficient[i] == 0) continue;
        set.features.push_back({uint16_t(i), int16_t(features.coefficient[i])});
        sample.featureCount++;
    }
    set.samples.push_back(sample);
}

bool AddGame(const PgnGame& game, const SelectionRules& rules, TrainingSet& set,
             std::string& error) {
    // A Position is too large for the stack.
    static Position pos;
    if (!LoadFen(game.fen.empty() ? StartFen : game.fen.c_str(), pos)) {
        error = "game at line " + std::to_string(game.firstLine) + ": bad FEN " + game.fen;
        return false;
    }
    TrainingSet added;
    for (size_t ply = 0;; ply++) {
        if (int(ply) >= rules.skipPlies) {
            if (std::abs(Evaluate(pos)) >= rules.decidedMargin) break;
            if (IsQuietPosition(pos)) AddSample(pos, game.redScore, added);
        }
        if (ply == game.moves.size()) break;
        MoveRecord record = ParseMoveString(game.moves[ply].c_str());
        if (!PlayGameMove(pos, record)) {
            error = "game at line " + std::to_string(game.firstLine) + ": illegal move " +
                    game.moves[ply] + " at ply " + std::to_string(ply + 1);
            return false;
        }
    }
    const uint32_t base = uint32_t(set.features.size());
    for (Sample sample : added.samples) {
        sample.firstFeature += base;
        set.samples.push_back(sample);
    }
    set.features.insert(set.features.end(), added.features.begin(), added.features.end());
    return true;
}
