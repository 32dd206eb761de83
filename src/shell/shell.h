#pragma once
// The engine shell: a protocol session and the developer commands.

struct Engine;

// Speaks UCCI on standard input and output until "quit" or the end of input;
// UCI instead when the first command is "uci".
int RunEngineSession();
// Serves a whole session on the engine's channel.
void ServeSession(Engine& engine);

// "quillon perft DEPTH [FEN]"; argv holds the words after "perft".
int RunPerftCommand(int argc, char** argv);
// "quillon bench [DEPTH [THREADS]]"; argv holds the words after "bench".
int RunBenchCommand(int argc, char** argv);
// "quillon judge FEN-FIELDS [moves ...]"; argv holds the words after "judge".
int RunJudgeCommand(int argc, char** argv);
