#pragma once
// Pipes, temporary files and patient reads for the tests of the channel and
// of the engine's conversation.

#include <string>
#include <vector>

#include "shell/line_channel.h"

struct TestPipe {
    int readEnd;
    int writeEnd;
};
TestPipe MakeTestPipe();
void CloseTestPipe(TestPipe& pipe);
void WriteAllTo(int fd, const std::string& bytes);
// Every byte readable from `fd` within `ms`, stopping early at the end.
std::string ReadAvailable(int fd, int ms);

// A file in a fresh temporary directory with the given content; removed with
// the directory when the object goes.
struct TempFile {
    std::string directory;
    std::string path;
    TempFile(const std::string& name, const std::string& content, bool executable = false);
    ~TempFile();
};

// ReadLine until a line comes, the input ends, or `ms` pass.
bool ReadLineWithin(LineChannel& channel, char* line, int ms);
// Every line until the input ends; a deadline turns a hang into a failure.
std::vector<std::string> ReadLinesToEnd(LineChannel& channel, int ms, bool* ended);
// Every byte until the input ends or `ms` pass.
std::string ReadBytesToEnd(LineChannel& channel, int ms, bool* ended);
