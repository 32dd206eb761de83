// The engine's own messages, below everything else in the shell that
// writes one.

#include "shell/engine.h"

namespace {

const char* const MoveTextMessages[] = {
    "the moveString char is wrong.\n",      // MoveTextCharWrong
    "the moveString sequence is wrong.\n",  // MoveTextSequenceWrong
};

}  // namespace

void WriteMoveTextFaults(Engine& engine, const MoveTextFaults& faults) {
    // UCI front ends read only the protocol's lines.
    if (engine.uci) return;
    for (int i = 0; i < faults.count; i++)
        WriteChannel(engine.channel, MoveTextMessages[faults.fault[i]]);
}

void WriteMessage(Engine& engine, const char* text) {
    WriteChannel(engine.channel, engine.uci ? "info string " : "info ");
    WriteChannel(engine.channel, text);
    WriteChannel(engine.channel, "\n");
}

void EchoWords(LineChannel& channel, char* const* words, int count) {
    WriteChannel(channel, "debug info=[");
    for (int i = 0; i < count; i++) {
        if (i > 0) WriteChannel(channel, " ");
        WriteChannel(channel, words[i]);
    }
    WriteChannel(channel, "]\n");
}

void RefuseOverlongLine(Engine& engine) {
    WriteMessage(engine, "line longer than 65535 bytes refused");
}
