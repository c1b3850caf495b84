#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <array>

namespace artgen {

// Every image the program embeds: id, pixel size and whether the PNG carries alpha.
struct ImageEntry {
    int id;
    QSize size;
    bool alpha;
};

constexpr std::array<ImageEntry, 29> Catalogue{{
    {131, {437, 527}, true}, {133, {437, 527}, true},  {134, {437, 527}, true},
    {135, {437, 527}, true}, {136, {437, 527}, true},  {137, {437, 527}, true},
    {138, {437, 527}, true}, {139, {437, 527}, true},  {140, {437, 527}, true},
    {142, {365, 365}, true}, {143, {365, 365}, false}, {146, {365, 365}, false},
    {147, {365, 365}, true}, {144, {18, 19}, true},    {149, {31, 9}, true},
    {150, {18, 19}, true},   {145, {218, 19}, false},  {163, {185, 19}, false},
    {164, {64, 19}, false},  {148, {18, 99}, false},   {152, {31, 88}, false},
    {153, {31, 171}, false}, {154, {31, 136}, false},  {155, {31, 136}, false},
    {156, {31, 136}, false}, {157, {31, 157}, false},  {158, {31, 157}, false},
    {159, {42, 19}, false},  {160, {44, 19}, false},
}};

const ImageEntry& entry(int id);

// Writes <dir>/<id>.png in the catalogue's format: 8-bit RGBA (colour type 6) or 8-bit RGB
// (colour type 2). Throws when the image has the wrong size or cannot be written.
void savePng(const QImage& image, int id, const QString& dir);

} // namespace artgen
