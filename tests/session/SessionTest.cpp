// The adversarial session over a sweep of seeds. CORVANE_SESSION_SEED is the first seed
// (default 1), CORVANE_SESSION_SEEDS how many (default 100); each seed makes one event script.
// A failure names its oracle and prints the command that replays it. CORVANE_SESSION_WRITE names
// a folder to write each seed's script to, as an input for fuzz_session.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "Session.h"

using namespace corvane::test;

namespace {

long EnvLong(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atol(value) : fallback;
}

std::vector<uint8_t> ScriptFor(unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> script(300 + rng() % 600);
    for (uint8_t& byte : script) {
        byte = static_cast<uint8_t>(rng());
    }
    return script;
}

} // namespace

TEST(Session, SeedSweep) {
    const auto first = static_cast<unsigned>(EnvLong("CORVANE_SESSION_SEED", 1));
    const long seeds = EnvLong("CORVANE_SESSION_SEEDS", 100);
    const char* writeTo = std::getenv("CORVANE_SESSION_WRITE");
    Session::Stats total;
    int failures = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < seeds && failures < 3; ++i) {
        const unsigned seed = first + static_cast<unsigned>(i);
        const std::vector<uint8_t> script = ScriptFor(seed);
        if (writeTo != nullptr) {
            std::ofstream(std::string(writeTo) + "/seed-" + std::to_string(seed), std::ios::binary)
                .write(reinterpret_cast<const char*>(script.data()),
                       static_cast<std::streamsize>(script.size()));
        }
        Session session(script);
        if (!session.Run()) {
            ++failures;
            ADD_FAILURE() << "seed " << seed << ": " << session.Failure()
                          << "\nreplay: CORVANE_SESSION_SEED=" << seed
                          << " CORVANE_SESSION_SEEDS=1 " << testing::internal::GetArgvs()[0]
                          << " --gtest_filter=Session.SeedSweep";
        }
        total += session.Figures();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("session: %ld seeds from %u, %ld events (%.0f a second), %ld faults, %ld "
                "restarts or swaps; writes %ld completed, %ld failed; firmware %ld completed, "
                "%ld failed\n",
                seeds, first, total.events, total.events / seconds, total.faults, total.restarts,
                total.writesDone, total.writesFailed, total.flashesDone, total.flashesFailed);
}
