// InitTables: the step lists, the line tables, the Zobrist keys and the
// placement values, built once at start-up.

#include "position/tables.h"

#include "position/piece_values.h"
#include "position/random.h"

uint8_t KingMoves[182][8];
uint8_t AdvisorMoves[182][8];
uint8_t BishopMoves[182][8];
uint8_t KnightMoves[182][12];
uint8_t PawnMoves[182][2][4];

uint8_t FileFirstPiece[10][1024][2];
uint8_t FileSecondPiece[10][1024][2];
uint8_t FileThirdPiece[10][1024][2];
uint8_t FileSlideEnd[10][1024][2];
uint8_t RowFirstPiece[9][512][2];
uint8_t RowSecondPiece[9][512][2];
uint8_t RowThirdPiece[9][512][2];
uint8_t RowSlideEnd[9][512][2];

uint16_t FileEmptyMask[10][1024];
uint16_t FileRookCaptureMask[10][1024];
uint16_t FileCannonCaptureMask[10][1024];
uint16_t FileThirdPieceMask[10][1024];
uint16_t RowEmptyMask[9][512];
uint16_t RowRookCaptureMask[9][512];
uint16_t RowCannonCaptureMask[9][512];
uint16_t RowThirdPieceMask[9][512];
uint8_t FileEmptyCount[10][1024];
uint8_t RowEmptyCount[9][512];

uint8_t PalaceSlot[182];
uint8_t KingWaysFrom[18][182];
uint8_t KingWaysTo[18][182];
uint8_t BoardIndex[256];

uint64_t ZobristPiece[14][182];
uint64_t ZobristSide;
int32_t PieceSquareValue[14][182];
uint32_t BitCount16[65536];

namespace {

bool Built = false;

// Keeps every target of `steps` from s that `keep` accepts, 0-terminated.
template <int N, typename Keep>
void BuildStepList(uint8_t (&list)[N], uint32_t s, const int32_t* steps, int stepCount, Keep keep) {
    int n = 0;
    for (int i = 0; i < stepCount; i++) {
        const uint32_t t = uint32_t(int32_t(s) + steps[i]);
        if (keep(t)) list[n++] = uint8_t(t);
    }
    list[n] = 0;
}

void BuildStepLists() {
    for (uint32_t s = 0; s < 182; s++) {
        for (auto& e : KingMoves[s]) e = 0;
        for (auto& e : AdvisorMoves[s]) e = 0;
        for (auto& e : BishopMoves[s]) e = 0;
        for (auto& e : KnightMoves[s]) e = 0;
        for (auto& side : PawnMoves[s])
            for (auto& e : side) e = 0;
    }
    auto inPalace = [](uint32_t t) { return SquareInPalace[t] != 0; };
    for (uint32_t s = 0; s < 182; s++) {
        if (!SquareInPalace[s]) continue;
        BuildStepList(KingMoves[s], s, KingSteps, 4, inPalace);
    }
    for (uint32_t s = 0; s < 182; s++) {
        if (!SquareInPalace[s]) continue;
        BuildStepList(AdvisorMoves[s], s, AdvisorSteps, 4, inPalace);
    }
    for (uint32_t s = 0; s < 182; s++) {
        if (!SquareOnBoard[s]) continue;
        const bool blackHalf = SquareInBlackHalf[s] != 0;
        // A bishop never crosses the river.
        BuildStepList(BishopMoves[s], s, BishopSteps, 4, [blackHalf](uint32_t t) {
            return SquareOnBoard[t] && (SquareInBlackHalf[t] != 0) == blackHalf;
        });
    }
    for (uint32_t s = 0; s < 182; s++) {
        if (!SquareOnBoard[s]) continue;
        BuildStepList(KnightMoves[s], s, KnightSteps, 8,
                      [](uint32_t t) { return SquareOnBoard[t] != 0; });
    }
}

void BuildPawnMoves() {
    for (uint32_t s = 0; s < 182; s++) {
        if (!SquareOnBoard[s]) continue;
        auto onBoard = [](uint32_t t) { return SquareOnBoard[t] != 0; };
        static const int32_t forwardOnly[2][1] = {{-13}, {13}};
        static const int32_t crossed[2][3] = {{-13, 1, -1}, {13, 1, -1}};
        // Red has crossed the river in black's half, black outside it.
        const bool redCrossed = SquareInBlackHalf[s] != 0;
        BuildStepList(PawnMoves[s][0], s, redCrossed ? crossed[0] : forwardOnly[0],
                      redCrossed ? 3 : 1, onBoard);
        BuildStepList(PawnMoves[s][1], s, !redCrossed ? crossed[1] : forwardOnly[1],
                      !redCrossed ? 3 : 1, onBoard);
    }
}

// One line of `length` squares: the first, second and third piece and the
// slide end from position p in direction dir (0 toward index 0, 1 away).
struct LineWalk {
    uint32_t first, second, third, slideEnd;  // index + 1, 0 for none
    uint32_t emptyBits;                       // slide squares, as index bits
};

LineWalk WalkLine(int length, int p, uint32_t occ, int dir) {
    LineWalk w{0, 0, 0, 0, 0};
    const int step = dir == 0 ? -1 : 1;
    int found = 0;
    for (int i = p + step; i >= 0 && i < length; i += step) {
        if (occ & (1u << i)) {
            found++;
            if (found == 1) w.first = i + 1;
            if (found == 2) w.second = i + 1;
            if (found == 3) {
                w.third = i + 1;
                break;
            }
        } else if (found == 0) {
            w.slideEnd = i + 1;
            w.emptyBits |= 1u << i;
        }
    }
    return w;
}

// A row occupancy word has bit 8 - f for file f; the walk works on plain
// file bits, so rows are mirrored on the way in and out.
uint32_t MirrorRowBits(uint32_t bits) {
    uint32_t m = 0;
    for (int f = 0; f < 9; f++)
        if (bits & (1u << (8 - f))) m |= 1u << f;
    return m;
}

void BuildFileTables() {
    for (int row = 0; row < 10; row++)
        for (uint32_t occ = 0; occ < 1024; occ++)
            for (int dir = 0; dir < 2; dir++) {
                const LineWalk w = WalkLine(10, row, occ, dir);
                FileFirstPiece[row][occ][dir] = w.first;
                FileSecondPiece[row][occ][dir] = w.second;
                FileThirdPiece[row][occ][dir] = w.third;
                FileSlideEnd[row][occ][dir] = w.slideEnd;
            }
}

void BuildRowTables() {
    for (int file = 0; file < 9; file++)
        for (uint32_t occ = 0; occ < 512; occ++)
            for (int dir = 0; dir < 2; dir++) {
                const LineWalk w = WalkLine(9, file, MirrorRowBits(occ), dir);
                RowFirstPiece[file][occ][dir] = w.first;
                RowSecondPiece[file][occ][dir] = w.second;
                RowThirdPiece[file][occ][dir] = w.third;
                RowSlideEnd[file][occ][dir] = w.slideEnd;
            }
}

void BuildLineMasks() {
    for (int row = 0; row < 10; row++)
        for (uint32_t occ = 0; occ < 1024; occ++) {
            uint32_t empty = 0, rook = 0, cannon = 0, third = 0;
            for (int dir = 0; dir < 2; dir++) {
                const LineWalk w = WalkLine(10, row, occ, dir);
                empty |= w.emptyBits;
                if (w.first) rook |= 1u << (w.first - 1);
                if (w.second) cannon |= 1u << (w.second - 1);
                if (w.third) third |= 1u << (w.third - 1);
            }
            FileEmptyMask[row][occ] = uint16_t(empty);
            FileEmptyCount[row][occ] = uint8_t(__builtin_popcount(empty));
            FileRookCaptureMask[row][occ] = uint16_t(rook);
            FileCannonCaptureMask[row][occ] = uint16_t(cannon);
            FileThirdPieceMask[row][occ] = uint16_t(third);
        }
    for (int file = 0; file < 9; file++)
        for (uint32_t occ = 0; occ < 512; occ++) {
            uint32_t empty = 0, rook = 0, cannon = 0, third = 0;
            for (int dir = 0; dir < 2; dir++) {
                const LineWalk w = WalkLine(9, file, MirrorRowBits(occ), dir);
                empty |= w.emptyBits;
                if (w.first) rook |= 1u << (w.first - 1);
                if (w.second) cannon |= 1u << (w.second - 1);
                if (w.third) third |= 1u << (w.third - 1);
            }
            RowEmptyMask[file][occ] = uint16_t(MirrorRowBits(empty));
            RowEmptyCount[file][occ] = uint8_t(__builtin_popcount(empty));
            RowRookCaptureMask[file][occ] = uint16_t(MirrorRowBits(rook));
            RowCannonCaptureMask[file][occ] = uint16_t(MirrorRowBits(cannon));
            RowThirdPieceMask[file][occ] = uint16_t(MirrorRowBits(third));
        }
}

// Five 15-bit draws make one 64-bit key; bits shifted past bit 63 are lost.
uint64_t RandomKey() {
    uint64_t k = Random15();
    for (int i = 0; i < 4; i++) k = (k << 15) ^ Random15();
    return k;
}

void BuildZobristKeys() {
    for (int kind = 0; kind < 14; kind++)
        for (int s = 0; s < 182; s++) ZobristPiece[kind][s] = RandomKey();
    ZobristSide = RandomKey();
}

void BuildPieceSquareValues() {
    for (uint32_t kind = 0; kind < 14; kind++)
        for (uint32_t s = 0; s < 182; s++)
            PieceSquareValue[kind][s] =
                SquareOnBoard[s] ? PlacementValue(kind, FileOfSquare[s], RowOfSquare[s]) : 0;
}

void BuildKingWays() {
    uint32_t slot = 0;
    for (uint32_t king = 0; king < 182; king++) {
        PalaceSlot[king] = 255;
        if (!SquareInPalace[king]) continue;
        PalaceSlot[king] = uint8_t(slot);
        for (uint32_t s = 0; s < 182; s++) {
            const int32_t d = int32_t(s) - int32_t(king);
            uint32_t ways = 0;
            if (FileOfSquare[s] == FileOfSquare[king]) ways |= AlongFile;
            if (RowOfSquare[s] == RowOfSquare[king]) ways |= AlongRow;
            KingWaysTo[slot][s] = uint8_t(ways);
            if (d == 12 || d == 14 || d == -12 || d == -14) ways |= ByKnight;
            KingWaysFrom[slot][s] = uint8_t(ways);
        }
        slot++;
    }
}

void BuildBoardIndex() {
    for (uint32_t s = 0; s < 256; s++)
        BoardIndex[s] =
            s < 182 && SquareOnBoard[s] ? uint8_t(9 * RowOfSquare[s] + FileOfSquare[s]) : 0;
}

void BuildBitCount() {
    for (uint32_t i = 0; i < 65536; i++) BitCount16[i] = uint32_t(__builtin_popcount(i));
}

}  // namespace

void InitTables() {
    BuildStepLists();
    // The line tables in one pass each: the second and third pieces come from
    // the same walk as the first, which is what chaining the first-piece
    // tables would give.
    BuildFileTables();
    BuildRowTables();
    BuildPawnMoves();
    BuildLineMasks();
    BuildZobristKeys();
    BuildPieceSquareValues();
    BuildKingWays();
    BuildBitCount();
    BuildBoardIndex();
    Built = true;
}

void EnsureTables() {
    if (!Built) InitTables();
}

bool TablesBuilt() {
    return Built;
}
