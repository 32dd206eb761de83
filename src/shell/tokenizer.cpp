#include "shell/tokenizer.h"

#include <cstring>

namespace {

struct Keyword {
    const char* text;
    CommandToken token;
};

const Keyword Keywords[] = {
    {"ucci", TokenUcci},
    {"position", TokenPosition},
    {"fen", TokenFen},
    {"moves", TokenMoves},
    {"go", TokenGo},
    {"depth", TokenDepth},
    {"stop", TokenStop},
    {"quit", TokenQuit},
    {"infinite", TokenInfinite},
    {"inf", TokenInfinite},
    {"time", TokenTime},
    {"movestogo", TokenMovesToGo},
    {"probe", TokenProbe},
    {"increment", TokenIncrement},
    {"setoption", TokenSetOption},
    {"true", TokenTrue},
    {"false", TokenFalse},
    {"usebook", TokenUseBook},
    {"banmoves", TokenBanMoves},
    {"use_history_pruning", TokenUseHistoryPruning},
    {"check_in_quiescence", TokenCheckInQuiescence},
    {"isready", TokenIsReady},
    {"ponderhit", TokenPonderHit},
    {"startpos", TokenStartPos},
    {"ponder", TokenPonder},
    {"draw", TokenDraw},
    {"nodes", TokenNodes},
    {"uci", TokenUci},
    {"ucinewgame", TokenUciNewGame},
    {"wtime", TokenWhiteTime},
    {"btime", TokenBlackTime},
    {"winc", TokenWhiteIncrement},
    {"binc", TokenBlackIncrement},
    {"movetime", TokenMoveTime},
    {"name", TokenName},
    {"value", TokenValue},
    {"searchmoves", TokenSearchMoves},
    {"mate", TokenMate},
};

const char EmptyWord[1] = {0};

inline bool IsLineEnd(char c) {
    return c == 0 || c == '\n' || c == '\r';
}

inline char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

}  // namespace

int SplitWords(char* line, char** words, int capacity) {
    if (capacity < 1) return 0;
    int count = 0;
    char* p = line;
    for (;;) {
        while (*p == ' ') p++;
        if (IsLineEnd(*p)) break;
        if (count == capacity - 1) {
            // No room for more words: the rest of the line is left as it is.
            while (!IsLineEnd(*p)) p++;
            break;
        }
        words[count++] = p;
        while (*p != ' ' && !IsLineEnd(*p)) p++;
        if (IsLineEnd(*p)) break;
        *p++ = 0;
    }
    *p = 0;  // the line end itself, so that the end entry reads as an empty text
    words[count] = p;
    return count;
}

const char* WordAt(char* const* words, int count, int index) {
    return index >= 0 && index < count ? words[index] : EmptyWord;
}

void JoinWords(char* const* words, int first, int end, char* text, size_t capacity) {
    if (capacity == 0) return;
    size_t used = 0;
    for (int i = first; i < end; i++) {
        if (i > first && used + 1 < capacity) text[used++] = ' ';
        size_t length = std::strlen(words[i]);
        if (length > capacity - 1 - used) length = capacity - 1 - used;
        std::memcpy(text + used, words[i], length);
        used += length;
    }
    text[used] = 0;
}

bool SameTextIgnoringCase(const char* a, const char* b) {
    for (; *a != 0 && LowerAscii(*a) == LowerAscii(*b); a++, b++) {
    }
    return *a == 0 && *b == 0;
}

bool SameWordIgnoringCase(const char* word, const char* keyword) {
    for (; *keyword != 0; word++, keyword++) {
        if (LowerAscii(*word) != *keyword) return false;
    }
    return *word == 0;
}

CommandToken KeywordOf(const char* word) {
    for (const Keyword& keyword : Keywords) {
        if (SameWordIgnoringCase(word, keyword.text)) return keyword.token;
    }
    return TokenNone;
}

int32_t ReadInteger(const char* text) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) p++;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // Past 2^31 the value is held there: the sign then decides the bound.
    const int64_t cap = int64_t(1) << 31;
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        value = value * 10 + (*p - '0');
        if (value > cap) value = cap;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return int32_t(value);
}
