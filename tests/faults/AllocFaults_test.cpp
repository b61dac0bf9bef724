// Every allocation of a load, an import, a save and a merging save failed in
// turn (a counting operator new): the call reports 0 with store and file as
// they were, or 1 with them complete; no exception escapes, no temporary file
// stays. LeakSanitizer (the asan build) sees that nothing leaks.
#include <algorithm>
#include <cstdlib>
#include <new>

#include "tests/faults/FaultScenarios.h"

// The replacements below pair malloc with free on purpose.
#if defined(__GNUC__) && !defined(__clang__)
#  pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

// While armed, counts allocations and throws std::bad_alloc for number failAt.
bool g_armed = false;
std::size_t g_count = 0;
std::size_t g_failAt = SIZE_MAX;

void* Allocate(std::size_t size) {
    if (g_armed && g_count++ == g_failAt) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace qor::faults {
namespace {

// Runs the call with allocation number failAt failing; escaped exceptions
// are reported and counted as a result of -1.
int RunFailingAt(std::size_t failAt, const std::function<int()>& run, std::size_t& made) {
    g_count = 0;
    g_failAt = failAt;
    g_armed = true;
    int result = -1;
    try {
        result = run();
    } catch (...) {
        g_armed = false;
        ADD_FAILURE() << "an exception escaped";
    }
    g_armed = false;
    made = g_count;
    return result;
}

TEST(AllocationFaults, EveryAllocationOfLoadImportAndSaveFailsSafely) {
    for (const char* name : {"LoadFile", "ImportText", "SaveFile", "SaveFile merged"}) {
        SCOPED_TRACE(name);
        const Scenario& scenario = *std::find_if(Scenarios().begin(), Scenarios().end(),
                                                 [name](const Scenario& s) { return std::string(s.name) == name; });
        const World before = WorldBefore(scenario);
        std::size_t count = 0;
        const auto [expected, after] =
            RunScenario(scenario, [&](const std::function<int()>& run) { return RunFailingAt(SIZE_MAX, run, count); });
        ASSERT_EQ(expected, 1);
        ASSERT_NE(before, after);
        ASSERT_GT(count, 0u);
        for (std::size_t at = 0; at < count; ++at) {
            SCOPED_TRACE("allocation " + std::to_string(at));
            std::size_t made = 0;
            const auto [result, world] =
                RunScenario(scenario, [&](const std::function<int()>& run) { return RunFailingAt(at, run, made); });
            if (result == 1) {
                EXPECT_EQ(world, after);
            } else {
                EXPECT_EQ(result, 0);
                EXPECT_EQ(world, before);
            }
        }
    }
}

}  // namespace
}  // namespace qor::faults
