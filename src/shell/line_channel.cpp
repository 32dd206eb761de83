#include "shell/line_channel.h"

#include <cstring>

namespace {

// Copies `length` bytes from the front of the buffer as a line, cut at its
// first carriage return, and drops `length + skip` bytes from the buffer. A
// carriage return at the end is never copied: a longest line followed by one
// fills the caller's buffer without it.
void HandOut(LineChannel& channel, char* line, int32_t length, int32_t skip) {
    int32_t kept = length;
    if (kept > 0 && channel.Buffer[kept - 1] == '\r') kept--;
    std::memcpy(line, channel.Buffer, size_t(kept));
    line[kept] = 0;
    char* carriageReturn = static_cast<char*>(std::memchr(line, '\r', size_t(kept)));
    if (carriageReturn != nullptr) *carriageReturn = 0;
    channel.Filled -= length + skip;
    std::memmove(channel.Buffer, channel.Buffer + length + skip, size_t(channel.Filled));
    channel.LastLineOverlong = false;
}

// Drops the last `length` bytes of a line too long to hand out, its line feed
// included, and hands out an empty line in its place.
void Refuse(LineChannel& channel, char* line, int32_t length) {
    line[0] = 0;
    channel.Filled -= length;
    std::memmove(channel.Buffer, channel.Buffer + length, size_t(channel.Filled));
    channel.Overlong = false;
    channel.LastLineOverlong = true;
}

// Whether the line in the first `length` bytes of the buffer fits a caller's
// buffer; a carriage return at its end is not kept.
bool Fits(const LineChannel& channel, int32_t length) {
    if (length > 0 && channel.Buffer[length - 1] == '\r') length--;
    return length <= MaxLineLength;
}

}  // namespace

void OpenOnStreams(LineChannel& channel, StreamHandle in, StreamHandle out) {
    channel.InHandle = in;
    channel.OutHandle = out;
    channel.IsConsole = IsConsoleStream(in) ? 1 : 0;
    channel.PipeAvailable = 0;
    channel.Filled = 0;
    channel.InputEnded = false;
    channel.Overlong = false;
    channel.LastLineOverlong = false;
    channel.CountConsoleEvents = PendingConsoleEvents;
}

void OpenChannel(LineChannel& channel) {
    IgnoreBrokenPipes();
    UseBinaryStandardStreams();
    OpenOnStreams(channel, StandardInputStream(), StandardOutputStream());
    if (channel.IsConsole) PrepareConsoleInput(channel.InHandle);
}

void CloseChannel(LineChannel& channel) {
    CloseStream(channel.InHandle);
    CloseStream(channel.OutHandle);
    channel.InHandle = NoStream;
    channel.OutHandle = NoStream;
    channel.InputEnded = true;
    channel.Filled = 0;
    channel.Overlong = false;
}

void FillChannel(LineChannel& channel) {
    if (channel.InputEnded) return;
    // Never more than a longest line and its line end: the rest waits in the stream.
    int32_t got = ReadStream(channel.InHandle, channel.Buffer + channel.Filled,
                             ChannelBufferSize - channel.Filled);
    if (got == 0) {
        channel.InputEnded = true;
        return;
    }
    if (got < 0) return;
    channel.Filled += got;
    if (channel.PipeAvailable > 0) {
        channel.PipeAvailable = channel.PipeAvailable > got ? channel.PipeAvailable - got : 0;
    }
}

bool HasInput(LineChannel& channel) {
    if (channel.InputEnded) return false;
    if (channel.IsConsole) return channel.CountConsoleEvents(channel.InHandle) > 1;
    if (channel.PipeAvailable > 0) return true;
    int32_t waiting = PendingInputBytes(channel.InHandle);
    if (waiting < 0) return true;  // a file or the end of the input: the read is allowed to block
    channel.PipeAvailable = waiting;
    return waiting > 0;
}

bool TakeLine(LineChannel& channel, char* line) {
    const char* lineFeed =
        static_cast<const char*>(std::memchr(channel.Buffer, '\n', size_t(channel.Filled)));
    if (lineFeed == nullptr) {
        if (channel.Overlong) channel.Filled = 0;  // more of the line being dropped
        return false;
    }
    const int32_t length = int32_t(lineFeed - channel.Buffer);
    if (channel.Overlong || !Fits(channel, length)) {
        Refuse(channel, line, length + 1);
    } else {
        HandOut(channel, line, length, 1);
    }
    return true;
}

bool ReadLine(LineChannel& channel, char* line) {
    if (TakeLine(channel, line)) return true;
    if (!channel.InputEnded) {
        if (!HasInput(channel)) return false;
        FillChannel(channel);
        if (TakeLine(channel, line)) return true;
    }
    if (channel.Filled == ChannelBufferSize) {
        // A full buffer without a line feed holds no line that fits: the rest
        // of it is dropped as it comes.
        channel.Overlong = true;
        channel.Filled = 0;
    }
    if (!channel.InputEnded) return false;
    // The last line had no line feed.
    if (channel.Overlong || !Fits(channel, channel.Filled)) {
        Refuse(channel, line, channel.Filled);
        return true;
    }
    if (channel.Filled > 0) {
        HandOut(channel, line, channel.Filled, 0);
        return true;
    }
    return false;
}

bool AtEndOfInput(const LineChannel& channel) {
    return channel.InputEnded && channel.Filled == 0 && !channel.Overlong;
}

void WriteChannel(LineChannel& channel, const char* text) {
    WriteStream(channel.OutHandle, text, int32_t(std::strlen(text)));
}
