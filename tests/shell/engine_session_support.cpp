#include "engine_session_support.h"

#include "channel_test_support.h"
#include "support/reference_rules.h"

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.rfind(prefix, 0) == 0;
}

std::vector<std::string> ReadLinesUntil(LineChannel& channel, const std::string& last, int ms,
                                        const char* alsoLast) {
    std::vector<std::string> lines;
    static char line[LineBufferSize];
    while (ReadLineWithin(channel, line, ms)) {
        lines.push_back(line);
        if (StartsWith(lines.back(), last)) break;
        if (alsoLast && lines.back() == alsoLast) break;
    }
    return lines;
}

bool LegalIn(const char* fen, const std::string& bestLine) {
    if (!StartsWith(bestLine, "bestmove ") || bestLine.size() < 13) return false;
    Position& pos = ScratchPosition(3);
    LoadFen(fen, pos);
    const MoveRecord r = ParseMoveString(bestLine.c_str() + 9);
    for (const RefMove& m : EngineLegalMoves(pos))
        if (m.from == r.from && m.to == r.to) return true;
    return false;
}

int CountPrefix(const std::vector<std::string>& lines, const std::string& prefix) {
    int n = 0;
    for (const std::string& l : lines) n += StartsWith(l, prefix);
    return n;
}

EngineSession::EngineSession(Protocol protocol, bool book) {
    open = OpenChildChannel(child, EngineProgram());
    if (!open) return;
    if (protocol == Protocol::Uci) {
        Send("uci");
        ReadUntil("uciok", 5000);
        if (!book) Send("setoption name UseBook value false");
    } else {
        Send(book ? "ucci" : "ucci\nsetoption usebook false");
    }
}

EngineSession::~EngineSession() {
    Close();
}

void EngineSession::Send(const std::string& line) {
    WriteChannel(child.channel, (line + "\n").c_str());
}

std::vector<std::string> EngineSession::ReadUntil(const std::string& last, int ms) {
    return ReadLinesUntil(child.channel, last, ms,
                          StartsWith(last, "bestmove") ? "nobestmove" : nullptr);
}

int32_t EngineSession::Close() {
    if (open) CloseChildChannel(child);
    open = false;
    return child.exitCode;
}

Transcript RunEngine(const std::string& input, int ms, const char* program) {
    Transcript transcript{"", false, -1};
    ChildChannel child;
    if (!OpenChildChannel(child, program ? program : EngineProgram())) return transcript;
    WriteChannel(child.channel, input.c_str());
    CloseChildInput(child);
    transcript.output = ReadBytesToEnd(child.channel, ms, &transcript.ended);
    CloseChildChannel(child);
    transcript.exitCode = child.exitCode;
    return transcript;
}
