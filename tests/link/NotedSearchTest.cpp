// Searches the window notes while the worker is busy: none waits for a later event, and a run
// of them folds into one that answers the newest.
#include "RecordingSink.h"
#include "ScriptFixture.h"

using namespace corvane;
using namespace corvane::test;

namespace {

// The window hears of the dongle's arrival while the worker's first search runs.
class ArrivalDuringOpen : public ScriptPort {
public:
    bool Open() override {
        EXPECT_TRUE(NoteArrival("/dev/hidraw7", 7));
        return ScriptPort::Open();
    }
};

} // namespace

TEST(NotedSearch, OneNotedDuringTheFirstSearchIsMadeAtStartUp) {
    ArrivalDuringOpen port;
    KVALinkCore link(&port);
    RecordingSink sink;
    link.SetNotifySink(&sink);
    link.BeginWorker();
    EXPECT_EQ(sink.Count(LN_DONGLE_SEARCHED), 2);
    EXPECT_EQ(sink.Notes().back().value >> kSearchTagShift, 7u);
    EXPECT_FALSE(port.TakeNotedSearch()) << "nothing left waiting for the dongle's removal";
}

TEST(NotedSearch, AFoldedWalkAnswersTheNewestNotice) {
    ScriptPort port;
    for (uint32_t tag : {0u, 1u, 2u}) {
        ASSERT_TRUE(port.NoteSearch(tag));
    }
    const auto walk = port.TakeNotedSearch();
    ASSERT_TRUE(walk && walk->wholeWalk);
    EXPECT_EQ(walk->tag, 2u);
    EXPECT_FALSE(port.TakeNotedSearch());
}
