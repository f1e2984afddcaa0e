#include "adapter/framework/control_list.h"

int32_t CControlList::Add(std::unique_ptr<CPluginControl> control) {
    controls_.push_back(std::move(control));
    return Count();
}

CPluginControl* CControlList::At(int32_t index) const {
    if (index < 1 || index > Count()) return nullptr;
    return controls_[static_cast<std::size_t>(index - 1)].get();
}
