// The tuned weights as the text of src/eval/modern_weights.cpp.

#include <cstdio>

#include "tune/tune.h"

namespace {

const char* const TypeNames[ModernPieceTypes] = {"king", "advisor", "bishop", "knight",
                                                 "rook", "cannon",  "pawn"};
const char* const TermNames[ModernTermCount] = {
    "empty cannon", "palace heart",    "rook advantage", "knight and cannon pair",
    "rook pin",     "knight mobility", "rook mobility",  "central cannon"};

std::string Number(int32_t value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%*d", width, value);
    return text;
}

}  // namespace

std::string WeightsSource(const ModernWeights& weights, const std::string& note) {
    std::string text =
        "// The modern evaluation's weights, written by tools/tune (see its README):\n"
        "// " +
        note +
        "\n"
        "// Placements by [row][file]: row 0 is black's back rank, file 4 the centre\n"
        "// (files 5..8 read 3..0); black's pieces read row 9 - row. Terms in\n"
        "// sixteenths of the classic term's points.\n\n"
        "#include \"eval/eval_modern.h\"\n\n"
        "// clang-format off\n"
        "const ModernWeights TunedModernWeights = {\n    {\n";
    for (int type = 0; type < ModernPieceTypes; type++) {
        text += std::string("        {  // ") + TypeNames[type] + "\n";
        for (int row = 0; row < 10; row++) {
            text += "            {";
            for (int file = 0; file < 5; file++)
                text += Number(weights.placement[type][row][file], 4) + (file < 4 ? "," : "");
            text += "},\n";
        }
        text += "        },\n";
    }
    text += "    },\n    {\n";
    for (int t = 0; t < ModernTermCount; t++)
        text += "        " + Number(weights.terms[t], 3) + ",  // " + TermNames[t] + "\n";
    text += "    },\n    " + Number(weights.sideToMove, 1) + ",  // side to move\n};\n";
    text += "// clang-format on\n";
    return text;
}
