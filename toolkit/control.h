// A view with a value: range, default, tag, listener, and the begin/end edit bookkeeping
// that reaches the listener and, through the frame, the editor.
#pragma once

#include <cstdint>

#include "toolkit/control_listener.h"
#include "toolkit/view.h"

namespace toolkit {

// Style bits shared by all controls (the classic numbering).
enum CControlStyle : int32_t {
    kHorizontal = 1,
    kVertical = 2,
    kShadowText = 4,
    kLeft = 8,
    kRight = 16,
    kTop = 32,
    kBottom = 64,
    k3DIn = 128,
    k3DOut = 256,
    kPopupStyle = 512,
    kCheckStyle = 1024,
    kMultipleCheckStyle = 1025,
    kNoTextStyle = 2048,
    kNoDrawStyle = 4096,
    kDoubleClickStyle = 8192,
    kNoFrame = 16384,
    kRoundRectStyle = 32768,
};

class CControl : public CView {
public:
    static constexpr int32_t kZoomModifier = kShift;
    static constexpr int32_t kDefaultValueModifier = kControl;

    CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = -1,
             CBitmap* background = nullptr);
    CControl(const CControl& other);

    // Clamped into [min, max]; never notifies and never redraws.
    virtual void setValue(float newValue);
    float getValue() const { return value; }
    virtual void setMin(float newMin);
    float getMin() const { return minValue; }
    virtual void setMax(float newMax);
    float getMax() const { return maxValue; }
    void setDefaultValue(float newDefault) { defaultValue = newDefault; }
    float getDefaultValue() const { return defaultValue; }
    void setWheelInc(float increment) { wheelInc = increment; }
    float getWheelInc() const { return wheelInc; }
    void setTag(int32_t newTag);
    int32_t getTag() const { return tag; }
    void setListener(CControlListener* newListener) { listener = newListener; }
    CControlListener* getListener() const { return listener; }
    void setBackOffset(const CPoint& offset) { backOffset = offset; }
    const CPoint& getBackOffset() const { return backOffset; }
    void copyBackOffset() { backOffset = size.getTopLeft(); }

    // Nested pairs count: only the outermost begin and end notify.
    virtual void beginEdit();
    virtual void endEdit();
    bool isEditing() const { return editCount > 0; }
    // Tells the listener.
    virtual void valueChanged();
    // Ctrl+left click (exactly) sets the default value; true whenever the gesture applies.
    bool checkDefaultValue(CButtonState buttons);
    void bounceValue();
    float getValueNormalized() const;
    void setValueNormalized(float normalized);

    void setDirty(bool state = true) override;
    bool isDirty() const override;
    float getOldValue() const { return oldValue; }

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CControl"; }
    CView* newCopy() const override { return new CControl(*this); }

protected:
    float value = 0;
    float minValue = 0;
    float maxValue = 1;
    float defaultValue = 0.5f;
    float wheelInc = 0.1f;
    float oldValue = 1;
    int32_t tag;
    CControlListener* listener;
    CPoint backOffset;

private:
    int32_t editCount = 0;
};

}  // namespace toolkit
