#include "PrivateFont.h"

#include <QFontDatabase>
#include <QRawFont>
#include <QStringList>
#include <optional>

namespace corvane {

namespace {

constexpr char kFontFile[] = "FRAMDCN.TTF";

struct LoadedFont {
    int id = -1;
    QString family;
    QString style;
};

// User-interface thread only, like every display that reads it.
std::optional<LoadedFont> g_privateFont;

} // namespace

void LoadPrivateFont() {
    FreePrivateFont();
    const QString file = QString::fromLatin1(kFontFile);
    const int id = QFontDatabase::addApplicationFont(file);
    if (id < 0) {
        return;
    }
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        QFontDatabase::removeApplicationFont(id);
        return;
    }
    const QRawFont face(file, 12.0);
    g_privateFont = LoadedFont{id, families.first(), face.isValid() ? face.styleName() : QString()};
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
