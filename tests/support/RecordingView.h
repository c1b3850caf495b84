// A view of the connection that records what it is told and answers the file dialog and the
// boxes as it is told to: the connection controller without a window.
#pragma once

#include <functional>

#include <QStringList>

#include "ConnectionController.h"
#include "PageHost.h"

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
    QString settingsFile; // what the settings dialogs answer
    QString suggestedName;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    QStringList asked;
    int dismissed = 0; // boxes taken away unanswered
    // When set, answers each box by its text instead of with `answer`.
    std::function<QMessageBox::StandardButton(const QString& text)> answerFor;

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
    QString ChooseSettingsFile(bool, const QString& suggested) override {
        suggestedName = suggested;
        return settingsFile;
    }
    QMessageBox::StandardButton Ask(QMessageBox::Icon, const QString&, const QString& text,
                                    QMessageBox::StandardButtons,
                                    QMessageBox::StandardButton) override {
        asked << text;
        return answerFor ? answerFor(text) : answer;
    }
    void DismissQuestion() override { ++dismissed; }
};

} // namespace corvane::test
