// The book table: open addressing over a short fixed sequence of slots per
// key, and the weighted choice among a position's moves.

#include "book/book.h"
#include "position/random.h"

namespace {

// Slot i of a key's sequence is (Start + 2i) mod the table size.
uint32_t SequenceStart(uint32_t keyLow) {
    return keyLow + 2 * (keyLow & 255) + 1;
}
uint32_t SlotIndex(uint32_t start, int i) {
    return (start + 2 * uint32_t(i)) & uint32_t(BookSlotCount - 1);
}

}  // namespace

void ClearBook(Book& book) {
    for (BookSlot& slot : book.slots) {
        slot.Count = 0;
        slot.Used = 0;
    }
}

bool AddBookMove(Book& book, uint32_t keyLow, uint32_t keyHigh, uint32_t from, uint32_t to,
                 uint32_t weight) {
    const uint32_t start = SequenceStart(keyLow);
    for (int i = 0; i < BookProbeLength; i++) {
        BookSlot& slot = book.slots[SlotIndex(start, i)];
        const bool mine = slot.Used && slot.KeyLow == keyLow && slot.KeyHigh == keyHigh;
        if (slot.Used && !mine) continue;
        if (slot.Count >= BookMovesPerSlot) return false;
        slot.KeyLow = keyLow;
        slot.KeyHigh = keyHigh;
        slot.Used = 1;
        slot.Moves[slot.Count] = MoveCode(from & 255, to & 255);
        slot.Weights[slot.Count] = uint16_t(weight > MaxBookWeight ? MaxBookWeight : weight);
        slot.Count++;
        return true;
    }
    return false;  // every slot of the sequence belongs to another position
}

bool ProbeBook(const Book& book, uint32_t keyLow, uint32_t keyHigh, Move& move) {
    const uint32_t start = SequenceStart(keyLow);
    const BookSlot* found = nullptr;
    for (int i = 0; i < BookProbeLength && !found; i++) {
        const BookSlot& slot = book.slots[SlotIndex(start, i)];
        if (slot.Used && slot.KeyLow == keyLow && slot.KeyHigh == keyHigh) found = &slot;
    }
    if (!found) return false;

    const uint64_t r = Random15();
    uint64_t sum = 0;
    for (int j = 0; j < found->Count; j++) sum += found->Weights[j];
    if (found->Count == 0) return false;
    // 0 <= x < sum for every sum: 64 bits never wrap here.
    uint64_t x = (sum * r) >> 15;
    for (int j = 0; j < found->Count; j++) {
        if (x < found->Weights[j]) {
            move = found->Moves[j];
            return true;
        }
        x -= found->Weights[j];
    }
    return false;  // every weight is 0
}
