// What the frame asks of the editor that owns it.
#pragma once

#include <cstdint>

namespace toolkit {

class CFrame;

class EditorInterface {
public:
    virtual void beginEdit(int32_t /*tag*/) {}
    virtual void endEdit(int32_t /*tag*/) {}
    // -1: no preference, the frame uses its default knob mode.
    virtual int32_t getKnobMode() const { return -1; }
    virtual CFrame* getFrame() const { return frame; }

protected:
    ~EditorInterface() = default;

    CFrame* frame = nullptr;
};

}  // namespace toolkit
