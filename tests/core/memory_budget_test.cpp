// The budget the workers of a command share: who is served at once, who
// waits, and that giving bytes back lets the waiting run.
#include "core/memory_budget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>
#include <vector>

using namespace grelm;

namespace {

// A request made on a thread of its own, so that the test can see it wait.
struct Request {
    Request(MemoryBudget &budget, std::uint64_t bytes)
        : thread([this, &budget, bytes] {
              budget.acquire(bytes);
              served = true;
          })
    {
    }
    ~Request() { thread.join(); }
    std::atomic<bool> served{false};
    std::thread thread;
};

// Lets the thread of each request made so far reach its wait or be served.
void settle(const MemoryBudget &budget, std::uint64_t unserved, const std::vector<Request *> &all)
{
    auto served = [&] { std::uint64_t n = 0; for (Request *r : all) n += r->served; return n; };
    while (budget.waiting() != unserved || served() + unserved != all.size())
        std::this_thread::yield();
}

} // namespace

TEST(MemoryBudget, ServesInTurnWhenThereIsRoomOrNothingIsHeld)
{
    struct Row {
        const char *what;
        std::vector<std::uint64_t> held;  // held before, given back one by one
        std::optional<std::uint64_t> ahead; // a request already waiting
        std::uint64_t bytes;
        bool atOnce;
    };
    const Row rows[] = {
        {"fits beside what is held", {30, 30}, {}, 40, true},
        {"waits for room", {30, 30}, {}, 41, false},
        {"larger than the budget, nothing held: runs alone", {}, {}, 250, true},
        {"larger than the budget waits until nothing is held", {1}, {}, 250, false},
        {"a small request waits behind an earlier large one", {60}, 50, 10, false},
        {"nothing requested", {100}, {}, 0, true},
    };
    for (const Row &r : rows) {
        MemoryBudget budget(100);
        for (const std::uint64_t h : r.held)
            budget.acquire(h);
        std::optional<Request> ahead;
        std::vector<Request *> all;
        if (r.ahead) {
            ahead.emplace(budget, *r.ahead);
            all.push_back(&*ahead);
            settle(budget, 1, all);
        }
        Request request(budget, r.bytes);
        all.push_back(&request);
        settle(budget, r.atOnce ? all.size() - 1 : all.size(), all);
        EXPECT_EQ(request.served, r.atOnce) << r.what;
        for (const std::uint64_t h : r.held)
            budget.release(h);
        settle(budget, 0, all);
        EXPECT_TRUE(request.served) << r.what;
        EXPECT_EQ(budget.held(), r.bytes + r.ahead.value_or(0)) << r.what;
    }
}
