// A process's host controls, numbered from 1 in the order they were added.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "adapter/framework/plugin_control.h"

class CControlList {
public:
    int32_t Add(std::unique_ptr<CPluginControl> control);  // answers its index
    int32_t Count() const { return static_cast<int32_t>(controls_.size()); }
    // Null for an index that names no control.
    CPluginControl* At(int32_t index) const;

private:
    std::vector<std::unique_ptr<CPluginControl>> controls_;
};
