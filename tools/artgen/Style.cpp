#include "Style.h"

#include <QFontDatabase>
#include <QStringList>

#include <stdexcept>

namespace artgen {

namespace {
QString g_regular;
QString g_bold;

QString registerFile(const QString& path) {
    const int id = QFontDatabase::addApplicationFont(path);
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (id < 0 || families.isEmpty())
        throw std::runtime_error("cannot load font " + path.toStdString());
    return families.front();
}
} // namespace

void Fonts::load(const QString& fontDir) {
    g_regular = registerFile(fontDir + "/DejaVuSansCondensed.ttf");
    g_bold = registerFile(fontDir + "/DejaVuSansCondensed-Bold.ttf");
}

QFont Fonts::regular(int pixelSize) {
    return make(g_regular, pixelSize, false);
}

QFont Fonts::bold(int pixelSize) {
    return make(g_bold, pixelSize, true);
}

QFont Fonts::make(const QString& family, int pixelSize, bool bold) {
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setKerning(true);
    f.setHintingPreference(QFont::PreferVerticalHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias |
                                            QFont::NoFontMerging));
    return f;
}

} // namespace artgen
