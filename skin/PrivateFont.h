// The font of the value displays, read once at start-up from "FRAMDCN.TTF": the one in the
// current directory, else the one beside the program, else the installed one in
// ../share/corvane-progpanel/ from the program's directory (a start from the desktop menu).
// Without the file the displays draw no text; nothing else changes.
#pragma once

#include <QFont>
#include <QString>

namespace corvane {

// Needs a QGuiApplication. A second call replaces what the first one loaded.
void LoadPrivateFont();
// The same with the program's directory given (tests).
void LoadPrivateFont(const QString& programDir);
// Forgets the font; afterwards GetFontFamilyName answers false again.
void FreePrivateFont();

// The first family the file provides; false (name untouched) when none was loaded.
bool GetFontFamilyName(QString& name);

// A font of that family in the file's own style at pointSize. The style matters: a
// condensed face often shares its family name with the upright one installed on the
// system, which a lookup by family name alone would pick instead.
bool GetPrivateFont(unsigned pointSize, QFont& font);

} // namespace corvane
