#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <vector>

namespace artgen {

// Every image the program embeds: id, pixel size and whether the PNG carries alpha.
struct ImageEntry {
    int id;
    QSize size;
    bool alpha;
};

// Taken from the skin layout, so the generator draws exactly the images the program places.
const std::vector<ImageEntry>& catalogue();

const ImageEntry& entry(int id);

// Writes <dir>/<id>.png (<id>@2x.png at scale 2) in the catalogue's format: 8-bit RGBA (colour type
// 6) or 8-bit RGB (colour type 2). Throws when the image has the wrong size or cannot be written.
void savePng(const QImage& image, int id, const QString& dir);

} // namespace artgen
