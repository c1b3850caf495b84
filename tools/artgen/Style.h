#pragma once

#include "SkinLayout.h"

#include <QColor>
#include <QFont>
#include <QString>

namespace artgen {

// The product's colours: a graphite body, amber accents and white lettering.
namespace palette {
inline const QColor rim{7, 9, 11};
inline const QColor bodyTop{47, 52, 60};
inline const QColor bodyBottom{28, 31, 36};
inline const QColor well{17, 19, 23};
inline const QColor panel{22, 25, 29};
inline const QColor box{30, 34, 40};
inline const QColor boxEdge{52, 58, 66};
inline const QColor tile{40, 45, 52};
inline const QColor tileBottom{31, 35, 41};
inline const QColor groove{8, 9, 11};
inline const QColor tick{128, 137, 148};
inline const QColor text{244, 246, 248};
inline const QColor textMuted{160, 169, 180};
inline const QColor textDim{104, 112, 124};
inline const QColor accent{corvane::layout::kAccent};
inline const QColor accentDeep{214, 132, 0};
inline const QColor accentInk{26, 18, 4};
inline const QColor danger{229, 72, 77};
inline const QColor lcdTop{255, 206, 104};
inline const QColor lcdBottom{244, 166, 34};
} // namespace palette

// Fonts come from explicit files so the artwork never depends on what fontconfig would pick.
class Fonts {
public:
    // Registers DejaVu Sans Condensed (regular and bold) from fontDir; throws when missing.
    static void load(const QString& fontDir);

    static QFont regular(int pixelSize);
    static QFont bold(int pixelSize);

private:
    static QFont make(const QString& family, int pixelSize, bool bold);
};

} // namespace artgen
