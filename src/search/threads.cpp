// Lazy SMP: helper threads search the main thread's root with their own
// position, stacks, ordering tables and evaluation cache, and meet it only
// in the shared hash table, where what one finds steers the others. The
// helpers are kept parked on a condition variable between searches; the
// main thread alone reads the input, keeps the clock and reports.
//
// Which answer is played: the main thread's, unless a helper's last completed
// iteration proves a shorter win (a mate score above the held one), or, when
// the held answer is no win, went deeper with a score at least as good. The
// helpers are weighed in turn against the answer held so far; a main thread
// that completed no iteration takes the first helper that did.

#include "search/threads.h"

#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "search/clock.h"
#include "search/ordering.h"
#include "search/transposition.h"
#include "search/tree.h"

namespace {

struct Helper {
    SearchState state;  // its hash is a view of the main thread's
    Position pos;
    ThreadAnswer answer;
    int32_t index;  // 1..count - 1
    std::thread thread;
};

bool InitHelperState(SearchState& state, const std::atomic<bool>* stop) {
    if (!InitSearchFields(state)) return false;
    state.helperStop = stop;
    return true;
}

}  // namespace

struct SearchThreads {
    std::mutex mutex;
    std::condition_variable wake;    // a search to join, or the end
    std::condition_variable parked;  // the last helper of a search has stopped
    uint64_t generation = 0;         // searches started
    int32_t searching = 0;           // helpers not yet parked after the latest
    bool quit = false;
    int32_t lastIteration = 0;
    std::atomic<bool> stop{false};
    std::vector<std::unique_ptr<Helper>> helpers;
    std::vector<const NodeCounter*> counters;  // the main thread's first
};

namespace {

// Odd helpers start one ply deeper, so that the threads spread over more
// than one tree; each reads its answer from the root's entry, which a thread
// as deep or deeper may have written.
void SearchAsHelper(Helper& helper, int32_t last) {
    SearchState& state = helper.state;
    Position& pos = helper.pos;
    state.stopped = false;
    ClearEvalCache(state.evalCache);
    // As the main thread does: the classic search forgets everything, the
    // modern one keeps its history, aged.
    if (state.profile == ProfileModern) {
        ClearKillers(state.ordering);
        AgeModernHistory(state.modern);
        state.modern.nullMovesFromPly = 0;
    } else {
        ClearOrderingTables(state.ordering);
    }
    helper.answer = ThreadAnswer{0, 0, 0};
    for (int32_t d = 1 + (helper.index & 1); d <= last; d++) {
        // Shallow iterations never poll: a helper that wakes late, or ends
        // one after the main thread has, looks here.
        if (state.helperStop->load(std::memory_order_relaxed)) break;
        state.rootDepth = d;
        pos.Ply = 0;
        const int16_t score = state.profile == ProfileModern
                                  ? SearchRoot<ProfileModern>(state, pos, int8_t(d))
                                  : SearchRoot<ProfileClassic>(state, pos, int8_t(d));
        if (state.stopped) break;
        HashEntry entry;
        if (ProbeHash(state.hash, pos, entry) && entry.bound == BoundExact && entry.depth >= d)
            helper.answer = ThreadAnswer{entry.move, entry.value, entry.depth};
        if (IsMateScore(score) || (state.nodeLimit && state.nodes >= state.nodeLimit)) break;
    }
}

void RunHelper(SearchThreads& threads, Helper& helper) {
    uint64_t seen = 0;
    for (;;) {
        int32_t last;
        {
            std::unique_lock<std::mutex> lock(threads.mutex);
            threads.wake.wait(lock, [&] { return threads.quit || threads.generation != seen; });
            if (threads.quit) return;
            seen = threads.generation;
            last = threads.lastIteration;
        }
        SearchAsHelper(helper, last);
        std::lock_guard<std::mutex> lock(threads.mutex);
        if (--threads.searching == 0) threads.parked.notify_all();
    }
}

}  // namespace

bool PreferredAnswer(const ThreadAnswer& candidate, const ThreadAnswer& held) {
    if (candidate.depth == 0 || candidate.move == 0) return false;
    if (held.depth == 0) return true;
    if (candidate.score >= MateThreshold) return candidate.score > held.score;
    if (held.score >= MateThreshold) return false;
    return candidate.depth > held.depth && candidate.score >= held.score;
}

void SearchThreadsRelease::operator()(SearchThreads* threads) const {
    {
        std::lock_guard<std::mutex> lock(threads->mutex);
        threads->quit = true;
    }
    threads->wake.notify_all();
    for (auto& helper : threads->helpers)
        if (helper->thread.joinable()) helper->thread.join();
    delete threads;
}

int32_t SearchThreadCount(const SearchState& state) {
    return state.threads ? int32_t(state.threads->helpers.size()) + 1 : 1;
}

size_t HelperThreadBytes() {
    return sizeof(Helper) + EvalCacheSlots * sizeof(EvalSlot) +
           sizeof(int16_t) * size_t(PieceTargets) * PieceTargets;
}

bool SetSearchThreads(SearchState& state, int32_t count) {
    if (count < 1) count = 1;
    if (count > MaxSearchThreads) count = MaxSearchThreads;
    if (count == SearchThreadCount(state)) return true;
    state.threads.reset();
    state.nodes.group = nullptr;
    state.nodes.groupSize = 0;
    if (count == 1) return true;

    std::unique_ptr<SearchThreads, SearchThreadsRelease> threads(new (std::nothrow) SearchThreads);
    if (!threads) return false;
    threads->helpers.reserve(size_t(count - 1));
    threads->counters.reserve(size_t(count));
    threads->counters.push_back(&state.nodes);
    for (int32_t i = 1; i < count; i++) {
        std::unique_ptr<Helper> helper(new (std::nothrow) Helper);
        if (!helper || !InitHelperState(helper->state, &threads->stop)) return false;
        helper->index = i;
        helper->answer = ThreadAnswer{0, 0, 0};
        threads->counters.push_back(&helper->state.nodes);
        threads->helpers.push_back(std::move(helper));
    }
    state.nodes.group = threads->counters.data();
    state.nodes.groupSize = count;
    for (auto& helper : threads->helpers) {
        helper->state.nodes.group = threads->counters.data();
        helper->state.nodes.groupSize = count;
        helper->thread = std::thread(RunHelper, std::ref(*threads), std::ref(*helper));
    }
    state.threads = std::move(threads);
    return true;
}

void StartHelpers(SearchState& state, const Position& pos, const SearchLimits& limits) {
    if (!state.threads) return;
    SearchThreads& threads = *state.threads;
    {
        std::lock_guard<std::mutex> lock(threads.mutex);
        threads.stop.store(false, std::memory_order_relaxed);
        threads.lastIteration = LastIteration(limits.maxDepth);
        for (auto& helper : threads.helpers) {
            SearchState& s = helper->state;
            // The main thread's table, which a resize may have moved.
            s.hash.buckets = std::unique_ptr<HashBucket[], HashMemoryRelease>(
                state.hash.buckets.get(), HashMemoryRelease{false});
            s.hash.mask = state.hash.mask;
            s.hash.generation = state.hash.generation;
            s.options = state.options;
            s.bans = state.bans;
            s.root.allowedCount = state.root.allowedCount;
            for (int32_t i = 0; i < state.root.allowedCount; i++)
                s.root.allowed[i] = state.root.allowed[i];
            s.root.excludedCount = 0;
            // A change of profile starts the helper's learning afresh, as
            // the main thread's new game does.
            if (s.profile != state.profile) ClearModernHistory(s.modern);
            s.profile = state.profile;
            s.parameters = state.parameters;
            s.modern.mateMoves = state.modern.mateMoves;
            s.modern.rootQuietPlies = state.modern.rootQuietPlies;
            s.nodeLimit = limits.nodes;
            s.nodes = 0;
            helper->pos = pos;
        }
        threads.searching = int32_t(threads.helpers.size());
        threads.generation++;
    }
    threads.wake.notify_all();
}

void FinishHelpers(SearchState& state, Position& pos, SearchAnswer& answer, int64_t start) {
    if (!state.threads) return;
    SearchThreads& threads = *state.threads;
    threads.stop.store(true, std::memory_order_relaxed);
    {
        std::unique_lock<std::mutex> lock(threads.mutex);
        threads.parked.wait(lock, [&] { return threads.searching == 0; });
    }
    ThreadAnswer held{answer.best, answer.score, answer.depth};
    bool fromHelper = false;
    for (const auto& helper : threads.helpers)
        if (PreferredAnswer(helper->answer, held)) {
            held = helper->answer;
            fromHelper = true;
        }
    if (held.depth == 0) return;
    // A helper's deeper entry may hold the root: the answer chosen is kept there.
    ReplaceHashEntry(state.hash, pos, held.move, held.score, int8_t(held.depth), BoundExact);
    if (!fromHelper) return;
    answer.best = held.move;
    answer.score = held.score;
    answer.bound = ScoreExact;
    answer.depth = held.depth;
    DrawPrincipalVariation(state.hash, pos, answer.pv);
    const SearchReporter* reporter = state.reporter;
    if (reporter && reporter->iteration) {
        const IterationReport report{true,
                                     held.depth,
                                     held.score,
                                     ScoreExact,
                                     ElapsedSince(start),
                                     state.nodes,
                                     answer.pv,
                                     held.depth,
                                     1,
                                     HashFullPerMille(state.hash, state.profile == ProfileModern)};
        reporter->iteration(reporter->context, report);
    }
}
