#pragma once
// Command lines split into words, and the one keyword table that turns the
// words that matter into numbers: command names, sub-keywords, option names
// and option values share one number space.

#include <cstddef>
#include <cstdint>

typedef uint8_t CommandToken;
constexpr CommandToken TokenNone = 0, TokenUcci = 1, TokenPosition = 2, TokenFen = 3,
                       TokenMoves = 4, TokenGo = 5, TokenDepth = 6, TokenStop = 7, TokenQuit = 8,
                       TokenInfinite = 9, TokenTime = 10, TokenMovesToGo = 11, TokenProbe = 12,
                       TokenIncrement = 13, TokenSetOption = 14, TokenTrue = 15, TokenFalse = 16,
                       TokenUseBook = 17, TokenBanMoves = 18, TokenUseHistoryPruning = 19,
                       TokenCheckInQuiescence = 20, TokenIsReady = 21, TokenPonderHit = 22,
                       TokenStartPos = 23, TokenPonder = 24, TokenDraw = 25, TokenNodes = 26,
                       // UCI's own words
    TokenUci = 27, TokenUciNewGame = 28, TokenWhiteTime = 29, TokenBlackTime = 30,
                       TokenWhiteIncrement = 31, TokenBlackIncrement = 32, TokenMoveTime = 33,
                       TokenName = 34, TokenValue = 35, TokenSearchMoves = 36, TokenMate = 37;

// Room for every word a command line of 65535 characters can hold, and the
// end entry.
constexpr int WordListSize = 32768 + 1;

// Splits the line in place: words are separated by runs of spaces only, and the
// byte after each word becomes a zero byte. The line ends at its first line
// feed, carriage return or zero byte; nothing beyond is read or written.
// words[count] points at an empty text. At most capacity - 1 words are taken.
int SplitWords(char* line, char** words, int capacity);

// The word at `index`, or an empty text at or beyond the count.
const char* WordAt(char* const* words, int count, int index);
// Words `first` to `end` - 1 (those the list has) joined with single spaces
// into `text`, cut short if they would not fit in `capacity` bytes with the
// zero.
void JoinWords(char* const* words, int first, int end, char* text, size_t capacity);

// The keyword's number, ignoring the case of ASCII letters; 0 for any other word.
CommandToken KeywordOf(const char* word);
// Whether the word is `keyword` (written in small letters) in any case.
bool SameWordIgnoringCase(const char* word, const char* keyword);
// Whether the two texts are equal but for the case of ASCII letters.
bool SameTextIgnoringCase(const char* a, const char* b);

// A decimal number read as atoi does (leading blanks, a sign, digits; no digits
// gives 0), saturated to the 32-bit range instead of overflowing.
int32_t ReadInteger(const char* text);
