#pragma once
// A command line split into words, as the command loops split it.

#include <cstring>

#include "shell/tokenizer.h"

struct SplitLine {
    char text[1024];
    char* words[WordListSize];
    int count;
    explicit SplitLine(const char* line) {
        std::strncpy(text, line, sizeof text - 1);
        text[sizeof text - 1] = 0;
        count = SplitWords(text, words, WordListSize);
    }
};
