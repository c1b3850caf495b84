// The ESC conversation as one table: for each step of each exchange, what a byte does. Rows
// are tried in order; the first whose step, byte and guard fit is taken. A row with a reason
// differs from the designed exchanges (a mend, or a case the design leaves open); the rest are
// the designed exchanges themselves. Actions and guards live in LinkActions.cpp.
#include "LinkBase.h"

namespace corvane {

namespace {

using Match = LinkBase::ByteMatch;
constexpr Match kStart{Match::kStart};
constexpr Match kAnyByte{Match::kAny};
constexpr Match On(uint8_t byte) {
    return {Match::kByte, byte, byte};
}
constexpr Match Either(uint8_t a, uint8_t b) {
    return {Match::kEither, a, b};
}

// Whether the byte restarts the byte timer. A byte that plays no part leaves it running, or a
// stream of noise would hold an exchange open for ever.
constexpr bool kCounts = true;
constexpr bool kRunsOn = false;
constexpr LinkBase::Guard kAlways = nullptr;

#define GUARD(name) &LinkBase::name, #name
#define ALWAYS kAlways, ""
#define ACT(name) &LinkBase::name, #name

} // namespace

using enum Step;

const LinkBase::Row LinkBase::kRows[] = {
    // Greeting.
    {{GreetingWait, Stay}, On(esc::kGoOn), ALWAYS, ACT(AnswerGoOn), Idle, kCounts, nullptr},
    {{GreetingWait, Stay},
     On(esc::kGreeting),
     ALWAYS,
     ACT(AnswerGreeting),
     GreetingAnswered,
     kCounts,
     nullptr},
    {{GreetingWait, Stay}, kAnyByte, ALWAYS, ACT(Nothing), Stay, kCounts, nullptr},
    {{GreetingAnswered, Stay}, On(esc::kClose), ALWAYS, ACT(PostGreeting), Idle, kCounts, nullptr},
    {{GreetingAnswered, Stay}, On(esc::kGoOn), ALWAYS, ACT(Nothing), Idle, kCounts, nullptr},
    {{GreetingAnswered, Stay}, kAnyByte, ALWAYS, ACT(Nothing), Stay, kCounts, nullptr},
    {{EscRejected, Stay},
     kAnyByte,
     ALWAYS,
     ACT(Nothing),
     Stay,
     kCounts,
     "a refused ESC is not greeted: it is left alone until it has been silent for the byte "
     "timeout, and greeted afresh after that"},

    // Identify and keep-alive.
    {{IdentifyStart, KeepAliveStart},
     kStart,
     ALWAYS,
     ACT(RequestIdentity),
     IdentifyAwaitTag,
     kCounts,
     nullptr},
    {{KeepAliveAwaitTag, Stay},
     On(esc::kEnd),
     GUARD(AnotherIdentity),
     ACT(EscRestarted),
     Stay,
     kCounts,
     "a keep-alive must bring back the identity on record word for word: another one (another "
     "ESC, other firmware, noise in the reply) is greeted and identified afresh"},
    {{IdentifyAwaitTag, KeepAliveAwaitTag},
     On(esc::kEnd),
     GUARD(PastLastField),
     ACT(TakeIdentity),
     Idle,
     kCounts,
     "the end counts only once every announced field is in"},
    {{KeepAliveAwaitTag, Stay},
     On(esc::kGreeting),
     GUARD(PastLastField),
     ACT(EscRestarted),
     Stay,
     kCounts,
     "an ESC that restarted greets where the keep-alive's end should come"},
    {{IdentifyAwaitTag, KeepAliveAwaitTag},
     kAnyByte,
     GUARD(PastLastField),
     ACT(Nothing),
     Stay,
     kRunsOn,
     "past the last field only the end may come: other bytes play no part"},
    {{KeepAliveAwaitTag, Stay},
     kAnyByte,
     GUARD(AnotherFieldCount),
     ACT(EscRestarted),
     Stay,
     kCounts,
     "a field count other than the one on record is another ESC, or one that restarted"},
    {{IdentifyAwaitTag, KeepAliveAwaitTag},
     kAnyByte,
     GUARD(CountDue),
     ACT(TakeFieldCount),
     Stay,
     kCounts,
     nullptr},
    {{IdentifyAwaitTag, KeepAliveAwaitTag},
     Either(esc::kModelTag, esc::kVersionTag),
     ALWAYS,
     ACT(BeginField),
     IdentifyInField,
     kCounts,
     nullptr},
    {{IdentifyAwaitTag, KeepAliveAwaitTag},
     kAnyByte,
     ALWAYS,
     ACT(Nothing),
     Stay,
     kRunsOn,
     "a byte that plays no part (an unknown tag, noise) leaves the byte timer running"},
    {{IdentifyInField, Stay},
     kAnyByte,
     GUARD(LastOfFieldMoreDue),
     ACT(AskNextField),
     IdentifyAwaitTag,
     kCounts,
     nullptr},
    {{KeepAliveInField, Stay},
     kAnyByte,
     GUARD(LastOfFieldMoreDue),
     ACT(AskNextField),
     IdentifyAwaitTag,
     kCounts,
     "the keep-alive asks for every field, not only the first: it compares the whole identity"},
    {{IdentifyInField, KeepAliveInField},
     kAnyByte,
     GUARD(LastOfField),
     ACT(StoreLastField),
     IdentifyAwaitTag,
     kCounts,
     nullptr},
    {{IdentifyInField, KeepAliveInField},
     kAnyByte,
     ALWAYS,
     ACT(StoreFieldByte),
     Stay,
     kCounts,
     nullptr},

    // Parameter read.
    {{ReadStart, Stay}, kStart, ALWAYS, ACT(RequestRead), ReadAwaitReply, kCounts, nullptr},
    {{ReadAwaitReply, Stay},
     On(esc::kReadReply),
     ALWAYS,
     ACT(Nothing),
     ReadInBlock,
     kCounts,
     nullptr},
    {{ReadAwaitReply, Stay}, On(esc::kGoOn), ALWAYS, ACT(SendReadCommand), Stay, kCounts, nullptr},
    {{ReadAwaitReply, Stay},
     kAnyByte,
     ALWAYS,
     ACT(RefuseRead),
     Stay,
     kRunsOn,
     "a refusal leaves the byte timer running, so a stream of them still times out; its notice "
     "says that the read goes on"},
    {{ReadInBlock, Stay}, kAnyByte, GUARD(LeadByteDue), ACT(TakeLeadByte), Stay, kCounts, nullptr},
    {{ReadInBlock, Stay},
     kAnyByte,
     GUARD(BlockByteDue),
     ACT(StoreBlockByte),
     Stay,
     kCounts,
     nullptr},
    {{ReadInBlock, Stay},
     kAnyByte,
     GUARD(CheckByteDue),
     ACT(StoreCheckByte),
     Stay,
     kCounts,
     nullptr},
    {{ReadInBlock, Stay}, On(esc::kEnd), ALWAYS, ACT(JudgeRead), Idle, kCounts, nullptr},
    {{ReadInBlock, Stay},
     kAnyByte,
     ALWAYS,
     ACT(Nothing),
     Stay,
     kRunsOn,
     "a byte after the check that is not the end plays no part: the byte timer runs on"},

    // Block write.
    {{WriteStart, Stay},
     kStart,
     GUARD(FrameReady),
     ACT(RequestWrite),
     WriteHeader,
     kCounts,
     nullptr},
    {{WriteStart, Stay}, kStart, ALWAYS, ACT(DropUnframedBlock), Idle, kCounts, nullptr},
    {{WriteHeader, Stay},
     On(esc::kGoOn),
     GUARD(LastHeaderByteDue),
     ACT(SendHeaderByte),
     WriteBody,
     kCounts,
     "the go-on also confirms the previous block: its acceptance stands once the ESC answers "
     "the next request"},
    {{WriteHeader, Stay},
     On(esc::kGoOn),
     GUARD(HeaderByteDue),
     ACT(SendHeaderByte),
     Stay,
     kCounts,
     "the go-on also confirms the previous block: its acceptance stands once the ESC answers "
     "the next request"},
    {{WriteHeader, Stay},
     On(esc::kGoOn),
     ALWAYS,
     ACT(ConfirmPreviousBlock),
     Stay,
     kRunsOn,
     "a go-on with no frame left (dropped after a refused header byte) sends nothing, and the "
     "byte timer runs on"},
    {{WriteHeader, Stay},
     kAnyByte,
     ALWAYS,
     ACT(FailHeader),
     Stay,
     kRunsOn,
     "a header byte's refusal leaves the byte timer running: the write still times out"},
    {{WriteBody, Stay},
     On(esc::kGreeting),
     ALWAYS,
     ACT(LoseBlockToRestart),
     Stay,
     kCounts,
     "an ESC that greets before its verdict restarted and lost the block: no acceptance after "
     "the greeting is this block's"},
    {{WriteBody, Stay},
     On(esc::kGoOn),
     GUARD(BodyQueued),
     ACT(DoubtVerdict),
     Stay,
     kRunsOn,
     "the body goes out once: a second go-on would send it to an ESC that may have left the "
     "frame. It may be a restarted ESC's greeting: no verdict after it counts"},
    {{WriteBody, Stay},
     Either(esc::kAccepted, esc::kRefused),
     GUARD(VerdictInDoubt),
     ACT(FailBlock),
     Idle,
     kCounts,
     "a verdict after a second go-on may not be this block's: the transfer fails"},
    {{WriteBody, Stay}, On(esc::kGoOn), ALWAYS, ACT(SendBody), Stay, kCounts, nullptr},
    {{WriteBody, Stay},
     On(esc::kAccepted),
     GUARD(BodyGone),
     ACT(AcceptBlock),
     Idle,
     kCounts,
     "write-done waits for the acceptance watch: the ESC must stay quiet after its acceptance"},
    {{WriteBody, Stay},
     On(esc::kAccepted),
     ALWAYS,
     ACT(Nothing),
     Stay,
     kRunsOn,
     "an acceptance before the whole frame has gone to the dongle cannot be this block's"},
    {{WriteBody, Stay},
     On(esc::kRefused),
     GUARD(RetriesLeft),
     ACT(RequeueBlock),
     Idle,
     kCounts,
     "the block goes again only if nothing contradicts the refusal before the ESC answers the "
     "next request: a stray refusal may stand ahead of an acceptance"},
    {{WriteBody, Stay}, On(esc::kRefused), ALWAYS, ACT(FailBlock), Idle, kCounts, nullptr},
    {{WriteBody, Stay},
     kAnyByte,
     ALWAYS,
     ACT(Nothing),
     Stay,
     kRunsOn,
     "a byte that plays no part leaves the byte timer running"},
};

#undef GUARD
#undef ALWAYS
#undef ACT

bool LinkBase::ByteMatch::Matches(const uint8_t* byte) const {
    if (kind == kStart || byte == nullptr) {
        return kind == kStart && byte == nullptr;
    }
    return kind == kAny || *byte == a || *byte == b;
}

std::span<const LinkBase::Row> LinkBase::Table() {
    return kRows;
}

void LinkBase::Feed(const uint8_t* byte) {
    const Step at = m_Step.load();
    if (byte != nullptr) {
        m_byRx = *byte;
    }
    for (const Row& row : kRows) {
        if (!row.Covers(at) || !row.on.Matches(byte) ||
            (row.guard != nullptr && !(this->*row.guard)())) {
            continue;
        }
        if (row.counts) {
            StartRxTimer(Now());
        }
        if (row.next != Step::Stay) {
            GoTo(Within(row.next, at));
        }
        (this->*row.action)();
        return;
    }
}

} // namespace corvane
