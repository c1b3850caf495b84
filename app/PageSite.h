// What the parameter pages are given: the parameter set the connection keeps, and the window's
// page switch. The pages never reach the window itself.
#pragma once

#include <functional>
#include <utility>

#include "PageHost.h"
#include "ParameterSet.h"

namespace corvane {

class PageSite : public PageHost {
public:
    // `select` shows a page; `changed` runs after every value a control stores.
    PageSite(ParameterSet& params, std::function<void(int)> select, std::function<void()> changed)
        : m_params(params), m_select(std::move(select)), m_changed(std::move(changed)) {}

    bool GetParamDescriptor(int index, ParameterDescriptor& descriptor) override {
        return m_params.GetParamDescriptor(index, descriptor);
    }
    uint8_t GetParamPosition(int index) override { return m_params.GetParamPosition(index); }
    bool GetUnofferedValue(int index, uint8_t& value, uint8_t& position) override {
        return m_params.GetUnofferedValue(index, value, position);
    }
    void SetParamPosition(int index, uint8_t position) override {
        m_params.SetParamPosition(index, position);
        m_changed();
    }
    void SelectPage(int index) override { m_select(index); }

private:
    ParameterSet& m_params;
    std::function<void(int)> m_select;
    std::function<void()> m_changed;
};

} // namespace corvane
