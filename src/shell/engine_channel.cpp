#include "shell/engine_channel.h"

#include "shell/engine_state.h"
#include "shell/shell.h"
#include "shell/tokenizer.h"

// Nothing is read or written until the command loop opens it.
LineChannel EngineChannel = {NoStream, NoStream, 0, 0, 0, {}, true, NoProcess, -1};

void WriteOut(const char* text) {
    Write(EngineChannel, text);
}

void EchoWords(char* const* words, int count) {
    Write(EngineChannel, "debug info=[");
    for (int i = 0; i < count; i++) {
        if (i > 0) Write(EngineChannel, " ");
        Write(EngineChannel, words[i]);
    }
    Write(EngineChannel, "]\n");
}

bool PollStop() {
    static char line[LineBufferSize];
    static char* words[WordListSize];
    if (!PollingInput) return false;
    bool stop;
    if (ReadLine(EngineChannel, line)) {
        int count = SplitWords(line, words, WordListSize);
        EchoWords(words, count);
        stop = KeywordOf(WordAt(words, count, 0)) == TokenStop;
    } else {
        stop = AtEndOfInput(EngineChannel);  // no "stop" can come any more
    }
    if (stop) StopFlag = true;
    return stop;
}
