// The sliders and value displays of one page, bound to their parameters, and the copying of
// positions between them and the parameter block.
#pragma once

#include "PageHost.h"
#include "SkinLayout.h"
#include "SkinSlider.h"
#include "SkinStatic.h"

#include <memory>
#include <span>
#include <vector>

class QWidget;

namespace corvane {

class PageControls {
public:
    // The rows must outlive this object; pages pass the layout's constant tables.
    explicit PageControls(std::span<const layout::ControlPlace> rows) : m_rows(rows) {}

    // Builds every row on page: display, descriptor, slider, binding, font size. A parameter
    // whose descriptor the host cannot supply gets a disabled, unbound slider.
    void Create(QWidget* page, PageHost* host);
    // Both skip unbound rows, so a parameter the block cannot describe is never touched;
    // without a host they do nothing.
    void Load(PageHost* host);
    void Store(PageHost* host);

private:
    struct Row {
        std::unique_ptr<CSkinStatic> display;
        std::unique_ptr<CSkinSlider> slider;
        bool bound = false;
        bool reversed = false;
    };

    std::span<const layout::ControlPlace> m_rows;
    std::vector<Row> m_controls;
};

} // namespace corvane
