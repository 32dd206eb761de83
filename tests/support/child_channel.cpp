#include "support/child_channel.h"

bool OpenChildChannel(ChildChannel& child, const char* commandLine) {
    // A child that ends early must not take us with it when we write to it.
    IgnoreBrokenPipes();
    child.process = NoProcess;
    child.exitCode = -1;
    ChildStreams streams;
    if (!StartChildProcess(commandLine, streams)) {
        OpenOnStreams(child.channel, NoStream, NoStream);
        child.channel.InputEnded = true;
        return false;
    }
    OpenOnStreams(child.channel, streams.fromChild, streams.toChild);
    child.process = streams.process;
    return true;
}

void CloseChildInput(ChildChannel& child) {
    CloseStream(child.channel.OutHandle);
    child.channel.OutHandle = NoStream;
}

void CloseChildChannel(ChildChannel& child) {
    CloseChannel(child.channel);
    if (child.process == NoProcess) return;
    // The child sees the end of its input now; give it a moment to finish.
    child.exitCode = WaitChildProcess(child.process, 2000);
    child.process = NoProcess;
}
