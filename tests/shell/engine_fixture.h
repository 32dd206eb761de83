#pragma once
// An engine in the test's own process, its output on a pipe the test reads,
// so that what a command writes and the state it leaves can both be looked at.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "channel_test_support.h"
#include "shell/engine.h"

class InProcessEngine : public ::testing::Test {
protected:
    const std::unique_ptr<Engine> owned{new Engine};
    Engine& engine = *owned;
    TestPipe output;
    void SetUp() override {
        output = MakeTestPipe();
        ASSERT_TRUE(InitEngine(engine));
        OpenOnStreams(engine.channel, NoStream, output.writeEnd);
    }
    void TearDown() override { CloseTestPipe(output); }
    // What the engine has written since the last call.
    std::string Written() { return ReadAvailable(output.readEnd, 0); }
};
