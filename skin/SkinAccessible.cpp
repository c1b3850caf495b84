#include "SkinAccessible.h"

#include "Cp950.h"
#include "SkinHotSpot.h"
#include "SkinSlider.h"
#include "SkinStatic.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QProgressBar>
#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// A control a screen reader may work: one the user could click or key now. A hidden one (a
// tile under an open page, a tab of a page not shown) or a dead one takes nothing.
bool Workable(const QWidget* widget) {
    return widget->isEnabled() && widget->isVisible();
}

class HotSpotAccessible : public QAccessibleWidget {
public:
    explicit HotSpotAccessible(CSkinHotSpot* spot) : QAccessibleWidget(spot, spot->Role()) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Description) {
            return Spot()->Description();
        }
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (Spot()->Role() == QAccessible::PageTab) {
            state.selectable = true;
            state.selected = Spot()->IsSelected();
        }
        return state;
    }
    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << pressAction();
    }
    void doAction(const QString& action) override {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // The screen reader has its answer at once; the press happens as a click's would,
        // from the event loop, where a box or a file dialog it opens may wait for the user.
        // Whether the place still works is asked then, as for a second click.
        QMetaObject::invokeMethod(
            Spot(),
            [spot = QPointer<CSkinHotSpot>(Spot())] {
                if (spot && Workable(spot)) {
                    emit spot->Activated();
                }
            },
            Qt::QueuedConnection);
    }

private:
    CSkinHotSpot* Spot() const { return static_cast<CSkinHotSpot*>(widget()); }
};

// A widget that has a value: it is its own value interface.
class ValueAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    using QAccessibleWidget::QAccessibleWidget;

    void* interface_cast(QAccessible::InterfaceType kind) override {
        if (kind == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(kind);
    }
};

class SliderAccessible : public ValueAccessible {
public:
    explicit SliderAccessible(CSkinSlider* slider) : ValueAccessible(slider, QAccessible::Slider) {}
    // What the box shows, as the value where the bridge carries a value's text, and as the
    // description where it carries only numbers (AT-SPI's value is the track position).
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value || kind == QAccessible::Description) {
            return DecodeCp950(Slider()->ValueText());
        }
        return QAccessibleWidget::text(kind);
    }

    QVariant currentValue() const override { return Slider()->GetPos(); }
    // A screen reader's move is the user's own, as a key press would be: onto the nearest end
    // of the track when beyond it, and nothing for what is not a number.
    void setCurrentValue(const QVariant& value) override {
        bool number = false;
        const double asked = value.toDouble(&number);
        if (!number || std::isnan(asked) || !Workable(Slider())) {
            return;
        }
        const double position =
            std::clamp(std::round(asked), static_cast<double>(Slider()->MinPos()),
                       static_cast<double>(Slider()->MaxPos()));
        Slider()->ChoosePos(static_cast<int>(position));
    }
    QVariant maximumValue() const override { return Slider()->MaxPos(); }
    QVariant minimumValue() const override { return Slider()->MinPos(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    CSkinSlider* Slider() const { return static_cast<CSkinSlider*>(widget()); }
};

// A value box is text beside its slider, named for it.
class StaticAccessible : public QAccessibleWidget {
public:
    explicit StaticAccessible(CSkinStatic* box) : QAccessibleWidget(box, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value || kind == QAccessible::Description) {
            return DecodeCp950(static_cast<CSkinStatic*>(widget())->Text());
        }
        return QAccessibleWidget::text(kind);
    }
};

// The firmware transfer's bar: how far it is, 0 to 100, and nothing a reader can change.
class ProgressAccessible : public ValueAccessible {
public:
    explicit ProgressAccessible(QProgressBar* bar)
        : ValueAccessible(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType kind) override {
        return kind == QAccessible::ActionInterface ? nullptr
                                                    : ValueAccessible::interface_cast(kind);
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value || kind == QAccessible::Description) {
            return QStringLiteral("%1%").arg(Percent());
        }
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.focusable = false;
        return state;
    }
    QVariant currentValue() const override { return Percent(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 0; }

private:
    int Percent() const {
        const auto* bar = static_cast<const QProgressBar*>(widget());
        const int span = bar->maximum() - bar->minimum();
        if (span <= 0 || bar->value() < bar->minimum()) {
            return 0;
        }
        return std::clamp((bar->value() - bar->minimum()) * 100 / span, 0, 100);
    }
};

QAccessibleInterface* SkinAccessibleFactory(const QString&, QObject* object) {
    if (auto* spot = qobject_cast<CSkinHotSpot*>(object)) {
        return new HotSpotAccessible(spot);
    }
    if (auto* slider = qobject_cast<CSkinSlider*>(object)) {
        return new SliderAccessible(slider);
    }
    if (auto* box = qobject_cast<CSkinStatic*>(object)) {
        return new StaticAccessible(box);
    }
    if (auto* bar = qobject_cast<QProgressBar*>(object)) {
        return new ProgressAccessible(bar);
    }
    return nullptr;
}

} // namespace

void InstallSkinAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(SkinAccessibleFactory);
        return true;
    }();
    (void)installed;
}

} // namespace corvane
