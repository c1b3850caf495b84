// Shows the Throttle, Timing and Brakes panels with their sliders and value displays at
// their real places, for looking at the skin on a real window: seams between track and
// panel, text placement in the value boxes, dragging and arrow keys.
// Run from the build directory so that FRAMDCN.TTF is found.
#include "GdiPlusBitmap.h"
#include "PrivateFont.h"
#include "SkinSlider.h"
#include "SkinStatic.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <vector>

using namespace corvane;

namespace {

struct SliderPlace {
    QPoint pos;
    unsigned id;
    unsigned trackPng;
    unsigned thumbPng;
    uint8_t orientation;
    ParameterDescriptor descriptor;
    int position;
    QPoint displayPos;   // unused without a display
    unsigned displayPng; // 0: no display
    unsigned fontSize;
};

class DemoPanel : public QWidget {
public:
    DemoPanel(unsigned backgroundPng, const std::vector<SliderPlace>& places) {
        m_background = LoadPngResource(backgroundPng);
        setFixedSize(365, 365);
        for (const SliderPlace& entry : places) {
            CSkinStatic* display = nullptr;
            if (entry.displayPng != 0) {
                m_displays.push_back(
                    CreateSkinStatic("", entry.displayPos, this, entry.displayPng));
                display = m_displays.back().get();
            }
            m_sliders.push_back(CreateSkinSlider(entry.pos, this, entry.id, entry.trackPng,
                                                 entry.thumbPng, entry.orientation));
            m_sliders.back()->Bind(display, entry.descriptor);
            if (display != nullptr) {
                display->SetFontSize(entry.fontSize, false);
            }
            m_sliders.back()->SetPos(entry.position);
        }
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (m_background) {
            m_background->Draw(painter, QPoint(0, 0));
        }
    }

private:
    std::unique_ptr<CGdiPlusBitmapResource> m_background;
    std::vector<std::unique_ptr<CSkinStatic>> m_displays;
    std::vector<std::unique_ptr<CSkinSlider>> m_sliders;
};

ParameterDescriptor Linear(int32_t index, uint8_t min, uint8_t max) {
    return {index, 0, min, max, nullptr};
}

const uint8_t kStartPowerTable[] = {1, 2, 3, 4, 5};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    LoadPrivateFont();

    const std::vector<SliderPlace> throttle = {
        {{73, 87}, 1012, 145, 144, 0, {PARAM_START_POWER, 5, 0, 0, kStartPowerTable}, 2, {}, 0, 0},
        {{35, 207},
         1013,
         152,
         149,
         1,
         Linear(PARAM_THROTTLE_CURVE, 28, 228),
         110,
         {30, 307},
         159,
         9},
        {{148, 207},
         1014,
         152,
         149,
         1,
         Linear(PARAM_CURRENT_LIMITER, 0, 100),
         50,
         {142, 307},
         159,
         10},
        {{261, 207}, 1015, 152, 149, 1, Linear(PARAM_COAST, 0, 100), 0, {254, 307}, 159, 10},
    };
    const std::vector<SliderPlace> timing = {
        {{21, 102}, 1016, 153, 149, 1, Linear(PARAM_BOOST_START_RPM, 1, 30), 11, {35, 285}, 159, 9},
        {{101, 102}, 1017, 153, 149, 1, Linear(PARAM_BOOST_END_RPM, 1, 30), 29, {115, 285}, 159, 9},
        {{244, 137}, 1018, 154, 149, 1, Linear(PARAM_TURBO_TIMING, 0, 60), 25, {244, 285}, 160, 9},
        {{296, 137}, 1019, 155, 149, 1, Linear(PARAM_TURBO_DELAY, 10, 200), 15, {296, 285}, 160, 8},
        {{179, 137}, 1020, 156, 149, 1, Linear(PARAM_BOOST_TIMING, 0, 50), 1, {179, 285}, 160, 9},
    };
    const std::vector<SliderPlace> brakes = {
        {{76, 116}, 1021, 157, 149, 1, Linear(PARAM_DRAG_BRAKE, 0, 75), 75, {77, 285}, 159, 10},
        {{243, 116},
         1022,
         158,
         149,
         1,
         Linear(PARAM_BRAKE_STRENGTH, 0, 100),
         0,
         {244, 285},
         159,
         10},
    };

    QWidget window;
    window.setWindowTitle("skin demo");
    auto* layout = new QHBoxLayout(&window);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(new DemoPanel(147, throttle));
    layout->addWidget(new DemoPanel(146, timing));
    layout->addWidget(new DemoPanel(142, brakes));
    window.move(0, 0);
    window.show();
    const int result = app.exec();
    FreePrivateFont();
    return result;
}
