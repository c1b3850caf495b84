// The four pages over a stand-in main window: placed, loaded and switched as the main window
// does it, with ways to find and work their controls.
#pragma once

#include "BrakePage.h"
#include "ParamBlockFactory.h"
#include "ParameterSet.h"
#include "SettingPage.h"
#include "SkinSlider.h"
#include "SkinStatic.h"
#include "ThrottlePage.h"
#include "TimingPage.h"

#include <QTest>
#include <QWidget>
#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace corvane::test {

// The main window as the pages see it: the real parameter set over a block the test owns, the
// main window's page switch, and a record of what the pages asked for.
class PageTestHost : public PageHost {
public:
    explicit PageTestHost(const ParamBlock& block) : m_block(block) {
        m_params.SetBlock(m_block.data(), static_cast<uint16_t>(m_block.size()), 1);
    }
    PageTestHost(const PageTestHost&) = delete; // the set points into m_block

    bool GetParamDescriptor(int index, ParameterDescriptor& descriptor) override {
        return m_params.GetParamDescriptor(index, descriptor);
    }
    uint8_t GetParamPosition(int index) override {
        m_loaded.push_back(index);
        return m_params.GetParamPosition(index);
    }
    bool GetUnofferedValue(int index, uint8_t& value, uint8_t& position) override {
        return m_params.GetUnofferedValue(index, value, position);
    }
    void SetParamPosition(int index, uint8_t position) override {
        m_stored.push_back(index);
        m_params.SetParamPosition(index, position);
    }
    // As the main window does it: the new page loads and shows before the old one stores.
    void SelectPage(int index) override {
        m_selected.push_back(index);
        if (index != kNoPage) {
            m_pages[static_cast<size_t>(index)]->ShowPage(true);
        }
        if (m_current != kNoPage) {
            m_pages[static_cast<size_t>(m_current)]->StoreParams();
            m_pages[static_cast<size_t>(m_current)]->ShowPage(false);
        }
        m_current = index;
    }

    uint8_t Value(int index) const { return m_block[9 + static_cast<size_t>(index)]; }
    void ClearRecord() {
        m_loaded.clear();
        m_stored.clear();
        m_selected.clear();
    }

    ParamBlock m_block;
    ParameterSet m_params;
    std::array<CPageBase*, 4> m_pages{}; // Settings, Throttle, Timing, Brakes
    int m_current = kNoPage;
    std::vector<int> m_loaded;
    std::vector<int> m_stored;
    std::vector<int> m_selected;
};

enum ControlId : unsigned {
    kVoltageCutoff = 1007,
    kThermalProtection = 1008,
    kMotorDirection = 1009,
    kDriveMode = 1010,
    kNeutralWidth = 1011,
    kStartPower = 1012,
    kThrottleCurve = 1013,
    kCurrentLimiter = 1014,
    kCoast = 1015,
    kBoostStartRpm = 1016,
    kBoostEndRpm = 1017,
    kTurboTiming = 1018,
    kTurboDelay = 1019,
    kBoostTiming = 1020,
    kDragBrake = 1021,
    kBrakeStrength = 1022,
};

// The main window's face with the four pages over its content area, created, placed and
// loaded as the main window does it.
class PagesFixture : public ::testing::Test {
protected:
    enum Page { kSettings, kThrottle, kTiming, kBrakes };

    void CreatePages(const ParamBlock& block) {
        m_host = std::make_unique<PageTestHost>(block);
        m_window.resize(437, 490);
        auto* brakes = new CBrakePage(&m_window, m_host.get());
        auto* settings = new CSettingPage(&m_window, m_host.get());
        auto* timing = new CTimingPage(&m_window, m_host.get());
        auto* throttle = new CThrottlePage(&m_window, m_host.get());
        m_host->m_pages = {settings, throttle, timing, brakes};
        for (CPageBase* page : m_host->m_pages) {
            page->setGeometry(QRect(QPoint(36, 62), brakes->BackgroundSize()));
        }
        for (CPageBase* page : m_host->m_pages) {
            page->LoadParams();
        }
        m_window.show();
        m_host->ClearRecord();
    }
    void TearDown() override {
        if (m_host) {
            for (CPageBase* page : m_host->m_pages) {
                delete page;
            }
        }
    }

    CPageBase& PageOf(Page page) const { return *m_host->m_pages[page]; }
    // Controls are found as the user finds them: sliders by id, displays by place.
    static CSkinSlider* Slider(const CPageBase& page, unsigned controlId) {
        for (CSkinSlider* slider : page.findChildren<CSkinSlider*>()) {
            if (slider->ControlId() == controlId) {
                return slider;
            }
        }
        ADD_FAILURE() << "no control " << controlId;
        return nullptr;
    }
    static CSkinStatic* DisplayAt(const CPageBase& page, QPoint topLeft) {
        for (CSkinStatic* display : page.findChildren<CSkinStatic*>()) {
            if (display->pos() == topLeft) {
                return display;
            }
        }
        ADD_FAILURE() << "no display at " << topLeft.x() << "," << topLeft.y();
        return nullptr;
    }
    static void Click(CPageBase& page, QPoint at) {
        QTest::mouseClick(&page, Qt::LeftButton, {}, at);
    }
    // Grabs the thumb in its middle and lets go at `to` (slider pixels).
    static void Drag(CSkinSlider* slider, QPoint to) {
        QTest::mousePress(slider, Qt::LeftButton, {}, slider->ThumbRect().center());
        QTest::mouseMove(slider, to);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, to);
    }

    QWidget m_window;
    std::unique_ptr<PageTestHost> m_host;
};

} // namespace corvane::test
