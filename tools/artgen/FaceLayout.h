#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>

// Where things sit on the main window's face (face pixels = the window's client pixels).
namespace artgen::face {

constexpr QSize Size{437, 527};

constexpr QRect ltrb(int l, int t, int r, int b) {
    return QRect(l, t, r - l, b - t);
}
constexpr QRect inclusive(int x0, int x1, int y0, int y1) {
    return ltrb(x0, y0, x1 + 1, y1 + 1);
}

enum class HotArea {
    None = 0,
    BrakesTile = 1,
    CloseButton = 2,
    FirmwareUpdate = 3,
    HomeButton = 4,
    SettingsTile = 5,
    ThrottleTile = 6,
    TimingTile = 7,
    WriteButton = 8,
};

struct Area {
    HotArea area;
    int imageId; // face shown while this area is lit
    QRect hit;   // where the window reacts
    QRect label; // the only pixels in which the lit face differs from the plain one
};

constexpr int PlainFaceId = 131;

constexpr std::array<Area, 8> Areas{{
    {HotArea::BrakesTile, 133, inclusive(236, 360, 265, 389), ltrb(240, 355, 350, 385)},
    {HotArea::CloseButton, 134, inclusive(409, 425, 24, 38), ltrb(405, 20, 427, 42)},
    {HotArea::FirmwareUpdate, 135, inclusive(158, 278, 411, 422), ltrb(140, 405, 295, 430)},
    {HotArea::HomeButton, 136, inclusive(18, 35, 11, 25), ltrb(15, 8, 40, 32)},
    {HotArea::SettingsTile, 137, inclusive(78, 202, 100, 224), ltrb(80, 190, 200, 220)},
    {HotArea::ThrottleTile, 138, inclusive(236, 360, 100, 224), ltrb(240, 190, 350, 220)},
    {HotArea::TimingTile, 139, inclusive(78, 202, 265, 389), ltrb(80, 355, 200, 385)},
    {HotArea::WriteButton, 140, inclusive(15, 42, 443, 468), ltrb(5, 430, 50, 480)},
}};

constexpr const Area& area(HotArea a) {
    for (const Area& x : Areas)
        if (x.area == a)
            return x;
    return Areas[0];
}

// The parameter pages cover this rectangle when shown.
constexpr QRect PageRect{36, 62, 365, 365};

// Real controls laid over the face: the status list and the firmware progress bar (their dialog
// units converted at 1.5 x 1.625 pixels per unit, as the window places them).
constexpr QRect StatusList{52, 439, 202, 70};
constexpr QRect ProgressBar{39, 408, 358, 16};

} // namespace artgen::face
