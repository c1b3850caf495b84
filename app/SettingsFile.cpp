#include "SettingsFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <cctype>

#include "ParamBlockLayout.h"
#include "ParamInfo.h"
#include "SettingText.h"
#include "UpgradeFileSource.h"

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

std::optional<SettingsFileContent> ParseSettingsJson(const QByteArray& text) {
    if (text.size() > kMaxSettingsFileSize) {
        return std::nullopt;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    const QJsonObject esc = root["esc"].toObject();
    const auto version = WholeNumber(root["formatVersion"], kSettingsFormatVersion);
    const auto model = WholeNumber(esc["modelId"], 255);
    const auto family = WholeNumber(esc["family"], 255);
    auto block = FromHex(root["block"]);
    const QJsonArray settings = root["settings"].toArray();
    if (root["format"].toString() != QLatin1String(kSettingsFormat) || !version || *version < 1 ||
        !model || !family || !esc["model"].isString() || !esc["firmware"].isString() ||
        !QDateTime::fromString(root["saved"].toString(), Qt::ISODate).isValid() || !block ||
        block->size() < block::kValueOffset + PARAM_COUNT || settings.size() != PARAM_COUNT) {
        return std::nullopt;
    }
    // Each setting names its parameter and carries the block's own byte: a file edited in
    // one place and not the other says two things, and neither is taken.
    for (int index = 0; index < PARAM_COUNT; ++index) {
        const QJsonObject setting = settings[index].toObject();
        const auto raw = WholeNumber(setting["raw"], 255);
        if (setting["label"].toString() != QString::fromUtf8(kParamInfo[index].label) ||
            !setting["value"].isString() || !raw ||
            *raw != (*block)[block::kValueOffset + static_cast<size_t>(index)]) {
            return std::nullopt;
        }
    }
    return SettingsFileContent{static_cast<uint8_t>(*model), static_cast<uint8_t>(*family),
                               std::move(*block)};
}

bool WriteSettingsFile(const QString& path, const QByteArray& text, QString& reason) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        reason = file.errorString();
        return false;
    }
    return true;
}

std::optional<SettingsFileContent> ReadSettingsFile(const QString& path) {
    std::string bytes;
    if (ReadRegularFileBytes(QFile::encodeName(path).toStdString(), kMaxSettingsFileSize, bytes) !=
        UpgradeFileOpen::Opened) {
        return std::nullopt;
    }
    return ParseSettingsJson(QByteArray::fromStdString(bytes));
}

} // namespace corvane
