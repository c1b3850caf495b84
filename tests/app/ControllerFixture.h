// The connection controller over the simulator with no window: a view that records what it is
// told, and answers the file dialog and the boxes as the test says.
#pragma once

#include <memory>

#include "ConnectionController.h"
#include "PageHost.h"
#include "PumpFixture.h"

namespace corvane::test {

class RecordingView : public ConnectionView {
public:
    QStringList lines;
    QStringList* log = nullptr;
    bool pagesExist = false;
    int currentPage = PageHost::kNoPage;
    bool progressShown = false;
    int progressValue = 0;
    QString upgradeFile;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    QStringList asked;

    void AddStatus(const QString& line) override {
        lines << line;
        if (log != nullptr) {
            *log << line;
        }
    }
    void ClearStatus() override { lines.clear(); }
    void CreatePages(bool create) override {
        pagesExist = create;
        currentPage = PageHost::kNoPage;
    }
    bool PagesExist() const override { return pagesExist; }
    void ReloadPages() override { pagesExist = true; }
    void SelectPage(int index) override { currentPage = pagesExist ? index : PageHost::kNoPage; }
    void RestorePressedHighlight() override {}
    void LiveAreasChanged() override {}
    void StartProgress(int) override { progressValue = 0; }
    void ShowProgress(bool show) override { progressShown = show; }
    void SetProgress(int value) override { progressValue = value; }
    QString ChooseUpgradeFile() override { return upgradeFile; }
    QMessageBox::StandardButton Ask(QMessageBox::Icon, const QString& text,
                                    QMessageBox::StandardButtons,
                                    QMessageBox::StandardButton) override {
        asked << text;
        return answer;
    }
};

class ControllerFixture : public PumpFixture {
protected:
    RecordingView view;
    std::unique_ptr<ConnectionController> controller;

    KVALinkCore& TheLink() override { return controller->Link(); }
    QStringList Lines() const override { return view.lines; }

    // Builds and starts the controller; knobs on the simulator go before this.
    void Open(bool dongle = true) {
        port.PlugDongle(dongle);
        log.clear();
        view = RecordingView();
        view.log = &log;
        controller = std::make_unique<ConnectionController>(
            port, view, ConnectionController::Options{.startWorker = false, .clock = &clock});
        controller->Start();
    }
    void Connect() {
        Open();
        ASSERT_TRUE(PumpUntil([&] { return controller->ParamsLoaded(); }));
        Settle();
    }
    void TearDown() override { controller.reset(); }
};

} // namespace corvane::test
