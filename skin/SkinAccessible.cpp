#include "SkinAccessible.h"

#include "Cp950.h"
#include "SkinHotSpot.h"
#include "SkinSlider.h"

#include <QAccessibleWidget>

namespace corvane {

namespace {

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
        if (action == pressAction() && Spot()->isEnabled()) {
            emit Spot()->Activated();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    CSkinHotSpot* Spot() const { return static_cast<CSkinHotSpot*>(widget()); }
};

class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(CSkinSlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType kind) override {
        if (kind == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(kind);
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return DecodeCp950(Slider()->ValueText());
        }
        return QAccessibleWidget::text(kind);
    }

    QVariant currentValue() const override { return Slider()->GetPos(); }
    // A screen reader's move is the user's own, as a key press would be.
    void setCurrentValue(const QVariant& value) override {
        if (Slider()->isEnabled()) {
            Slider()->ChoosePos(value.toInt());
        }
    }
    QVariant maximumValue() const override { return Slider()->MaxPos(); }
    QVariant minimumValue() const override { return Slider()->MinPos(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    CSkinSlider* Slider() const { return static_cast<CSkinSlider*>(widget()); }
};

QAccessibleInterface* SkinAccessibleFactory(const QString&, QObject* object) {
    if (auto* spot = qobject_cast<CSkinHotSpot*>(object)) {
        return new HotSpotAccessible(spot);
    }
    if (auto* slider = qobject_cast<CSkinSlider*>(object)) {
        return new SliderAccessible(slider);
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
