// The settings file: saving what the pages show, loading a file's values as waiting changes.
#include <QDateTime>
#include <QFileInfo>

#include "ConnectionController.h"
#include "ParamInfo.h"
#include "SettingsFile.h"

namespace corvane {

namespace {
QString NameOf(const QString& path) {
    return QFileInfo(path).fileName();
}
} // namespace

QString ConnectionController::ChooseSettingsFile(bool save) {
    if (!SettingsFileLive()) {
        return {};
    }
    // The dialog runs an event loop: the ESC may be swapped meanwhile, and what the user asked
    // for was about the one before.
    const EscToken esc = TakeEsc();
    const QString path = m_view.ChooseSettingsFile(
        save,
        save ? SuggestedSettingsName(m_escIdentity.byModel, QDate::currentDate()) : QString());
    if (!path.isEmpty() && !SameEsc(esc)) {
        Say(text::kSettingsEscChanged);
        return {};
    }
    return path;
}

void ConnectionController::SaveSettings() {
    if (const QString path = ChooseSettingsFile(true); !path.isEmpty()) {
        SaveSettingsTo(path);
    }
}

void ConnectionController::LoadSettings() {
    if (const QString path = ChooseSettingsFile(false); !path.isEmpty()) {
        LoadSettingsFrom(path);
    }
}

QByteArray ConnectionController::SettingsJson() const {
    const std::vector<uint8_t> block(
        m_block.begin(), m_block.begin() + static_cast<std::ptrdiff_t>(m_params.BlockSize()));
    return MakeSettingsJson(m_escIdentity, m_params, block, QDateTime::currentDateTimeUtc());
}

bool ConnectionController::SaveSettingsTo(const QString& path) {
    if (!SettingsFileLive()) {
        return false;
    }
    QString reason;
    if (!WriteSettingsFile(path, SettingsJson(), reason)) {
        Ask(QMessageBox::Warning, QString::fromUtf8(text::kSettingsNotSaved).arg(path, reason),
            QMessageBox::Ok, QMessageBox::NoButton, text::kSettingsCaption);
        return false;
    }
    Say(QString::fromUtf8(text::kSettingsSaved).arg(NameOf(path)));
    return true;
}

LoadOutcome ConnectionController::LoadSettingsFrom(const QString& path) {
    if (!SettingsFileLive()) {
        return {};
    }
    const LiveAreasNotice notice{m_view};
    QString refusal;
    std::optional<SettingsFileContent> file = ReadSettingsFile(path, &refusal);
    if (!file) {
        Ask(QMessageBox::Warning, refusal, QMessageBox::Ok, QMessageBox::NoButton,
            text::kSettingsCaption);
        return {};
    }
    if (file->model != m_escIdentity.byModel || file->family != m_escIdentity.byFamily) {
        Ask(QMessageBox::Warning, text::kSettingsOtherModel, QMessageBox::Ok, QMessageBox::NoButton,
            text::kSettingsCaption);
        return {};
    }
    // The same rule as the restore after a firmware update: the same firmware takes every
    // value, another one each value its descriptors offer a place for.
    ParameterSet loaded;
    loaded.SetBlock(file->block.data(), file->block.size());
    LoadOutcome outcome{true, {}, {}};
    for (const int index : m_params.TakeValuesFrom(loaded)) {
        outcome.notPlaced << QString::fromUtf8(kParamInfo[static_cast<size_t>(index)].label);
    }
    m_view.ReloadPages();
    outcome.line = outcome.notPlaced.isEmpty()
                       ? QString::fromUtf8(text::kSettingsLoaded).arg(NameOf(path))
                       : QString::fromUtf8(text::kSettingsLoadedExcept)
                             .arg(NameOf(path), outcome.notPlaced.join(QStringLiteral(", ")));
    Say(outcome.line);
    return outcome;
}

} // namespace corvane
