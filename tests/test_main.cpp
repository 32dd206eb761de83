// Every test runs with the same hash keys: the generator is seeded before the
// tables are built, so nothing depends on the keys of a particular run.

#include <gtest/gtest.h>

#include "position/random.h"
#include "position/tables.h"

int main(int argc, char** argv) {
    SeedRandom(20261207);
    InitTables();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
