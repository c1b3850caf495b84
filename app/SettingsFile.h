// The ESC's settings in a file people can read and diff: JSON naming the format and its
// version, the ESC (model, family, firmware), when it was saved, each of the sixteen settings
// (label, the text the page shows, the raw byte) and the whole parameter block in hex, which
// is what a load takes its values from.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "KVALinkCore.h"
#include "ParameterSet.h"

namespace corvane {

inline constexpr char kSettingsFormat[] = "corvane-esc-settings";
inline constexpr int kSettingsFormatVersion = 1;
// Nothing larger is read: no settings file comes near it.
inline constexpr qint64 kMaxSettingsFileSize = 1024 * 1024;

struct SettingsFileContent {
    uint8_t model = 0;
    uint8_t family = 0;
    std::vector<uint8_t> block;
};

// "VRX_Q8", "VRX_Q10", or the number for a model the tool does not know.
QString ModelName(uint8_t model);
// "<model>-<yyyy-MM-dd>.json".
QString SuggestedSettingsName(uint8_t model, const QDate& date);

// The file's text for the settings the block holds.
QByteArray MakeSettingsJson(const EscIdentity& esc, const ParameterSet& params,
                            const std::vector<uint8_t>& block, const QDateTime& saved);
// Nothing when the text is not a settings file of a version this program reads, with every
// field present and in range, a whole parameter block, and each setting's raw byte the
// block's own and its text what that byte shows. `why` then says what is wrong, and where:
// "line 42: Drag Brake reads "99%", but its raw byte 5 shows "5%"".
std::optional<SettingsFileContent> ParseSettingsJson(const QByteArray& text,
                                                     QString* why = nullptr);

// Whole or not at all: every byte written, checked and synced beside the old file, then
// renamed over it. False, with the system's reason, when it could not be; the old file is
// then as it was. Anything at the path but a regular file (or a link to one) is refused.
bool WriteSettingsFile(const QString& path, const QByteArray& text, QString& reason);
// Nothing when the file cannot be read or is not a settings file; `refusal` then holds the
// box's text, naming the path as given: "No such file: tracks/old.json".
std::optional<SettingsFileContent> ReadSettingsFile(const QString& path,
                                                    QString* refusal = nullptr);

} // namespace corvane
