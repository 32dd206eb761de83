#include "book/book_test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "support/reference_rules.h"

std::unique_ptr<Book> NewBook() {
    std::unique_ptr<Book> book(new Book);
    ClearBook(*book);
    return book;
}

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

const BookSlot* FindSlot(const Book& book, uint64_t key) {
    for (const BookSlot& slot : book.slots)
        if (slot.Used && slot.KeyLow == KeyLow(key) && slot.KeyHigh == KeyHigh(key)) return &slot;
    return nullptr;
}

int SlotsHoldingKey(const Book& book, uint64_t key) {
    int found = 0;
    for (const BookSlot& slot : book.slots)
        if (slot.Used && slot.KeyLow == KeyLow(key) && slot.KeyHigh == KeyHigh(key)) found++;
    return found;
}

int StoredMoveCount(const Book& book) {
    int count = 0;
    for (const BookSlot& slot : book.slots)
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

void CountBookDraws(const Book& book, Position& pos, int draws, DrawCounts& counts) {
    std::memset(&counts, 0, sizeof counts);
    for (int i = 0; i < draws; i++) {
        Move move = 0;
        if (ChooseBookMove(book, pos, move))
            counts.hits[move]++;
        else
            counts.misses++;
    }
}
