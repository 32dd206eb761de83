// Each positional term on small boards that switch it on and off.

#include <gtest/gtest.h>

#include "eval/eval.h"
#include "support/placement.h"
#include "support/reference_rules.h"

namespace {

typedef int32_t (*Term)(const Position&, uint32_t);

struct TermCase {
    const char* pieces;
    int32_t red, black;  // points each side earns
};

void CheckTerm(Term term, const TermCase* cases, size_t count) {
    Position& pos = ScratchPosition();
    for (size_t i = 0; i < count; i++) {
        EXPECT_EQ(LoadPlacement(pos, cases[i].pieces), "");
        EXPECT_EQ(term(pos, Red), cases[i].red) << cases[i].pieces;
        EXPECT_EQ(term(pos, Black), cases[i].black) << cases[i].pieces;
    }
}

#define CHECK_TERM(term, cases) CheckTerm(term, cases, sizeof cases / sizeof cases[0])

TEST(EvalTerms, EmptyCannonBonus) {
    const TermCase cases[] = {
        // Open e-file up to the king; 60 when both its neighbours stand beside it.
        {"ke9 Kd0 Ce2 Ra0", 30, 0},
        {"ke9 ad9 af9 Kd0 Ce2 Ra0", 60, 0},
        {"ke9 ad9 Kd0 Ce2 Ra0", 30, 0},
        // No rook left: nothing, however open the file.
        {"ke9 ad9 af9 Kd0 Ce2", 0, 0},
        // Something between the cannon and the king.
        {"ke9 Kd0 Ce2 Ra0 pe6", 0, 0},
        {"ke9 Kd0 Ce2 Ra0 Pe6", 0, 0},
        // Red's cannon must stand below the black king.
        {"ke8 Ce9 Kd0 Ra0", 0, 0},
        // King on the d- and f-files: 40 with the e-square beside it taken.
        {"kd9 Cd3 Ra0 Ke0", 20, 0},
        {"kd9 ne9 Cd3 Ra0 Ke0", 40, 0},
        {"kf9 Cf4 Ra0 Ke0", 20, 0},
        {"kf9 ne9 Cf4 Ra0 Ke0", 40, 0},
        // Along the king's back row, from either side.
        {"ke9 Ca9 Ri0 Kd0", 20, 0},
        {"ke9 ae8 Ca9 Ri0 Kd0", 40, 0},
        {"ke9 ae8 Ci9 Ri0 Kd0", 40, 0},
        {"ke9 nc9 Ca9 Ri0 Kd0", 0, 0},
        // Middle row: 35 only with both squares above and below the king taken.
        {"ke8 Ci8 Ra0 Kd0", 15, 0},
        {"ke8 ne9 Ci8 Ra0 Kd0", 15, 0},
        {"ke8 ne9 be7 Ci8 Ra0 Kd0", 35, 0},
        // Front row.
        {"kd7 Ca7 Ra0 Ke0", 20, 0},
        {"kd7 nd8 Ca7 Ra0 Ke0", 40, 0},
        // Both cannons count.
        {"ke9 Ce2 Ca9 Ri0 Kd0", 50, 0},
        // Black's cannons against the red king, by the same rules.
        {"Ke0 ce7 ra9 kd9", 0, 30},
        {"Ke0 Ad0 Af0 ce7 ra9 kd9", 0, 60},
        {"Ke1 ce0 ra9 kd9", 0, 0},
        {"Ke0 ca0 ri9 kd9", 0, 20},
        {"Ke0 Ae1 ca0 ri9 kd9", 0, 40},
        {"Ke1 Ne0 Be2 ci1 ra9 kd9", 0, 35},
        {"Kd2 Nd1 ca2 ra9 ke9", 0, 40},
        // Without an enemy king there is nothing to face.
        {"Kd0 Ce2 Ra0", 0, 0},
    };
    CHECK_TERM(EmptyCannonBonus, cases);
}

TEST(EvalTerms, PalaceHeartBonus) {
    const TermCase cases[] = {
        // Red: the black king on e9, flanked, a black knight or rook on e8.
        {"ke9 ad9 af9 ne8 Kd0", 10, 0},
        {"ke9 ad9 af9 re8 Kd0", 10, 0},
        {"ke9 ad9 af9 Ne8 Kd0", 0, 0},
        {"ke9 ad9 nf9 ce8 Kd0", 0, 0},
        {"ke9 ad9 ne8 Kd0", 0, 0},
        {"kd9 re9 af9 ne8 Kd0", 0, 0},
        // A red cannon on the e-file: 60 when the first piece above it is on e7.
        {"ke9 ad9 af9 ne8 Kd0 Ce2", 30, 0},
        {"ke9 ad9 af9 ne8 be7 Kd0 Ce2", 70, 0},
        {"ke9 ad9 af9 ne8 be7 Kd0 Ce2 Ce4", 90, 0},
        {"ke9 ad9 af9 ne8 Kd0 Cd2", 10, 0},
        // Black: the red king on e0, flanked, and only a red knight on e1 counts.
        {"Ke0 Ad0 Af0 Ne1 kd9", 0, 10},
        {"Ke0 Ad0 Af0 Re1 kd9", 0, 0},
        {"Ke0 Ad0 Af0 Ne1 kd9 ce7", 0, 40},
        {"Ke0 Ad0 Af0 Ne1 Be2 kd9 ce5", 0, 80},
        {"Ke0 Ad0 Af0 Ne1 Be2 kd9 ce5 ce7", 0, 110},
    };
    CHECK_TERM(PalaceHeartBonus, cases);
}

TEST(EvalTerms, RookAdvantageBonus) {
    const TermCase cases[] = {
        {"Ke0 ke9", 0, 0},         {"Ke0 ke9 Ra0", 40, 0},     {"Ke0 ke9 Ra0 Ri0", 40, 0},
        {"Ke0 ke9 Ra0 ra9", 0, 0}, {"Ke0 ke9 ra9 ri9", 0, 40},
    };
    CHECK_TERM(RookAdvantageBonus, cases);
}

TEST(EvalTerms, KnightCannonPairBonus) {
    const TermCase cases[] = {
        {"Nb0 Cb2", 20, 0},     {"Nb0 Cb2 nb9 cb7", 0, 0}, {"Nb0 Cb2 nb9", 20, 0},
        {"Nb0 Cb2 cb7", 20, 0}, {"Nb0 Nh0 Cb2", 0, 0},     {"Nb0 Cb2 Ch2", 0, 0},
        {"nb9 cb7 Nb0", 0, 20}, {"nb9 cb7", 0, 20},
    };
    CHECK_TERM(KnightCannonPairBonus, cases);
}

TEST(EvalTerms, RookPinBonus) {
    const TermCase cases[] = {
        // A black knight or cannon alone between the rooks scores 20 for red.
        {"Ra4 nd4 ri4", 20, 0},
        {"Ra4 cd4 ri4", 20, 0},
        {"ri4 nf4 Ra4", 20, 0},
        {"Ra4 nd4 pf4 ri4", 0, 0},
        {"Ra4 pd4 ri4", 0, 0},
        // A red knight or cannon scores 45 for black.
        {"Ra4 Nd4 ri4", 0, 45},
        {"Rb0 Cb5 rb9", 0, 45},
        {"Rb0 Pb5 rb9", 0, 0},
        {"Rb0 nb5 rb9", 20, 0},
        // Never on row 0 or file 0, though row 9 and file 8 count.
        {"Ra9 nd9 ri9", 0, 0},
        {"Ra0 na5 ra9", 0, 0},
        {"Ra0 Na5 ra9", 0, 0},
        {"Ra0 nd0 ri0", 20, 0},
        {"Ri0 ni5 ri9", 20, 0},
        // Each red rook with each black rook.
        {"Re4 nc4 ra4 ng4 ri4", 40, 0},
        {"Ra4 Ri4 nd4 Nf4 re4", 20, 45},
    };
    CHECK_TERM(RookPinBonus, cases);
}

TEST(EvalTerms, KnightMobility) {
    const TermCase cases[] = {
        {"Nb0", 15, 0},
        {"nb9", 0, 15},
        {"Ne5", 40, 0},
        // Own pieces block a target; enemy pieces are there to be taken.
        {"Nb0 Ba2", 10, 0},
        {"Nb0 pa2 pc2 pd1", 15, 0},
        // A piece on the leg blocks the move.
        {"Nb0 Ba2 Rb1", 5, 0},
        {"Ne5 Pe6 Pe4 Pd5 Pf5", 0, 0},
        {"Ne5 pe6 pe4 rd5 cf5", 0, 0},
        {"Nb0 Nh0", 30, 0},
    };
    CHECK_TERM(KnightMobility, cases);
}

TEST(EvalTerms, RookMobility) {
    const TermCase cases[] = {
        // Three empty squares on the file, none on the row: 3 / 2 = 1.
        {"Ra4 Pa7 Ba2 Nb4", 1, 0},
        {"Ra0 Ke1 ke9", 8, 0},
        // Nine and eight halve to 4 and 4; the d-file rook reaches 9 and 3.
        {"Ra0 Rd1 Ke1 ke9", 8 + 4 + 1, 0},
        {"ri9 ne9 pi6", 0, 1 + 1},
    };
    CHECK_TERM(RookMobility, cases);
}

TEST(EvalTerms, CentralCannonBonus) {
    const TermCase cases[] = {
        {"ke9 ae8 be7 Ce6 Kd0", 0, 0},          {"ke9 ae8 be7 Ce6 ad9 Rf0 Kd0", 15, 0},
        {"ke9 ae8 be7 Ce6 af9 Rd0 Ke1", 15, 0}, {"ke9 ae8 be7 Ce6 ad9 Rd0 Ke1", 0, 0},
        {"ke9 ae8 be7 Ce5 ad9 Rf0 Kd0", 0, 0},  {"ke9 ne8 be7 Ce6 ad9 Rf0 Kd0", 0, 0},
        {"ke9 ae8 ne7 Ce6 ad9 Rf0 Kd0", 0, 0},  {"Ke0 Ae1 Be2 ce3 Ad0 rf9 kd9", 0, 15},
        {"Ke0 Ae1 Be2 ce3 Af0 rd9 ke8", 0, 15}, {"Ke0 Ae1 Be2 ce3 Af0 rf9 kd9", 0, 0},
    };
    CHECK_TERM(CentralCannonBonus, cases);
}

}  // namespace
