#include "Tracks.h"

#include "Paint.h"
#include "SkinLayout.h"

#include <stdexcept>
#include <string>

namespace artgen {

std::map<int, QImage> cutTracks(const std::map<int, QImage>& panels) {
    std::map<int, QImage> tracks;
    using namespace corvane::layout;
    for (const ControlPlace& c : kControls) {
        const QImage& page = panels.at(PanelOf(PageOf(c)).imageId);
        const QImage cut = page.copy(scaled(QRect(c.sliderPos, c.track.size)));
        auto [it, fresh] = tracks.emplace(c.track.id, cut);
        if (!fresh && it->second != cut)
            throw std::logic_error("track " + std::to_string(c.track.id) +
                                   " differs between the places that share it");
    }
    return tracks;
}

} // namespace artgen
