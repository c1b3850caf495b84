#include "PrivateFont.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QRawFont>
#include <QStringList>
#include <cstdio>
#include <optional>

namespace corvane {

namespace {

constexpr char kFontFile[] = "FRAMDCN.TTF";
constexpr char kInstalledDir[] = "/../share/corvane-progpanel/";

struct LoadedFont {
    int id = -1;
    QString family;
    QString style;
};

// User-interface thread only, like every display that reads it.
std::optional<LoadedFont> g_privateFont;

// The file's first family and style, or nothing when it is missing or holds no font.
std::optional<LoadedFont> LoadFontFile(const QString& file) {
    if (!QFileInfo(file).isFile()) {
        return std::nullopt;
    }
    const int id = QFontDatabase::addApplicationFont(file);
    if (id < 0) {
        return std::nullopt;
    }
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        QFontDatabase::removeApplicationFont(id);
        return std::nullopt;
    }
    const QRawFont face(file, 12.0);
    return LoadedFont{id, families.first(), face.isValid() ? face.styleName() : QString()};
}

} // namespace

void LoadPrivateFont() {
    LoadPrivateFont(QCoreApplication::applicationDirPath());
}

void LoadPrivateFont(const QString& programDir) {
    FreePrivateFont();
    const QString name = QString::fromLatin1(kFontFile);
    const QStringList files{name, programDir + QLatin1Char('/') + name,
                            programDir + QLatin1String(kInstalledDir) + name};
    for (const QString& file : files) {
        g_privateFont = LoadFontFile(file);
        if (g_privateFont) {
            return;
        }
    }
    // Said once, at start-up: the value displays will stay empty.
    std::fprintf(stderr,
                 "%s: font %s not found in the current directory, %s or %s; the value "
                 "displays stay empty\n",
                 qPrintable(QFileInfo(QCoreApplication::applicationFilePath()).fileName()),
                 kFontFile, qPrintable(QFileInfo(files[1]).absolutePath()),
                 qPrintable(QFileInfo(files[2]).absolutePath()));
}

void FreePrivateFont() {
    if (g_privateFont) {
        QFontDatabase::removeApplicationFont(g_privateFont->id);
        g_privateFont.reset();
    }
}

bool GetFontFamilyName(QString& name) {
    if (!g_privateFont) {
        return false;
    }
    name = g_privateFont->family;
    return true;
}

bool GetPrivateFont(unsigned pointSize, QFont& font) {
    QString family;
    if (!GetFontFamilyName(family)) {
        return false;
    }
    const int size = static_cast<int>(pointSize);
    font = g_privateFont->style.isEmpty() ? QFont(family, size)
                                          : QFontDatabase::font(family, g_privateFont->style, size);
    // An unresolvable family then falls back to a sans-serif face rather than a serif one.
    font.setStyleHint(QFont::SansSerif);
    return true;
}

} // namespace corvane
