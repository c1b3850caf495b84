#include "SettingsFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cctype>
#include <cerrno>
#include <limits>

#include "ParamBlockLayout.h"
#include "ParamInfo.h"
#include "SettingText.h"
#include "StatusText.h"
#include "UpgradeFileSource.h"
#include "WholeFileWrite.h"

namespace corvane {

namespace {

// A whole number in 0 .. max, as JSON carries it (a double).
std::optional<int> WholeNumber(const QJsonValue& value, int max) {
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (number < 0 || number > max || number != static_cast<int>(number)) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

std::optional<std::vector<uint8_t>> FromHex(const QJsonValue& value) {
    const QByteArray hex = value.toString().toLatin1();
    if (!value.isString() || hex.isEmpty() || hex.size() % 2 != 0) {
        return std::nullopt;
    }
    for (char c : hex) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
    }
    const QByteArray bytes = QByteArray::fromHex(hex);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

} // namespace

QString ModelName(uint8_t model) {
    switch (model) {
    case 8:
        return QStringLiteral("VRX_Q8");
    case 16:
        return QStringLiteral("VRX_Q10");
    default:
        return QString::number(model);
    }
}

QString SuggestedSettingsName(uint8_t model, const QDate& date) {
    return QStringLiteral("%1-%2.json").arg(ModelName(model), date.toString(Qt::ISODate));
}

QByteArray MakeSettingsJson(const EscIdentity& esc, const ParameterSet& params,
                            const std::vector<uint8_t>& block, const QDateTime& saved) {
    QJsonArray settings;
    for (int index = 0; index < PARAM_COUNT; ++index) {
        uint8_t raw = 0;
        params.GetParamValue(index, raw);
        QJsonObject setting{{"label", QString::fromUtf8(kParamInfo[index].label)}, {"raw", raw}};
        ParameterDescriptor descriptor;
        if (params.GetParamDescriptor(index, descriptor)) {
            setting["value"] = SettingText(index, params.GetParamPosition(index), raw);
        } else {
            setting["value"] = QString(); // the block does not describe it: no text to show
        }
        settings.append(setting);
    }
    const QJsonObject root{
        {"format", kSettingsFormat},
        {"formatVersion", kSettingsFormatVersion},
        {"esc", QJsonObject{{"model", ModelName(esc.byModel)},
                            {"modelId", esc.byModel},
                            {"family", esc.byFamily},
                            {"firmware",
                             QStringLiteral("%1%2")
                                 .arg(QChar::fromLatin1(static_cast<char>(esc.byVersionLetter)))
                                 .arg(esc.byVersion / 10.0, 0, 'f', 1)}}},
        {"saved", saved.toUTC().toString(Qt::ISODate)},
        {"settings", settings},
        {"block", QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(block.data()),
                                                 static_cast<qsizetype>(block.size()))
                                          .toHex())},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

namespace {

// What is wrong with a file, and the line to look at (0: no one line).
struct Refusal {
    QString what;
    int line = 0;
};

int LineAt(const QByteArray& text, qsizetype offset) {
    return static_cast<int>(text.left(offset).count('\n')) + 1;
}

// The line of a key's first appearance in [from, to), or 0.
int KeyLine(const QByteArray& text, const char* key, qsizetype from = 0, qsizetype to = -1) {
    const qsizetype at = text.indexOf(QByteArray("\"") + key + '"', from);
    return at >= 0 && (to < 0 || at < to) ? LineAt(text, at) : 0;
}

// Where each object of the "settings" array starts and ends in the text, so that a refusal
// can name the line a hand edit went wrong on.
std::vector<std::pair<qsizetype, qsizetype>> SettingSpans(const QByteArray& text) {
    std::vector<std::pair<qsizetype, qsizetype>> spans;
    const qsizetype key = text.indexOf("\"settings\"");
    const qsizetype open = key < 0 ? -1 : text.indexOf('[', key);
    int depth = 0;
    qsizetype start = -1;
    bool quoted = false;
    for (qsizetype i = open; i >= 0 && i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            i += c == '\\' ? 1 : 0;
            quoted = c != '"';
        } else if (c == '"') {
            quoted = true;
        } else if (c == '[' || c == '{') {
            start = ++depth == 2 && c == '{' ? i : start;
        } else if (c == ']' || c == '}') {
            if (depth == 2 && c == '}' && start >= 0) {
                spans.emplace_back(start, i);
            }
            if (--depth == 0) {
                break;
            }
        }
    }
    return spans;
}

std::optional<SettingsFileContent> Parse(const QByteArray& text, Refusal& refusal) {
    const auto refuse = [&refusal](QString what, int line = 0) {
        refusal = {std::move(what), line};
        return std::nullopt;
    };
    if (text.size() > kMaxSettingsFileSize) {
        return refuse(QStringLiteral("larger than 1 MiB"));
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        return refuse(QStringLiteral("not JSON (%1)").arg(error.errorString()),
                      LineAt(text, error.offset));
    }
    const QJsonObject root = document.object();
    if (root["format"].toString() != QLatin1String(kSettingsFormat)) {
        return refuse(QStringLiteral("\"format\" is not \"%1\"").arg(kSettingsFormat),
                      KeyLine(text, "format"));
    }
    const auto version = WholeNumber(root["formatVersion"], std::numeric_limits<int>::max());
    if (version && *version > kSettingsFormatVersion) {
        return refuse(QStringLiteral("format version %1 is newer than this program reads (%2)")
                          .arg(*version)
                          .arg(kSettingsFormatVersion),
                      KeyLine(text, "formatVersion"));
    }
    const QJsonObject esc = root["esc"].toObject();
    const auto model = WholeNumber(esc["modelId"], 255);
    const auto family = WholeNumber(esc["family"], 255);
    const std::pair<const char*, bool> fields[] = {
        {"formatVersion", version && *version >= 1},
        {"esc", root["esc"].isObject()},
        {"modelId", model.has_value()},
        {"family", family.has_value()},
        {"model", esc["model"].isString()},
        {"firmware", esc["firmware"].isString()},
        {"saved", QDateTime::fromString(root["saved"].toString(), Qt::ISODate).isValid()},
        {"settings", root["settings"].isArray()},
    };
    for (const auto& [name, good] : fields) {
        if (!good) {
            return refuse(QStringLiteral("\"%1\" is missing or out of range").arg(name),
                          KeyLine(text, name));
        }
    }
    if (esc["model"].toString() != ModelName(static_cast<uint8_t>(*model))) {
        return refuse(QStringLiteral("\"model\" is \"%1\", but \"modelId\" %2 is %3")
                          .arg(esc["model"].toString(), QString::number(*model),
                               ModelName(static_cast<uint8_t>(*model))),
                      KeyLine(text, "model"));
    }
    auto block = FromHex(root["block"]);
    if (!block || block->size() != static_cast<size_t>(kParamBlockSize)) {
        return refuse(block ? QStringLiteral("the block holds %1 bytes, not %2")
                                  .arg(block->size())
                                  .arg(kParamBlockSize)
                            : QStringLiteral("\"block\" is missing or not hex"),
                      KeyLine(text, "block"));
    }
    const QJsonArray settings = root["settings"].toArray();
    if (settings.size() != PARAM_COUNT) {
        return refuse(QStringLiteral("%1 settings, not %2").arg(settings.size()).arg(PARAM_COUNT),
                      KeyLine(text, "settings"));
    }
    // Each setting names its parameter, carries the block's own byte and reads as that byte
    // shows: a file edited in one place and not the other says two things, and neither is
    // taken.
    ParameterSet described;
    described.SetBlock(block->data(), block->size());
    const auto spans = SettingSpans(text);
    for (int index = 0; index < PARAM_COUNT; ++index) {
        const auto line = [&](const char* key) {
            if (spans.size() != static_cast<size_t>(PARAM_COUNT)) {
                return KeyLine(text, "settings");
            }
            const auto [from, to] = spans[static_cast<size_t>(index)];
            const int at = KeyLine(text, key, from, to);
            return at > 0 ? at : LineAt(text, from);
        };
        const QJsonObject setting = settings[index].toObject();
        const QString label = QString::fromUtf8(kParamInfo[static_cast<size_t>(index)].label);
        if (setting["label"].toString() != label) {
            return refuse(QStringLiteral("setting %1 should be \"%2\"").arg(index + 1).arg(label),
                          line("label"));
        }
        const auto raw = WholeNumber(setting["raw"], 255);
        const uint8_t held = (*block)[block::kValueOffset + static_cast<size_t>(index)];
        if (!raw || *raw != held) {
            return refuse(
                QStringLiteral("%1's raw byte is not %2, the block's").arg(label).arg(held),
                line("raw"));
        }
        ParameterDescriptor descriptor;
        const QString shown = described.GetParamDescriptor(index, descriptor)
                                  ? SettingText(index, described.GetParamPosition(index), held)
                                  : QString();
        if (setting["value"].toString() != shown || !setting["value"].isString()) {
            return refuse(QStringLiteral("%1 reads \"%2\", but its raw byte %3 shows \"%4\"")
                              .arg(label, setting["value"].toVariant().toString(),
                                   QString::number(held), shown),
                          line("value"));
        }
    }
    return SettingsFileContent{static_cast<uint8_t>(*model), static_cast<uint8_t>(*family),
                               std::move(*block)};
}

QString Described(const Refusal& refusal) {
    return refusal.line > 0 ? QStringLiteral("line %1: %2").arg(refusal.line).arg(refusal.what)
                            : refusal.what;
}

} // namespace

std::optional<SettingsFileContent> ParseSettingsJson(const QByteArray& text, QString* why) {
    Refusal refusal;
    auto content = Parse(text, refusal);
    if (!content && why != nullptr) {
        *why = Described(refusal);
    }
    return content;
}

bool WriteSettingsFile(const QString& path, const QByteArray& text, QString& reason) {
    std::string why;
    if (!WriteWholeFile(QFile::encodeName(path).toStdString(), text.toStdString(), why)) {
        reason = QString::fromLocal8Bit(why);
        return false;
    }
    return true;
}

std::optional<SettingsFileContent> ReadSettingsFile(const QString& path, QString* refusal) {
    std::string bytes;
    FileRefusal why;
    const UpgradeFileOpen opened = ReadRegularFileBytes(QFile::encodeName(path).toStdString(),
                                                        kMaxSettingsFileSize, bytes, &why);
    Refusal wrong;
    std::optional<SettingsFileContent> content;
    if (opened == UpgradeFileOpen::Opened) {
        content = Parse(QByteArray::fromStdString(bytes), wrong);
    } else if (opened == UpgradeFileOpen::TooLarge) {
        wrong.what = QStringLiteral("larger than 1 MiB");
    }
    if (content || refusal == nullptr) {
        return content;
    }
    if (opened == UpgradeFileOpen::CannotOpen && why.error == ENOENT) {
        *refusal = QString::fromUtf8(text::kNoSuchSettingsFile).arg(path);
    } else if (wrong.what.isEmpty()) {
        *refusal = QString::fromUtf8(text::kSettingsUnreadable)
                       .arg(path, QString::fromLocal8Bit(why.reason));
    } else {
        *refusal = QString::fromUtf8(text::kNotSettingsFile) + QLatin1Char('\n') +
                   (wrong.line > 0 ? QStringLiteral("%1, %2") : QStringLiteral("%1: %2"))
                       .arg(path, Described(wrong));
    }
    return content;
}

} // namespace corvane
