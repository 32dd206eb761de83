// The search's signature: node counts of fixed positions at a small depth,
// with the keys the test program seeds, under each option setting. They pin
// the search's rules (null-move conditions, which moves are pruned or
// reduced, the thresholds), which the other tests only bound. A change that
// alters the search on purpose updates them, and says why.

#include <gtest/gtest.h>

#include "search/search_test_support.h"

namespace {

const char* const SignaturePositions[] = {
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1",
    "2bakab1r/5r3/1cn1c3n/pC2p3p/2p3p2/5NP1C/P1P1P3P/9/9/RNBAKABR1 w - - 0 1",
    "2b1ka1n1/2C1a4/2n1bc1r1/p1p1p1p1p/4cR3/2P3B2/2r3P1P/4C1N2/N3A4/2BAK3R w - - 0 1",
    "4ka3/4a4/3cb4/p3p1N1p/2p3b2/5n3/5r2P/4B4/2R1A4/4KAB2 w - - 0 1",
    "2bak4/4a4/4b4/9/9/9/9/5n3/9/3AK4 w - - 0 1",
};
constexpr int SignatureDepth = 6;

struct OptionCase {
    const char* name;
    SearchOptions options;
    uint32_t nodes[5];  // per position, in the order above
};

TEST(SearchSignature, NodeCountsUnderEachOptionSetting) {
    const OptionCase cases[] = {
        {"default", {true, true, true}, {143086, 94428, 130691, 41889, 2924}},
        {"no history pruning", {true, false, false}, {157587, 173394, 228285, 70981, 5172}},
        {"no checks in quiescence", {false, true, true}, {128184, 88116, 121090, 35485, 2570}},
    };
    const std::unique_ptr<SearchState> state = NewSearchState();
    static Position pos;
    for (const OptionCase& c : cases) {
        state->options = c.options;
        for (int i = 0; i < 5; i++) {
            LoadFen(SignaturePositions[i], pos);
            SearchTo(*state, pos, SignatureDepth);
            EXPECT_EQ(state->nodes, c.nodes[i]) << c.name << ", position " << i + 1;
        }
    }
}

}  // namespace
