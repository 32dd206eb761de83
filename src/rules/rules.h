#pragma once
// How a game of xiangqi ends besides mate: repeated positions judged by who
// checks or chases throughout, and long stretches without a capture. Pure
// functions over a board and the moves that led to it; the board may be
// changed while they look ahead, and is always left as it was.
//
// The rulings here are a simplification of the tournament rules:
// - a cycle is judged as a whole: a side that checks in some moves and chases
//   in the others (one check, one chase) is neither a perpetual checker nor a
//   perpetual chaser, so the cycle is a draw where tournaments forbid it;
// - a side that chases different pieces in turn chases no one piece
//   throughout, so that is allowed too;
// - a piece is chased only by a capture it could make at once: threats of a
//   mate or of a capture after a check, and "chases" by the king or pawns,
//   are not judged;
// - a protected piece counts as protected whatever the exchange would win,
//   except where the table of always-counting attacks says so (a horse or
//   cannon on a rook, an advisor or elephant on a rook, horse or cannon).
// A stricter rule set is another RuleSet value and, where it needs more than
// the tables, another field read by the functions below.

#include <cstdint>

#include "position/position.h"

enum Ruling : uint8_t { RulingNone, RulingDraw, RulingRedLoses, RulingBlackLoses };

inline Ruling LossFor(uint32_t side) {
    return side == Red ? RulingRedLoses : RulingBlackLoses;
}
// "none", "draw", "red loses", "black loses".
const char* RulingText(Ruling ruling);

// Kinds within a side, as the piece offsets group them.
enum PieceType : uint8_t {
    KingType,
    AdvisorType,
    BishopType,
    KnightType,
    RookType,
    CannonType,
    PawnType,
    PieceTypes
};
inline PieceType TypeOfPiece(uint32_t piece) {
    return PieceType(PieceKind[piece] % 7);
}

struct RuleSet {
    // Types whose captures can chase, and types that can be chased (a pawn
    // only once it has crossed the river, unless uncrossedPawnsChased).
    bool chaser[PieceTypes];
    bool chased[PieceTypes];
    bool uncrossedPawnsChased;
    // [attacker][target]: the attack counts even when the target is protected.
    bool chasesProtected[PieceTypes][PieceTypes];
    // An attack on a piece of the attacker's own type that could capture the
    // attacker back is mutual, and no chase.
    bool mutualAttacksExempt;
    uint32_t repetitionsToEnd;  // the occurrence of a position that ends the game
    uint32_t quietPlyLimit;     // plies without a capture that draw
    uint32_t countedChecks;     // each side's checks in such a stretch that count
};

// The rules described above: third occurrence, 120 plies, ten checks.
extern const RuleSet StandardRules;

// The moves of a game as the rules read them: moves[i] is the i-th move
// (1..count) as MakeMove filled it (captured, givesCheck), keys[i] the key of
// the position after it, keys[0] the start's. A record whose from square is 0
// (the start, a null move) ends every look back, as a capture does. The
// engine's own stacks (MoveStack, KeyStack, MoveCount) have this layout.
struct GameHistory {
    const MoveRecord* moves;
    const uint64_t* keys;
    uint32_t count;
};
constexpr uint32_t NoRepetition = UINT32_MAX;

// Chases (chase.cpp). Piece numbers stay with the pieces, so a set of
// chased pieces is a mask of piece numbers (bit p for piece p).
//
// The other side's pieces that `side` attacks in a way that counts, as if it
// were `side`'s move: the capture is legal (so a pinned piece attacks only
// what frees it), and either the rule set counts the pair always or the
// other side could not legally take back on that square. Same-type attacks
// that could be answered by capturing the attacker do not count.
uint64_t CountingAttacks(Position& board, uint32_t side, const RuleSet& rules);
// The pieces the side to move newly chases by playing `m` (legal, on
// `board`): attacked after it and not before. A move that gives check
// chases nothing.
uint64_t ChaseSet(Position& board, Move m, const RuleSet& rules);
// Whether the side not to move on `board` attacks the king of the side to
// move, facing kings included: after a move, whether it gave check.
bool GaveCheck(const Position& board);

// Repetitions (repetition.cpp). `board` is the position after all of the
// history's moves.
//
// The position `occurrences` occurrences back (the current one counted) of
// the current position, as an index into the history, when it occurred that
// often since the last capture; NoRepetition otherwise.
uint32_t RepetitionStart(const GameHistory& history, uint32_t occurrences);
// The ruling on the moves first + 1 .. count, which lead from a position back
// to itself: a side all of whose moves give check loses unless both do; then
// a side that newly chases one same piece in every move loses unless both do.
Ruling JudgeCycle(Position& board, const GameHistory& history, uint32_t first,
                  const RuleSet& rules);

// Plies without a capture (quiet_count.cpp): the stretch since the last
// capture, leaving out each side's checks beyond rules.countedChecks and the
// replies to them. `sideToMove` is the side to move after the last move.
uint32_t QuietPlies(const GameHistory& history, uint32_t sideToMove, const RuleSet& rules);

// Whether the game is over after its last move (game_end.cpp): the side to
// move loses without a legal move (mate or stalemate); a position occurring
// for the rules' last time ends it with the cycle's ruling; a quiet stretch
// of the limit's length is a draw. RulingNone: play on.
Ruling JudgeGameEnd(Position& board, const GameHistory& history, const RuleSet& rules);
// Whether the side to move has a legal move.
bool HasLegalMove(Position& board);

// A whole game in fixed arrays, for callers that keep more moves than the
// position's stacks hold (game_record.cpp).
constexpr uint32_t MaxRecordedPlies = 4096;
struct GameRecord {
    MoveRecord moves[MaxRecordedPlies + 1];
    uint64_t keys[MaxRecordedPlies + 1];
    uint32_t count;
};
// Starts the record at the position as it stands.
void StartRecord(GameRecord& game, const Position& pos);
// Plays `m` when it is legal for the side to move and the record has room,
// and records it; the position keeps only a short history of its own.
bool PlayRecordedMove(Position& pos, GameRecord& game, Move m);
inline GameHistory HistoryOf(const GameRecord& game) {
    return GameHistory{game.moves, game.keys, game.count};
}
