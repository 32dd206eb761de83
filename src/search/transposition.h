#pragma once
// The transposition table as the searches use it (hash.cpp): the prefetch,
// the cut-off test, and mate scores converted between root and node.

#include "search/search.h"

constexpr int16_t NoHashCutoff = 10001;  // InitPicker: the hash table did not settle the node

// Asks the processor for the bucket of `key` ahead of the probe.
inline void PrefetchHash(const HashTable& table, uint64_t key) {
    __builtin_prefetch(&table.buckets[KeyLow(key) & table.mask]);
}

bool ProbeHashMove(const HashTable& table, const Position& pos, Move& move);
// The position's entry becomes this one, deeper or not (StoreHash keeps a
// deeper entry): the answer chosen among the threads is the root's.
void ReplaceHashEntry(HashTable& table, const Position& pos, Move move, int16_t value, int8_t depth,
                      uint8_t bound);

struct HashCutoff {
    bool cutoff;
    int16_t value;  // converted for the current Ply, when cutoff
    bool hasMove;
    Move move;
};
HashCutoff HashCutoffTest(const HashTable& table, const Position& pos, int8_t depth, int16_t alpha,
                          int16_t beta);

// Mate scores count plies from the root; the table keeps them from the node.
int16_t ValueToHash(int16_t value, uint32_t ply);
int16_t ValueFromHash(int16_t value, uint32_t ply);
