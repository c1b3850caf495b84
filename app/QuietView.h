// The connection's view without a window, for the command line: it keeps the last warning's
// text, answers the upgrade file dialog with the file given, confirms the update, answers the
// restore question as the command line said, and reports the update's progress.
#pragma once

#include <functional>

#include "ConnectionController.h"

namespace corvane {

class QuietView : public ConnectionView {
public:
    QString box;         // the last warning's text
    QString upgradeFile; // what the upgrade file dialog answers
    bool restore = false;
    std::function<void(int done, int total)> progress;

    void AddStatus(const QString&) override {}
    void ClearStatus() override {}
    void CreatePages(bool create) override { m_pages = create; }
    bool PagesExist() const override { return m_pages; }
    void ReloadPages() override { m_pages = true; }
    void SelectPage(int) override {}
    void RestorePressedHighlight() override {}
    void LiveAreasChanged() override {}
    void StartProgress(int lastBlock) override { m_total = lastBlock + 1; }
    void ShowProgress(bool) override {}
    void SetProgress(int value) override {
        if (progress) {
            progress(value, m_total);
        }
    }
    QString ChooseUpgradeFile() override { return upgradeFile; }
    QString ChooseSettingsFile(bool, const QString&) override { return {}; }
    // No restore offer is taken up unasked.
    QMessageBox::StandardButton Ask(QMessageBox::Icon icon, const QString&, const QString& text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton) override {
        if (icon == QMessageBox::Warning) {
            box = text;
        }
        if (buttons.testFlag(QMessageBox::Yes)) {
            return restore ? QMessageBox::Yes : QMessageBox::No;
        }
        return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
    }
    void DismissQuestion() override {}

private:
    bool m_pages = false;
    int m_total = 0;
};

} // namespace corvane
