// What screen readers are told of the skinned controls: a hot spot is a button or a page tab
// with its name, unavailable while it does nothing, pressable, and with a description where
// it has one; a slider is a slider named for its setting, whose value reads as the text its
// value box shows (or the switch's choice) and can be set.
#pragma once

namespace corvane {

// Idempotent; the skinned controls call it as they are built.
void InstallSkinAccessibility();

} // namespace corvane
