// The exchanges' table held against the protocol's designed exchanges: every designed
// transition is in it, and every row that is not one of them says why.
#include <gtest/gtest.h>

#include <string>

#include "LinkBase.h"

using namespace corvane;

namespace {

constexpr int kStartOf = -1; // the start of the exchange (no byte)
constexpr int kAny = -2;     // any other byte

struct Designed {
    Step at;
    int byte;
    const char* guard; // "" for none
    const char* action;
    Step next;
};

using enum Step;

// The greeting, identify, read and write exchanges as designed. Identify rows hold for the
// keep-alive too; in the design every byte restarts the byte timer.
const Designed kDesigned[] = {
    {GreetingWait, 0xF7, "", "AnswerGoOn", Idle},
    {GreetingWait, 0x13, "", "AnswerGreeting", GreetingAnswered},
    {GreetingWait, kAny, "", "Nothing", Stay},
    {GreetingAnswered, 0xFA, "", "PostGreeting", Idle},
    {GreetingAnswered, 0xF7, "", "Nothing", Idle},
    {GreetingAnswered, kAny, "", "Nothing", Stay},
    {IdentifyStart, kStartOf, "", "RequestIdentity", IdentifyAwaitTag},
    {IdentifyAwaitTag, kAny, "CountDue", "TakeFieldCount", Stay},
    {IdentifyAwaitTag, 0x11, "", "BeginField", IdentifyInField},
    {IdentifyAwaitTag, 0x13, "", "BeginField", IdentifyInField},
    {IdentifyAwaitTag, 0xF1, "", "TakeIdentity", Idle},
    {IdentifyAwaitTag, kAny, "", "Nothing", Stay},
    {IdentifyInField, kAny, "LastOfFieldMoreDue", "AskNextField", IdentifyAwaitTag},
    {IdentifyInField, kAny, "LastOfField", "StoreLastField", IdentifyAwaitTag},
    {IdentifyInField, kAny, "", "StoreFieldByte", Stay},
    {ReadStart, kStartOf, "", "RequestRead", ReadAwaitReply},
    {ReadAwaitReply, 0x65, "", "Nothing", ReadInBlock},
    {ReadAwaitReply, 0xF7, "", "SendReadCommand", Stay},
    {ReadAwaitReply, kAny, "", "RefuseRead", Stay},
    {ReadInBlock, kAny, "LeadByteDue", "TakeLeadByte", Stay},
    {ReadInBlock, kAny, "BlockByteDue", "StoreBlockByte", Stay},
    {ReadInBlock, kAny, "CheckByteDue", "StoreCheckByte", Stay},
    {ReadInBlock, 0xF1, "", "JudgeRead", Idle},
    {ReadInBlock, kAny, "", "Nothing", Stay},
    {WriteStart, kStartOf, "FrameReady", "RequestWrite", WriteHeader},
    {WriteStart, kStartOf, "", "DropUnframedBlock", Idle},
    {WriteHeader, 0xF7, "LastHeaderByteDue", "SendHeaderByte", WriteBody},
    {WriteHeader, 0xF7, "HeaderByteDue", "SendHeaderByte", Stay},
    {WriteHeader, 0xF7, "", "Nothing", Stay}, // no frame left
    {WriteHeader, kAny, "", "FailHeader", Stay},
    {WriteBody, 0xF7, "", "SendBody", Stay},
    {WriteBody, 0xF1, "", "AcceptBlock", Idle},
    {WriteBody, 0xFA, "RetriesLeft", "RequeueBlock", Idle},
    {WriteBody, 0xFA, "", "FailBlock", Idle},
    {WriteBody, kAny, "", "Nothing", Stay},
};

// The identify's rows serve the keep-alive at the same place.
Step KeepAliveOf(Step step) {
    return static_cast<Step>(LINK_KEEPALIVE << 4 | PlaceOf(step));
}

bool SameByte(const LinkBase::ByteMatch& on, int byte) {
    switch (on.kind) {
    case LinkBase::ByteMatch::kStart:
        return byte == kStartOf;
    case LinkBase::ByteMatch::kAny:
        return byte == kAny;
    default:
        return byte == on.a || byte == on.b;
    }
}

bool SameMove(const LinkBase::Row& row, const Designed& d, Step at) {
    return row.Covers(at) && SameByte(row.on, d.byte) && Within(row.next, at) == Within(d.next, at);
}

bool Exactly(const LinkBase::Row& row, const Designed& d, Step at) {
    return SameMove(row, d, at) && row.guardName == std::string(d.guard) &&
           row.actionName == std::string(d.action) && row.counts && row.why == nullptr;
}

} // namespace

TEST(LinkTable, HoldsEveryDesignedTransitionAndSaysWhyOfEveryOtherRow) {
    std::vector<bool> designed(LinkBase::Table().size(), false);
    for (const Designed& d : kDesigned) {
        const bool identify = LinkStateOf(d.at) == LINK_IDENTIFY;
        for (const Step at : {d.at, identify ? KeepAliveOf(d.at) : d.at}) {
            bool present = false;
            for (size_t i = 0; i < LinkBase::Table().size(); ++i) {
                const LinkBase::Row& row = LinkBase::Table()[i];
                if (Exactly(row, d, at)) {
                    designed[i] = present = true;
                } else if (SameMove(row, d, at) && row.why != nullptr) {
                    present = true; // changed, with its reason
                }
            }
            EXPECT_TRUE(present) << d.action << " in step " << static_cast<int>(at);
        }
    }
    for (size_t i = 0; i < designed.size(); ++i) {
        const LinkBase::Row& row = LinkBase::Table()[i];
        EXPECT_TRUE(designed[i] || (row.why != nullptr && *row.why != '\0'))
            << "row " << i << " (" << row.actionName << ") differs from the designed exchanges "
            << "without a reason";
    }
    // The keep-alive no longer ends its reply after the first field with 0xF1: it asks for
    // every field. Nothing leaves a keep-alive's field for the idle link.
    for (const LinkBase::Row& row : LinkBase::Table()) {
        EXPECT_FALSE(row.Covers(KeepAliveInField) && row.next == Idle) << row.actionName;
    }
}
