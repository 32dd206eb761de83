// Searches with 1 to 8 threads against the built engine, as a hurried front
// end would run them: random positions, short clocks, and "stop", "isready",
// "ponderhit" and "quit" at random moments. Every "go" must end with exactly
// one best move, legal in its position, and the engine must never hang.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine_session_support.h"
#include "support/fen_text.h"
#include "support/reference_rules.h"

namespace {

// ThreadSanitizer slows the engine twentyfold: its run is a short one, and
// its waiting searches ponder on a small depth, where the input is read at
// once, rather than search until the seventh iteration polls.
#if defined(__SANITIZE_THREAD__)
constexpr int Searches = 30, DeepestGo = 3;
constexpr bool Shallow = true;
#else
constexpr int Searches = 200, DeepestGo = 6;
constexpr bool Shallow = false;
#endif

// Ends the test program when the test has not finished in time: a hang
// fails loudly instead of stalling the suite.
struct Watchdog {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::thread thread;
    explicit Watchdog(int seconds) {
        thread = std::thread([this, seconds] {
            std::unique_lock<std::mutex> lock(mutex);
            if (finished.wait_for(lock, std::chrono::seconds(seconds), [this] { return done; }))
                return;
            std::fprintf(stderr, "watchdog: the engine did not answer within %d s\n", seconds);
            std::abort();
        });
    }
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
        }
        finished.notify_all();
        thread.join();
    }
};

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int Count(const std::vector<std::string>& lines, const std::string& prefix) {
    return CountPrefix(lines, prefix);
}

TEST(ThreadsStress, EveryGoEndsWithOneLegalBestMove) {
    Watchdog watchdog(240);
    std::mt19937 rng(20261208);
    std::unique_ptr<EngineSession> session;
    int readyAsked = 0, readySeen = 0;
    static Position pos;
    for (int search = 0; search < Searches; search++) {
        if (!session) {
            session.reset(new EngineSession(Protocol::Ucci));
            ASSERT_TRUE(session->open);
            readyAsked = readySeen = 0;
        }
        EngineSession& engine = *session;
        // The pool and the table change between searches only.
        if (rng() % 3 == 0) engine.Send("setoption threads " + std::to_string(1 + rng() % 8));
        if (rng() % 8 == 0) engine.Send("setoption hashsize " + std::to_string(1 << (rng() % 4)));
        LoadFen(StartFen, pos);
        PlayRandomGame(pos, int(rng() % 80), rng);
        const std::string fen = FenOfPosition(pos);
        const bool noMove = RefLegalMoves(pos).empty();
        engine.Send("position fen " + fen);

        // 0: a depth, 1: a clock, 2: a ponder on a clock, 3: a search that waits for "stop".
        const int kind = int(rng() % 4);
        std::string go;
        if (kind == 0) go = "go depth " + std::to_string(1 + rng() % DeepestGo);
        if (kind == 1) go = "go time " + std::to_string(20 + rng() % 300);
        if (kind == 2)
            go = Shallow ? "go ponder depth 3"
                         : "go ponder time " + std::to_string(20 + rng() % 300);
        if (kind == 3) go = Shallow ? "go ponder depth 2" : "go depth infinite";
        engine.Send(go);
        Pause(int(rng() % 40));
        if (rng() % 3 == 0) {
            engine.Send("isready");
            readyAsked++;
            Pause(int(rng() % 20));
        }
        const bool quit = rng() % 12 == 0;
        if (quit) {
            engine.Send("quit");
        } else if (kind == 2) {
            engine.Send(rng() % 2 ? "ponderhit" : "stop");
        } else if (kind == 3 || rng() % 3 == 0) {
            engine.Send("stop");
        }
        const std::string context = go + " in " + fen;

        std::vector<std::string> lines = engine.ReadUntil("bestmove", 30000);
        ASSERT_FALSE(lines.empty()) << context;
        readySeen += Count(lines, "readyok");
        const std::string& answer = lines.back();
        if (noMove) {
            EXPECT_EQ(answer, "nobestmove") << context;
        } else {
            ASSERT_TRUE(StartsWith(answer, "bestmove ")) << context << ": " << answer;
            EXPECT_TRUE(LegalIn(fen.c_str(), answer)) << context << ": " << answer;
        }
        if (quit) {
            // The engine answers, says goodbye and ends by itself.
            const std::vector<std::string> rest = engine.ReadUntil("bye", 30000);
            ASSERT_FALSE(rest.empty()) << context;
            EXPECT_EQ(rest.back(), "bye") << context;
            EXPECT_EQ(Count(rest, "bestmove") + Count(rest, "nobestmove"), 0) << context;
            EXPECT_EQ(engine.Close(), 0) << context;
            session.reset();
            continue;
        }
        // Nothing more comes: no second best move before every "isready" is answered.
        engine.Send("isready");
        readyAsked++;
        while (readySeen < readyAsked) {
            const std::vector<std::string> more = engine.ReadUntil("readyok", 30000);
            ASSERT_FALSE(more.empty()) << context;
            ASSERT_EQ(more.back(), "readyok") << context;
            EXPECT_EQ(Count(more, "bestmove") + Count(more, "nobestmove"), 0) << context;
            readySeen++;
        }
    }
    if (session) {
        session->Send("quit");
        EXPECT_EQ(session->ReadUntil("bye", 30000).back(), "bye");
        EXPECT_EQ(session->Close(), 0);
    }
}

}  // namespace
