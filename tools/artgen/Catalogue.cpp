#include "Catalogue.h"

#include "Paint.h"
#include "SkinLayout.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace artgen {

const std::vector<ImageEntry>& catalogue() {
    static const std::vector<ImageEntry> images = [] {
        using namespace corvane;
        using namespace corvane::layout;
        std::vector<ImageEntry> out;
        auto add = [&out](int id, QSize size, bool alpha) {
            if (std::none_of(out.begin(), out.end(),
                             [id](const ImageEntry& e) { return e.id == id; }))
                out.push_back({id, size, alpha});
        };
        // Faces are cut out by the outline; the Throttle and Brakes panels keep an alpha
        // channel although they are opaque, as they always have.
        for (const HotAreaPlace& area : kHotAreas)
            add(area.faceId, kFaceSize, true);
        for (int page = 0; page < kPageCount; ++page) {
            const auto p = static_cast<ParamPage>(page);
            add(PanelOf(p).imageId, kPageSize, p == ParamPage::Throttle || p == ParamPage::Brakes);
        }
        for (const Image& thumb : {kKnobThumb, kBarThumb, kSwitchThumb})
            add(thumb.id, thumb.size, true);
        for (const ControlPlace& control : kControls) {
            add(control.track.id, control.track.size, false);
            if (control.display.id != 0)
                add(control.display.id, control.display.size, false);
        }
        return out;
    }();
    return images;
}

const ImageEntry& entry(int id) {
    for (const ImageEntry& s : catalogue())
        if (s.id == id)
            return s;
    throw std::logic_error("no image " + std::to_string(id) + " in the catalogue");
}

void savePng(const QImage& image, int id, const QString& dir) {
    const ImageEntry& s = entry(id);
    if (image.size() != s.size * scale())
        throw std::logic_error("image " + std::to_string(id) + " has the wrong size");
    // Qt writes colour type 6 for formats with an alpha channel and type 2 for RGB32.
    const QImage out =
        image.convertToFormat(s.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const QString suffix = scale() == 1 ? QString() : QStringLiteral("@%1x").arg(scale());
    const QString path = dir + "/" + QString::number(id) + suffix + ".png";
    if (!out.save(path, "PNG"))
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace artgen
