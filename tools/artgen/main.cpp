// Generates the skin: every face, page panel, slider part and value-display background as PNG,
// and the window's outline region, from the drawing code in this folder.
//
//   corvane_artgen <outdir> [--fonts <dir>]
//
// writes <outdir>/png/<id>.png and <id>@2x.png and the outline region <outdir>/binary/<id>.rgn.

#include "Catalogue.h"
#include "FaceArt.h"
#include "Outline.h"
#include "Paint.h"
#include "Panels.h"
#include "Parts.h"
#include "Region.h"
#include "Style.h"
#include "Tracks.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <exception>
#include <set>

namespace {

void writeRegion(const artgen::Region& region, const QString& dir) {
    QFile f(dir + QStringLiteral("/%1.rgn").arg(corvane::layout::kOutlineRegionId));
    const QByteArray bytes = region.encode();
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + f.fileName().toStdString());
}

int run(const QString& outDir, const QString& fontDir) {
    using namespace artgen;
    Fonts::load(fontDir);

    const QString pngDir = outDir + "/png";
    const QString binDir = outDir + "/binary";
    if (!QDir().mkpath(pngDir) || !QDir().mkpath(binDir))
        throw std::runtime_error("cannot create " + outDir.toStdString());

    const Outline outline;
    const Region region(outline);
    region.verify();
    writeRegion(region, binDir);

    // Every image at 1x, and again at 2x for high-density screens.
    std::set<int> written;
    for (int s : {1, 2}) {
        setScale(s);
        std::map<int, QImage> images = renderFaces(outline);
        images.merge(renderPanels());
        images.merge(renderParts());
        images.merge(cutTracks(images));
        std::set<int> drawn;
        for (const auto& [id, image] : images) {
            savePng(image, id, pngDir);
            drawn.insert(id);
        }
        for (const ImageEntry& e : catalogue())
            if (!drawn.count(e.id))
                throw std::logic_error("image " + std::to_string(e.id) + " was not drawn");
        written.merge(drawn);
    }
    setScale(1);
    std::printf("wrote %zu images and the outline region (%d rectangles) to %s\n", written.size(),
                static_cast<int>(region.rects().size()), qPrintable(outDir));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString outDir;
    QString fontDir = "/usr/share/fonts/truetype/dejavu";
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--fonts" && i + 1 < args.size())
            fontDir = args[++i];
        else if (outDir.isEmpty())
            outDir = args[i];
    }
    if (outDir.isEmpty()) {
        std::fprintf(stderr, "usage: corvane_artgen <outdir> [--fonts <dir>]\n");
        return 2;
    }
    try {
        return run(outDir, fontDir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "corvane_artgen: %s\n", e.what());
        return 1;
    }
}
