#pragma once
// A slow, obvious statement of the rules of Xiangqi, written without the
// engine's lookup tables: walks the board square by square. Tests compare
// the fast generators and attack tests against it.

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "position/position.h"
#include "support/fen_text.h"

struct RefMove {
    uint32_t from, to;
    bool operator==(const RefMove& o) const { return from == o.from && to == o.to; }
    bool operator<(const RefMove& o) const { return from != o.from ? from < o.from : to < o.to; }
};

// Whether the piece on `from` may move to `to` by its own rules (own king's
// safety not considered).
bool RefCanMove(const Position& pos, uint32_t from, uint32_t to);
// Every move of the side to move that obeys the piece rules.
std::vector<RefMove> RefPseudoLegalMoves(const Position& pos);
// Whether `side`'s king is attacked, facing kings included.
bool RefKingAttacked(const Position& pos, uint32_t side);
// Pseudo-legal moves that leave the mover's king safe (played on a copy).
std::vector<RefMove> RefLegalMoves(const Position& pos);
uint64_t RefPerft(const Position& pos, int depth);

// Checks every incremental field of the position against a recomputation;
// returns an empty string when all agree, else what differs.
std::string CheckInvariants(const Position& pos);

// Plays `plies` random legal moves (fewer if the game ends) from the current
// position, using the engine's MakeMove.
void PlayRandomGame(Position& pos, int plies, std::mt19937& rng);

// The moves of a list that MakeMove accepts, in the list's order.
std::vector<RefMove> MovesMakeMoveAccepts(Position& pos, const MoveRecord* list, int n);
// The engine's legal moves (GenerateAll filtered by MakeMove), sorted.
std::vector<RefMove> EngineLegalMoves(Position& pos);

// A position in static storage (a Position is too large for a test's stack).
Position& ScratchPosition(int index = 0);

// Squares of the pieces that attack `side`'s king; the opposing king's square
// is included when the kings face each other.
std::vector<uint32_t> RefAttackers(const Position& pos, uint32_t side);

// The board after from -> to, with the other side to move, in `out` (only
// Board and SideToMove are written: enough for the reference rules).
void RefPlay(const Position& pos, uint32_t from, uint32_t to, Position& out);

// Whether from -> to fits the pattern of the piece on `from` on an empty board
// (king and advisor steps, bishop and knight jumps, a rook or cannon line, a
// pawn's forward or sideways step), whatever the other pieces. Every piece
// has at most as many such targets as the move-count bounds allow for it.
bool FitsPiecePattern(const Position& pos, uint32_t from, uint32_t to);

// Whether the piece of FEN letter `letter` can stand on (file, row) in some
// game: the squares its moves reach on an empty board from where it starts.
bool RefCanStandOn(char letter, int file, int row);

// Loads a random placement: each piece of both sides is on the board with
// probability `density`, on any free square where some game can bring it.
// False when LoadFen refuses it: the loader and RefCanStandOn disagree.
bool LoadRandomPlacement(Position& pos, std::mt19937& rng, double density);

inline Move RefMoveCode(const RefMove& m) {
    return MoveCode(m.from, m.to);
}
