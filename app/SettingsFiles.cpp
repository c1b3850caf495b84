#include "SettingsFiles.h"

#include <QDateTime>
#include <QFileInfo>

#include "ConnectionController.h"
#include "ParamInfo.h"
#include "SettingsFile.h"
#include "StatusText.h"

namespace corvane {

namespace {
QString NameOf(const QString& path) {
    return QFileInfo(path).fileName();
}
} // namespace

QString SettingsFiles::Choose(bool save) {
    if (!Live()) {
        return {};
    }
    // The dialog runs an event loop: the ESC may be swapped meanwhile, and what the user asked
    // for was about the one before.
    const EscToken esc = TakeEsc(m_c.identity);
    const QString path = m_c.view.ChooseSettingsFile(
        save, save ? SuggestedSettingsName(m_c.identity.byModel, QDate::currentDate()) : QString());
    if (!path.isEmpty() && !SameEsc(m_c.identity, esc)) {
        m_c.say(text::kSettingsEscChanged);
        return {};
    }
    return path;
}

void SettingsFiles::Save() {
    if (const QString path = Choose(true); !path.isEmpty()) {
        SaveTo(path);
    }
}

void SettingsFiles::Load() {
    if (const QString path = Choose(false); !path.isEmpty()) {
        LoadFrom(path);
    }
}

QByteArray SettingsFiles::Json() const {
    const std::vector<uint8_t> block(
        m_c.block.begin(), m_c.block.begin() + static_cast<std::ptrdiff_t>(m_c.params.BlockSize()));
    return MakeSettingsJson(m_c.identity, m_c.params, block, QDateTime::currentDateTimeUtc());
}

void SettingsFiles::Refuse(const QString& text) {
    m_c.view.Ask(QMessageBox::Warning, QString::fromUtf8(text::kSettingsCaption), text,
                 QMessageBox::Ok, QMessageBox::NoButton);
}

bool SettingsFiles::SaveTo(const QString& path) {
    if (!Live()) {
        return false;
    }
    QString reason;
    if (!WriteSettingsFile(path, Json(), reason)) {
        Refuse(QString::fromUtf8(text::kSettingsNotSaved).arg(path, reason));
        return false;
    }
    m_c.say(QString::fromUtf8(text::kSettingsSaved).arg(NameOf(path)));
    return true;
}

LoadOutcome SettingsFiles::LoadFrom(const QString& path) {
    if (!Live()) {
        return {};
    }
    QString refusal;
    std::optional<SettingsFileContent> file = ReadSettingsFile(path, &refusal);
    if (!file) {
        Refuse(refusal);
        return {};
    }
    if (file->model != m_c.identity.byModel || file->family != m_c.identity.byFamily) {
        Refuse(QString::fromUtf8(text::kSettingsOtherModel));
        return {};
    }
    // The same rule as the restore after a firmware update: the same firmware takes every
    // value, another one each value its descriptors offer a place for.
    ParameterSet loaded;
    loaded.SetBlock(file->block.data(), file->block.size());
    LoadOutcome outcome{true, {}, {}};
    for (const int index : m_c.params.TakeValuesFrom(loaded)) {
        outcome.notPlaced << QString::fromUtf8(kParamInfo[static_cast<size_t>(index)].label);
    }
    m_c.view.ReloadPages();
    outcome.line = outcome.notPlaced.isEmpty()
                       ? QString::fromUtf8(text::kSettingsLoaded).arg(NameOf(path))
                       : QString::fromUtf8(text::kSettingsLoadedExcept)
                             .arg(NameOf(path), outcome.notPlaced.join(QStringLiteral(", ")));
    m_c.say(outcome.line);
    m_c.view.LiveAreasChanged();
    return outcome;
}

} // namespace corvane
