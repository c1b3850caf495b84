// What the window and controller fixtures share: the simulator behind a manual clock, and the
// link driven one worker pass at a time, so every test sees the same sequence of events.
#pragma once

#include <functional>

#include <QCoreApplication>
#include <QStringList>
#include <gtest/gtest.h>

#include "KVALinkCore.h"
#include "ManualClock.h"
#include "SimPort.h"

namespace corvane::test {

class PumpFixture : public ::testing::Test {
protected:
    ManualClock clock;
    sim::SimPort port{&clock};
    // Every line ever added, also those a later clear removed from the list.
    QStringList log;

    virtual KVALinkCore& TheLink() = 0;
    // The status list as it stands.
    virtual QStringList Lines() const = 0;

    void Pump(int passes = 1) {
        for (int i = 0; i < passes; ++i) {
            TheLink().RunPass();
            clock.Advance(1);
            QCoreApplication::processEvents();
        }
    }
    bool PumpUntil(const std::function<bool()>& done, int maxPasses = 20000) {
        for (int i = 0; i < maxPasses; ++i) {
            if (done()) {
                return true;
            }
            Pump();
        }
        return done();
    }
    bool PumpUntilLine(const QString& line, int times = 1) {
        return PumpUntil([&] { return Lines().count(line) >= times; });
    }
    // Runs the link alone, the window's notices left waiting: the window falls behind.
    bool RunLinkUntil(const std::function<bool()>& done, int maxPasses = 20000) {
        for (int i = 0; i < maxPasses && !done(); ++i) {
            TheLink().RunPass();
            clock.Advance(1);
        }
        return done();
    }
    // Lets the link finish what it is doing, so a request finds it idle.
    void Settle() {
        PumpUntil(
            [&] { return TheLink().GetLinkState() == LINK_IDLE && TheLink().GetTxLength() == 0; });
    }
};

} // namespace corvane::test
