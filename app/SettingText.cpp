#include "SettingText.h"

#include "Cp950.h"
#include "ParamInfo.h"
#include "ParamValueFormat.h"

namespace corvane {

QString SettingText(int index, uint8_t position, uint8_t value) {
    return DecodeCp950(DescribeParamSetting(index, position, value));
}

QStringList DescribeChanges(const ParameterSet& params) {
    QStringList lines;
    for (const ParameterSet::Change& change : params.ChangedParams()) {
        const ParamInfo* info = FindParamInfo(change.index);
        if (info == nullptr) {
            continue;
        }
        lines << QStringLiteral("%1: %2 \u2192 %3")
                     .arg(QString::fromUtf8(info->label),
                          SettingText(change.index, change.oldPosition, change.oldValue),
                          SettingText(change.index, change.newPosition, change.newValue));
    }
    return lines;
}

} // namespace corvane
