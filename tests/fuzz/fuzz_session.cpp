// The adversarial session with the fuzzer's input as its event script: the real link engine
// and connection controller over the simulated dongle and ESC, under the session's oracles.
// A broken oracle aborts with its name; the input file replays it.
#include <cstdio>
#include <cstdlib>

#include <QCoreApplication>

#include "Session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_session";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    corvane::test::Session session({data, data + size});
    if (!session.Run()) {
        std::fprintf(stderr, "fuzz_session: %s\n", session.Failure().c_str());
        std::abort();
    }
    return 0;
}
