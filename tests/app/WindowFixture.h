// The real main window over the simulator, headless.
#pragma once

#include <memory>

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

#include "CCorvaneProgPanelDlg.h"
#include "PumpFixture.h"

namespace corvane::test {

class WindowFixture : public PumpFixture {
protected:
    std::unique_ptr<CCorvaneProgPanelDlg> window;

    KVALinkCore& TheLink() override { return window->Connection().Link(); }

    // Builds the window; knobs on the simulator go before this.
    void Open(bool dongle = true) {
        port.PlugDongle(dongle);
        CCorvaneProgPanelDlg::Options options;
        options.startWorker = false;
        options.clock = &clock;
        log.clear();
        window = std::make_unique<CCorvaneProgPanelDlg>(port, options);
        QListWidget* list = window->StatusList();
        for (int i = 0; i < list->count(); ++i) {
            log << list->item(i)->text();
        }
        QObject::connect(list->model(), &QAbstractItemModel::rowsInserted,
                         [this, list](const QModelIndex&, int first, int last) {
                             for (int i = first; i <= last; ++i) {
                                 log << list->item(i)->text();
                             }
                         });
        window->show();
    }
    void TearDown() override { window.reset(); }

    void Connect() {
        Open();
        ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
        Settle();
    }

    QStringList Lines() const override {
        QStringList lines;
        for (int i = 0; i < window->StatusList()->count(); ++i) {
            lines << window->StatusList()->item(i)->text();
        }
        return lines;
    }

    // Another ESC of the same model takes the lead's place and is identified at the link,
    // while the window has not heard of it yet.
    void SwapEscBehindTheWindow() {
        const uint32_t epoch = window->Connection().Link().Identity().nEpoch;
        port.Esc([](sim::EscSimulator& e) {
            e.SetIdentity({8, 50, 'A', 13, 2});
            e.Restart();
        });
        ASSERT_TRUE(RunLinkUntil([&] {
            return window->Connection().Link().Identity().nEpoch != epoch &&
                   window->Connection().Link().GetLinkState() == LINK_IDLE;
        }));
    }

    void MoveTo(QPoint p) {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), window->mapToGlobal(QPointF(p)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &move);
    }
    // Hovers and clicks at a point of the face, as a user would.
    void ClickAt(QPoint p) {
        MoveTo(p);
        QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, p);
    }
};

// Centres of the hot areas.
inline const QPoint kSettingsTile{140, 160};
inline const QPoint kThrottleTile{298, 160};
inline const QPoint kTimingTile{140, 325};
inline const QPoint kBrakesTile{298, 325};
inline const QPoint kHomeButton{26, 18};
inline const QPoint kCloseButton{417, 31};
inline const QPoint kWriteButton{28, 455};
inline const QPoint kFirmwareLabel{218, 416};

} // namespace corvane::test
