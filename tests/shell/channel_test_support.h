#pragma once
// Pipes, temporary files and patient reads for the tests of the channel and
// of the engine's conversation, on POSIX systems and on Windows alike.

#include <cstdio>
#include <string>
#include <vector>

#include "shell/line_channel.h"

// Room for 64 KiB, so that a test's writes never wait for a reader.
struct TestPipe {
    StreamHandle readEnd;
    StreamHandle writeEnd;
};
TestPipe MakeTestPipe();
void CloseTestPipe(TestPipe& pipe);
// Closes one end and marks it closed.
void CloseTestEnd(StreamHandle& end);
void WriteAllTo(StreamHandle stream, const std::string& bytes);
// Every byte readable from `stream` within `ms`, stopping early at the end.
std::string ReadAvailable(StreamHandle stream, int ms);

// A file opened for reading as a stream; NoStream when it cannot be.
StreamHandle OpenFileStream(const std::string& path);
// A buffered standard-library stream writing into `stream` through a handle
// of its own.
std::FILE* OpenStdioStream(StreamHandle stream);
// The handles (descriptors) this process holds open.
int CountOpenHandles();

// A file in a fresh temporary directory with the given content; removed with
// the directory when the object goes.
struct TempFile {
    std::string directory;
    std::string path;
    TempFile(const std::string& name, const std::string& content, bool executable = false);
    ~TempFile();
};

// The engine and the tests' child program (tests/child), built beside the
// test program.
const char* EngineProgram();
const char* ChildProgram();
// The folder of the test program, without a separator at its end.
std::string TestProgramDirectory();

// ReadLine until a line comes, the input ends, or `ms` pass.
bool ReadLineWithin(LineChannel& channel, char* line, int ms);
// Every line until the input ends; a deadline turns a hang into a failure.
std::vector<std::string> ReadLinesToEnd(LineChannel& channel, int ms, bool* ended);
// Every byte until the input ends or `ms` pass.
std::string ReadBytesToEnd(LineChannel& channel, int ms, bool* ended);
