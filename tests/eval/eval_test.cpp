// The combined score: the start position, the side-to-move view, and the
// places where the two colours are deliberately not scored alike.

#include "eval/eval.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>

#include "support/placement.h"
#include "support/reference_rules.h"

namespace {

// The colour-swapped mirror image: rows reversed, colours and side swapped.
std::string MirrorFen(const std::string& fen) {
    const size_t space = fen.find(' ');
    std::string placement = fen.substr(0, space);
    std::vector<std::string> rows;
    size_t start = 0;
    for (size_t slash; (slash = placement.find('/', start)) != std::string::npos; start = slash + 1)
        rows.push_back(placement.substr(start, slash - start));
    rows.push_back(placement.substr(start));
    std::reverse(rows.begin(), rows.end());
    std::string mirrored;
    for (size_t i = 0; i < rows.size(); i++) {
        if (i) mirrored += '/';
        for (char c : rows[i])
            mirrored += std::isupper(c) ? char(std::tolower(c)) : char(std::toupper(c));
    }
    const bool redToMove = fen.compare(space + 1, 1, "w") == 0;
    return mirrored + (redToMove ? " b" : " w");
}

TEST(Evaluate, StartPositionIsThreeForEitherSide) {
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    EXPECT_EQ(Evaluate(pos), 3);
    LoadFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1", pos);
    EXPECT_EQ(Evaluate(pos), 3);
}

TEST(Evaluate, BlackViewIsMinusRedViewPlusSix) {
    Position& pos = ScratchPosition();
    std::mt19937 rng(7);
    for (int game = 0; game < 60; game++) {
        LoadFen(StartFen, pos);
        for (int ply = 0; ply < 120; ply += 8) {
            PlayRandomGame(pos, 8, rng);
            const uint32_t side = pos.SideToMove;
            const int32_t own = Evaluate(pos);
            pos.SideToMove ^= 1;
            const int32_t other = Evaluate(pos);
            pos.SideToMove = side;
            const int32_t red = side == Red ? own : other, black = side == Red ? other : own;
            ASSERT_EQ(black, 6 - red) << FenOfPosition(pos);
        }
    }
}

// Evaluate(position) - Evaluate(mirror image) for boards where only one of
// the deliberate asymmetries applies; 0 where none does.
TEST(Evaluate, ColourAsymmetries) {
    struct Case {
        const char* pieces;
        int32_t difference;
    };
    const Case cases[] = {
        // Nothing asymmetric: a knight on red's row 2 mirrors black's row 7.
        {"Ke0 kd9 Nc2 Ra0 ri9 ce7 Pe3 pc6", 0},
        // Black's knight on its row 8 is worth 107 on the d-file, red's on row 1 only 97.
        {"Ke0 kd9 Nd8", 97 - 107},
        // A pin earns red 20 but black 45.
        {"Ke0 kd9 Rb0 nb5 rb9", 20 - 45},
        // Red's palace bonus also counts a rook in the heart; black's needs a knight.
        {"ke9 ad9 af9 re8 Kd0", 10},
        // With a cannon screened on the far side: red 10 + 60, black 10 + 70.
        {"ke9 ad9 af9 ne8 be7 Ce2 Kd0", 70 - 80},
        // The open-file cannon is scored alike for both colours.
        {"ke9 ad9 af9 Kd0 Ce2 Ra0", 0},
        {"ke9 ae8 be7 Ce6 ad9 Rf0 Kd0", 0},
    };
    Position& pos = ScratchPosition();
    for (const Case& c : cases) {
        EXPECT_EQ(LoadPlacement(pos, c.pieces), "");
        const std::string fen = FenOfPosition(pos);
        const int32_t original = Evaluate(pos);
        LoadFen(MirrorFen(fen).c_str(), pos);
        EXPECT_EQ(original - Evaluate(pos), c.difference) << c.pieces;
    }
}

}  // namespace
