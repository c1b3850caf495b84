// How a setting reads to the user anywhere but its value box: the window's WRITE tooltip and
// description, the settings file, the command line.
#pragma once

#include <QString>
#include <QStringList>

#include "ParameterSet.h"

namespace corvane {

// The box's text, or a switch's choice, for a parameter at a position with a value byte.
QString SettingText(int index, uint8_t position, uint8_t value);
// The changes the block holds against its snapshot, a line each: "Drag Brake: 10% → 17%".
QStringList DescribeChanges(const ParameterSet& params);

} // namespace corvane
