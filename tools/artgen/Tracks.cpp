#include "Tracks.h"

#include "PanelLayout.h"

#include <stdexcept>
#include <string>

namespace artgen {

std::map<int, QImage> cutTracks(const std::map<int, QImage>& panels) {
    std::map<int, QImage> tracks;
    for (const panel::Slider& s : panel::Sliders) {
        const QImage& page = panels.at(s.panelId);
        const QImage cut = page.copy(QRect(s.pos, s.track));
        auto [it, fresh] = tracks.emplace(s.trackId, cut);
        if (!fresh && it->second != cut)
            throw std::logic_error("track " + std::to_string(s.trackId) +
                                   " differs between the places that share it");
    }
    return tracks;
}

} // namespace artgen
