#include "fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "position/random.h"
#include "position/tables.h"
#include "support/fen_text.h"
#include "support/reference_rules.h"

void PrepareFuzzing() {
    static bool prepared = false;
    if (prepared) return;
    prepared = true;
    SeedRandom(20261207);
    InitTables();
    std::fflush(stdout);
    const int sink = open("/dev/null", O_WRONLY);
    if (sink >= 0) {
        dup2(sink, STDOUT_FILENO);
        close(sink);
    }
}

std::string TextOf(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    const size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    return text;
}

void FuzzFailure(const char* message, const Position& pos, const std::string& context) {
    std::fprintf(stderr, "\n*** %s\n    position: %s (MoveCount %u, Ply %u)\n    %s\n", message,
                 FenOfPosition(pos).c_str(), pos.MoveCount, pos.Ply, context.c_str());
    std::abort();
}

void RequireInvariants(const Position& pos, const char* step) {
    if (pos.MoveCount >= uint32_t(CheckersStackSize) || pos.Ply > pos.MoveCount)
        FuzzFailure("stack counters out of range", pos, step);
    const std::string errors = CheckInvariants(pos);
    if (!errors.empty()) FuzzFailure("invariants broken", pos, std::string(step) + ": " + errors);
}

bool IsGenerated(const Position& pos, Move move) {
    MoveRecord list[MaxGeneratedMoves + 1];
    const int count = GenerateAll(pos, list);
    for (int i = 0; i < count; i++)
        if (MoveOf(list[i]) == move) return true;
    return false;
}

bool IsLegalMove(Position& pos, Move move) {
    const uint32_t from = MoveFrom(move), to = MoveTo(move);
    if (from >= uint32_t(BoardSquares) || to >= uint32_t(BoardSquares)) return false;
    if (!SquareOnBoard[from] || !SquareOnBoard[to]) return false;
    const uint32_t piece = pos.Board[from], victim = pos.Board[to];
    if (piece == 0 || SideOfPiece(piece) != pos.SideToMove) return false;
    if (victim != 0 && SideOfPiece(victim) == pos.SideToMove) return false;
    MoveRecord record = RecordOfMove(pos, move);
    if (PlacementIsReachable(pos) && (!IsPseudoLegal(pos, record) || !IsGenerated(pos, move)))
        return false;
    if (!MakeMove(record, pos)) return false;
    UnmakeMove(pos);
    return true;
}

namespace {

struct Spot {
    int file, rank;  // rank counted from the side's own back row
};
const Spot AdvisorSpots[] = {{3, 0}, {5, 0}, {4, 1}, {3, 2}, {5, 2}};
const Spot BishopSpots[] = {{2, 0}, {6, 0}, {0, 2}, {4, 2}, {8, 2}, {2, 4}, {6, 4}};

template <size_t N>
bool OnSpot(const Spot (&spots)[N], int file, int rank) {
    for (const Spot& s : spots)
        if (s.file == file && s.rank == rank) return true;
    return false;
}

}  // namespace

bool PlacementIsReachable(const Position& pos) {
    for (uint32_t piece = 16; piece < 48; piece++) {
        const uint32_t square = pos.PieceSquare[piece];
        if (square == 0) continue;
        const int file = FileOfSquare[square];
        const int rank = SideOfPiece(piece) == Red ? 9 - RowOfSquare[square] : RowOfSquare[square];
        const uint32_t offset = OffsetOfPiece(piece);
        bool fits = true;
        if (offset == KingOffset) {
            fits = file >= 3 && file <= 5 && rank <= 2;
        } else if (offset < BishopOffset) {
            fits = OnSpot(AdvisorSpots, file, rank);
        } else if (offset < KnightOffset) {
            fits = OnSpot(BishopSpots, file, rank);
        } else if (offset >= PawnOffset) {
            fits = rank >= 5 || (rank >= 3 && file % 2 == 0);
        }
        if (!fits) return false;
    }
    return true;
}

bool PositionIsReachable(const Position& pos) {
    return PlacementIsReachable(pos) && pos.PieceSquare[RedKing] != 0 &&
           pos.PieceSquare[BlackKing] != 0 && !RefKingAttacked(pos, pos.SideToMove ^ 1);
}
