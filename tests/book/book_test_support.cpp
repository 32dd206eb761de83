#include "book/book_test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "support/reference_rules.h"

TempBookFile::TempBookFile(const std::string& bytes) {
    static int made = 0;
    path = testing::TempDir() + "quillon_book_" + std::to_string(getpid()) + "_" +
           std::to_string(made++) + ".TXT";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (!file) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

TempBookFile::~TempBookFile() {
    std::remove(path.c_str());
}

const BookSlot* FindSlot(uint64_t key) {
    for (const BookSlot& slot : BookTable)
        if (slot.Used && slot.KeyLow == KeyLow(key) && slot.KeyHigh == KeyHigh(key)) return &slot;
    return nullptr;
}

int SlotsHoldingKey(uint64_t key) {
    int found = 0;
    for (const BookSlot& slot : BookTable)
        if (slot.Used && slot.KeyLow == KeyLow(key) && slot.KeyHigh == KeyHigh(key)) found++;
    return found;
}

int StoredMoveCount() {
    int count = 0;
    for (const BookSlot& slot : BookTable)
        if (slot.Used) count += slot.Count;
    return count;
}

uint64_t KeyOfFen(const char* fen) {
    Position& pos = ScratchPosition(3);
    LoadFen(fen, pos);
    return CurrentKey(pos);
}

Move MoveOfText(const char* text) {
    return MoveOf(ParseMoveString(text));
}

void CountBookDraws(Position& pos, int draws, DrawCounts& counts) {
    std::memset(&counts, 0, sizeof counts);
    for (int i = 0; i < draws; i++) {
        Move move = 0;
        if (ChooseBookMove(pos, move))
            counts.hits[move]++;
        else
            counts.misses++;
    }
}
