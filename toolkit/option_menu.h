// A control that shows the current entry of a list and opens the list as a pop-up
// menu. Its value is the entry index (separators counted).
#pragma once

#include <string>
#include <vector>

#include "toolkit/param_display.h"
#include "toolkit/reference_counted.h"

namespace toolkit {

class CMenuItem : public CReferenceCounted {
public:
    enum Flags : int32_t { kNoFlags = 0, kDisabled = 1, kTitle = 2, kChecked = 4, kSeparator = 8 };

    explicit CMenuItem(std::string title, int32_t flags = kNoFlags);

    void setTitle(std::string newTitle) { title = std::move(newTitle); }
    const std::string& getTitle() const { return title; }
    int32_t getFlags() const { return flags; }
    void setEnabled(bool state);
    bool isEnabled() const { return (flags & kDisabled) == 0; }
    void setChecked(bool state);
    bool isChecked() const { return (flags & kChecked) != 0; }
    bool isSeparator() const { return (flags & kSeparator) != 0; }
    bool isTitle() const { return (flags & kTitle) != 0; }

private:
    std::string title;
    int32_t flags;
};

class COptionMenu : public CParamDisplay {
public:
    COptionMenu(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr,
                CBitmap* bgWhenClicked = nullptr, int32_t style = 0);
    COptionMenu(const COptionMenu& other);

    // A title of exactly "-" adds a separator. An index below 0 or past the end appends.
    CMenuItem* addEntry(std::string title, int32_t index = -1, int32_t flags = CMenuItem::kNoFlags);
    CMenuItem* addSeparator(int32_t index = -1);
    bool removeEntry(int32_t index);
    void removeAllEntry();
    CMenuItem* getEntry(int32_t index) const;
    int32_t getNbEntries() const { return static_cast<int32_t>(items.size()); }
    // Sets the current entry without notifying anyone.
    bool setCurrent(int32_t index, bool countSeparator = true);
    int32_t getCurrentIndex(bool countSeparator = false) const;
    CMenuItem* getCurrent() const;
    int32_t getLastResult() const { return lastResult; }
    void setNbItemsPerColumn(int32_t count) { itemsPerColumn = count; }
    int32_t getNbItemsPerColumn() const { return itemsPerColumn; }

    // Index truncated; ignored outside the entries.
    void setValue(float newValue) override;
    void setMin(float) override {}
    void setMax(float) override {}

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    int32_t onKeyDown(KeyCode& key) override;

    // Opens the list (through the frame's window when there is one). On a choice:
    // beginEdit, setValue, valueChanged, endEdit. Closing without a choice changes nothing.
    bool popup();
    bool isPopupOpen() const { return inPopup; }
    bool removed(CView* parentView) override;

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "COptionMenu"; }
    CView* newCopy() const override { return new COptionMenu(*this); }

protected:
    ~COptionMenu() override;

private:
    void popupClosed(int32_t chosenIndex);
    void chooseIndex(int32_t index);

    std::vector<CMenuItem*> items;
    CBitmap* bgWhenClicked = nullptr;
    int32_t currentIndex = -1;
    int32_t lastResult = -1;
    int32_t itemsPerColumn = -1;
    bool inPopup = false;
};

}  // namespace toolkit
