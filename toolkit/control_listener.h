// What a control tells its owner: value changes and the start and end of an edit.
#pragma once

#include <cstdint>

#include "toolkit/button_state.h"

namespace toolkit {

class CControl;

class CControlListener {
public:
    virtual void valueChanged(CControl* control) = 0;
    // A non-zero answer takes the click away from the control.
    virtual int32_t controlModifierClicked(CControl* /*control*/, CButtonState /*buttons*/) { return 0; }
    virtual void controlBeginEdit(CControl* /*control*/) {}
    virtual void controlEndEdit(CControl* /*control*/) {}
    virtual void controlTagWillChange(CControl* /*control*/) {}
    virtual void controlTagDidChange(CControl* /*control*/) {}

protected:
    ~CControlListener() = default;
};

}  // namespace toolkit
