// The ESC conversation as one table: for each step of each exchange, what a byte does. Rows
// are tried in order; the first whose step, byte and guard fit is taken. A row with a reason
// differs from the designed exchanges (a mend, or a case the design leaves open); the rest are
// the designed exchanges themselves. Actions and guards live in LinkActions.cpp.
#include "LinkBase.h"

namespace corvane {

namespace {

using Match = LinkBase::ByteMatch;
using namespace esc;
using enum Step;

constexpr Match kStart{Match::kStart};
constexpr Match kAnyByte{Match::kAny};
constexpr Match On(uint8_t byte) {
    return {Match::kByte, byte, byte};
}
constexpr Match Either(uint8_t a, uint8_t b) {
    return {Match::kEither, a, b};
}

// The identify's and the keep-alive's steps, where a row serves both.
constexpr LinkBase::Where kBothStart{IdentifyStart, KeepAliveStart};
constexpr LinkBase::Where kBothAwaitTag{IdentifyAwaitTag, KeepAliveAwaitTag};
constexpr LinkBase::Where kBothInField{IdentifyInField, KeepAliveInField};

// Whether the byte restarts the byte timer. A byte that plays no part leaves it running, or a
// stream of noise would hold an exchange open for ever.
constexpr bool kCounts = true;
constexpr bool kRunsOn = false;

} // namespace

#define IF(name) &LinkBase::name, #name
#define ALWAYS nullptr, ""
#define DO(name) &LinkBase::name, #name

// clang-format off
const LinkBase::Row LinkBase::kRows[] = {
 // In step              byte                        only if                  do                       then              timer
 // Greeting.
 {{GreetingWait},        On(kGoOn),                  ALWAYS,                  DO(AnswerGoOn),          Idle,             kCounts},
 {{GreetingWait},        On(kGreeting),              ALWAYS,                  DO(AnswerGreeting),      GreetingAnswered, kCounts},
 {{GreetingWait},        kAnyByte,                   ALWAYS,                  DO(Nothing),             Stay,             kCounts},
 {{GreetingAnswered},    On(kClose),                 ALWAYS,                  DO(PostGreeting),        Idle,             kCounts},
 {{GreetingAnswered},    On(kGoOn),                  ALWAYS,                  DO(Nothing),             Idle,             kCounts},
 {{GreetingAnswered},    kAnyByte,                   ALWAYS,                  DO(Nothing),             Stay,             kCounts},
 {{EscRejected},         kAnyByte,                   ALWAYS,                  DO(Nothing),             Stay,             kCounts,
  "a refused ESC is not greeted: it is left alone until it has been silent for the byte timeout, then greeted afresh"},

 // Identify and keep-alive. A row that moves to an identify step moves the keep-alive to its own.
 {kBothStart,            kStart,                     ALWAYS,                  DO(RequestIdentity),     IdentifyAwaitTag, kCounts},
 {{KeepAliveAwaitTag},   On(kEnd),                   IF(AnotherIdentity),     DO(EscRestarted),        Stay,             kCounts,
  "a keep-alive must bring back the identity on record word for word: another one is identified afresh"},
 {kBothAwaitTag,         On(kEnd),                   IF(PastLastField),       DO(TakeIdentity),        Idle,             kCounts,
  "the end counts only once every announced field is in"},
 {{KeepAliveAwaitTag},   On(kGreeting),              IF(PastLastField),       DO(EscRestarted),        Stay,             kCounts,
  "an ESC that restarted greets where the keep-alive's end should come"},
 {kBothAwaitTag,         kAnyByte,                   IF(PastLastField),       DO(Nothing),             Stay,             kRunsOn,
  "past the last field only the end may come: other bytes play no part"},
 {{KeepAliveAwaitTag},   kAnyByte,                   IF(AnotherFieldCount),   DO(EscRestarted),        Stay,             kCounts,
  "a field count other than the one on record is another ESC, or one that restarted"},
 {kBothAwaitTag,         kAnyByte,                   IF(CountDue),            DO(TakeFieldCount),      Stay,             kCounts},
 {kBothAwaitTag,         Either(kModelTag, kVersionTag), ALWAYS,              DO(BeginField),          IdentifyInField,  kCounts},
 {kBothAwaitTag,         kAnyByte,                   ALWAYS,                  DO(Nothing),             Stay,             kRunsOn,
  "a byte that plays no part (an unknown tag, noise) leaves the byte timer running"},
 {{IdentifyInField},     kAnyByte,                   IF(LastOfFieldMoreDue),  DO(AskNextField),        IdentifyAwaitTag, kCounts},
 {{KeepAliveInField},    kAnyByte,                   IF(LastOfFieldMoreDue),  DO(AskNextField),        IdentifyAwaitTag, kCounts,
  "the keep-alive asks for every field, not only the first: it compares the whole identity"},
 {kBothInField,          kAnyByte,                   IF(LastOfField),         DO(StoreLastField),      IdentifyAwaitTag, kCounts},
 {kBothInField,          kAnyByte,                   ALWAYS,                  DO(StoreFieldByte),      Stay,             kCounts},

 // Parameter read.
 {{ReadStart},           kStart,                     ALWAYS,                  DO(RequestRead),         ReadAwaitReply,   kCounts},
 {{ReadAwaitReply},      On(kReadReply),             ALWAYS,                  DO(Nothing),             ReadInBlock,      kCounts},
 {{ReadAwaitReply},      On(kGoOn),                  ALWAYS,                  DO(SendReadCommand),     Stay,             kCounts},
 {{ReadAwaitReply},      kAnyByte,                   ALWAYS,                  DO(RefuseRead),          Stay,             kRunsOn,
  "a refusal leaves the byte timer running, so a stream of them still times out; its notice says the read goes on"},
 {{ReadInBlock},         kAnyByte,                   IF(LeadByteDue),         DO(TakeLeadByte),        Stay,             kCounts},
 {{ReadInBlock},         kAnyByte,                   IF(BlockByteDue),        DO(StoreBlockByte),      Stay,             kCounts},
 {{ReadInBlock},         kAnyByte,                   IF(CheckByteDue),        DO(StoreCheckByte),      Stay,             kCounts},
 {{ReadInBlock},         On(kEnd),                   ALWAYS,                  DO(JudgeRead),           Idle,             kCounts},
 {{ReadInBlock},         kAnyByte,                   ALWAYS,                  DO(Nothing),             Stay,             kRunsOn,
  "a byte after the check that is not the end plays no part: the byte timer runs on"},

 // Block write.
 {{WriteStart},          kStart,                     IF(FrameReady),          DO(RequestWrite),        WriteHeader,      kCounts},
 {{WriteStart},          kStart,                     ALWAYS,                  DO(DropUnframedBlock),   Idle,             kCounts},
 {{WriteHeader},         On(kGoOn),                  IF(LastHeaderByteDue),   DO(SendHeaderByte),      WriteBody,        kCounts,
  "the go-on also confirms the previous block: its acceptance stands once the ESC answers the next request"},
 {{WriteHeader},         On(kGoOn),                  IF(HeaderByteDue),       DO(SendHeaderByte),      Stay,             kCounts,
  "the go-on also confirms the previous block: its acceptance stands once the ESC answers the next request"},
 {{WriteHeader},         On(kGoOn),                  ALWAYS,                  DO(ConfirmPreviousBlock), Stay,            kRunsOn,
  "a go-on with no frame left (dropped after a refused header byte) sends nothing; the byte timer runs on"},
 {{WriteHeader},         kAnyByte,                   ALWAYS,                  DO(FailHeader),          Stay,             kRunsOn,
  "a header byte's refusal leaves the byte timer running: the write still times out"},
 {{WriteBody},           On(kGreeting),              ALWAYS,                  DO(DoubtVerdict),        Stay,             kRunsOn,
  "an ESC that greets before its verdict may have restarted and lost the block: no verdict after it counts"},
 {{WriteBody},           On(kGoOn),                  IF(BodyQueued),          DO(DoubtVerdict),        Stay,             kRunsOn,
  "the body goes out once, and a second go-on may be a restarted ESC's greeting: no verdict after it counts"},
 {{WriteBody},           On(kGoOn),                  IF(VerdictInDoubt),      DO(Nothing),             Stay,             kRunsOn,
  "after a greeting no body goes out: the ESC that greeted would read it as commands"},
 {{WriteBody},           Either(kAccepted, kRefused), IF(VerdictInDoubt),     DO(FailBlock),           Idle,             kCounts,
  "a verdict after a second go-on may not be this block's: the transfer fails"},
 {{WriteBody},           On(kGoOn),                  ALWAYS,                  DO(SendBody),            Stay,             kCounts},
 {{WriteBody},           On(kAccepted),              IF(BodyGone),            DO(AcceptBlock),         Idle,             kCounts,
  "write-done waits for the acceptance watch: the ESC must stay quiet after its acceptance"},
 {{WriteBody},           On(kAccepted),              ALWAYS,                  DO(Nothing),             Stay,             kRunsOn,
  "an acceptance before the whole frame has gone to the dongle cannot be this block's"},
 {{WriteBody},           On(kRefused),               IF(RetriesLeft),         DO(RequeueBlock),        Idle,             kCounts,
  "the block goes again only if nothing contradicts the refusal before the ESC answers the next request"},
 {{WriteBody},           On(kRefused),               ALWAYS,                  DO(FailBlock),           Idle,             kCounts},
 {{WriteBody},           kAnyByte,                   ALWAYS,                  DO(Nothing),             Stay,             kRunsOn,
  "a byte that plays no part leaves the byte timer running"},
};
// clang-format on

#undef IF
#undef ALWAYS
#undef DO

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
