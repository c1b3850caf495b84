#include "Catalogue.h"

#include <stdexcept>
#include <string>

namespace artgen {

const ImageEntry& entry(int id) {
    for (const ImageEntry& s : Catalogue)
        if (s.id == id)
            return s;
    throw std::logic_error("no image " + std::to_string(id) + " in the catalogue");
}

void savePng(const QImage& image, int id, const QString& dir) {
    const ImageEntry& s = entry(id);
    if (image.size() != s.size)
        throw std::logic_error("image " + std::to_string(id) + " has the wrong size");
    // Qt writes colour type 6 for formats with an alpha channel and type 2 for RGB32.
    const QImage out =
        image.convertToFormat(s.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const QString path = dir + "/" + QString::number(id) + ".png";
    if (!out.save(path, "PNG"))
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace artgen
