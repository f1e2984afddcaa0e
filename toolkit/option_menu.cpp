#include "toolkit/option_menu.h"

#include <cmath>

#include "toolkit/bitmap.h"
#include "toolkit/frame.h"
#include "toolkit/popup_menu.h"

namespace toolkit {

// ---- CMenuItem ----

CMenuItem::CMenuItem(std::string title, int32_t flags) : title(std::move(title)), flags(flags) {}

void CMenuItem::setEnabled(bool state) { flags = state ? (flags & ~kDisabled) : (flags | kDisabled); }

void CMenuItem::setChecked(bool state) { flags = state ? (flags | kChecked) : (flags & ~kChecked); }

// ---- COptionMenu ----

COptionMenu::COptionMenu(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                         CBitmap* bgWhenClicked, int32_t style)
    : CParamDisplay(size, background, style), bgWhenClicked(bgWhenClicked) {
    this->listener = listener;
    this->tag = tag;
    if (bgWhenClicked != nullptr) {
        bgWhenClicked->remember();
    }
    minValue = 0;
    maxValue = 0;
    setWantsFocus(true);
}

COptionMenu::COptionMenu(const COptionMenu& other)
    : CParamDisplay(other),
      bgWhenClicked(other.bgWhenClicked),
      currentIndex(other.currentIndex),
      itemsPerColumn(other.itemsPerColumn) {
    if (bgWhenClicked != nullptr) {
        bgWhenClicked->remember();
    }
    for (const CMenuItem* item : other.items) {
        items.push_back(new CMenuItem(item->getTitle(), item->getFlags()));
    }
}

COptionMenu::~COptionMenu() {
    removeAllEntry();
    if (bgWhenClicked != nullptr) {
        bgWhenClicked->forget();
    }
}

bool COptionMenu::isTypeOf(std::string_view className) const {
    return className == "COptionMenu" || CParamDisplay::isTypeOf(className);
}

CMenuItem* COptionMenu::addEntry(std::string title, int32_t index, int32_t flags) {
    if (title == "-") {
        flags |= CMenuItem::kSeparator;
    }
    auto* item = new CMenuItem(std::move(title), flags);
    if (index < 0 || index > getNbEntries()) {
        items.push_back(item);
    } else {
        items.insert(items.begin() + index, item);
        if (currentIndex >= index) {
            ++currentIndex;  // the current entry stays the same entry
            value = static_cast<float>(currentIndex);
        }
    }
    maxValue = static_cast<float>(getNbEntries() - 1);
    return item;
}

CMenuItem* COptionMenu::addSeparator(int32_t index) { return addEntry("-", index, CMenuItem::kSeparator); }

bool COptionMenu::removeEntry(int32_t index) {
    if (index < 0 || index >= getNbEntries()) {
        return false;
    }
    items[static_cast<std::size_t>(index)]->forget();
    items.erase(items.begin() + index);
    maxValue = static_cast<float>(std::max(getNbEntries() - 1, 0));
    if (currentIndex == index) {
        currentIndex = -1;
    } else if (currentIndex > index) {
        --currentIndex;
    }
    value = static_cast<float>(std::max(currentIndex, 0));
    setDirty();
    return true;
}

void COptionMenu::removeAllEntry() {
    for (CMenuItem* item : items) {
        item->forget();
    }
    items.clear();
    currentIndex = -1;
    value = 0;
    maxValue = 0;
}

CMenuItem* COptionMenu::getEntry(int32_t index) const {
    return index >= 0 && index < getNbEntries() ? items[static_cast<std::size_t>(index)] : nullptr;
}

bool COptionMenu::setCurrent(int32_t index, bool countSeparator) {
    if (!countSeparator) {
        // Convert an index among the non-separator entries into a list position.
        int32_t position = -1;
        for (int32_t i = 0, seen = -1; i < getNbEntries(); ++i) {
            if (!items[static_cast<std::size_t>(i)]->isSeparator() && ++seen == index) {
                position = i;
                break;
            }
        }
        index = position;
    }
    if (index < 0 || index >= getNbEntries()) {
        return false;
    }
    currentIndex = index;
    value = static_cast<float>(index);
    setDirty();
    return true;
}

int32_t COptionMenu::getCurrentIndex(bool countSeparator) const {
    if (countSeparator || currentIndex < 0) {
        return currentIndex;
    }
    int32_t index = currentIndex;
    for (int32_t i = 0; i < currentIndex; ++i) {
        if (items[static_cast<std::size_t>(i)]->isSeparator()) {
            --index;
        }
    }
    return index;
}

CMenuItem* COptionMenu::getCurrent() const { return getEntry(currentIndex); }

void COptionMenu::setValue(float newValue) {
    if (!std::isfinite(newValue)) {
        return;
    }
    const double truncated = std::trunc(static_cast<double>(newValue));
    if (truncated < 0 || truncated >= getNbEntries()) {
        return;
    }
    currentIndex = static_cast<int32_t>(truncated);
    value = static_cast<float>(currentIndex);
    setDirty();
}

void COptionMenu::draw(CDrawContext* context) {
    if ((style & kNoDrawStyle) != 0) {
        return;
    }
    if (inPopup && bgWhenClicked != nullptr) {
        context->drawBitmap(*bgWhenClicked, size, backOffset);
    } else {
        drawBack(context);
    }
    if ((style & kNoTextStyle) == 0) {
        if (const CMenuItem* item = getCurrent()) {
            drawText(context, item->getTitle());
        }
    }
    setDirty(false);
}

CMouseEventResult COptionMenu::onMouseDown(CPoint&, const CButtonState& buttons) {
    if ((buttons & (kLButton | kRButton | kApple)) == 0) {
        return kMouseEventNotHandled;
    }
    if (CFrame* frame = getFrame()) {
        frame->setFocusView(this);
    }
    popup();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

int32_t COptionMenu::onKeyDown(KeyCode& key) {
    if (key.modifiers != 0) {
        return -1;
    }
    if (key.virtualKey == kKeyReturn || key.virtualKey == kKeyEnter) {
        popup();
        return 1;
    }
    if ((key.virtualKey == kKeyUp || key.virtualKey == kKeyDown) && (style & kHorizontal) == 0) {
        const int32_t step = key.virtualKey == kKeyDown ? 1 : -1;
        for (int32_t index = currentIndex + step; index >= 0 && index < getNbEntries(); index += step) {
            const CMenuItem* item = items[static_cast<std::size_t>(index)];
            if (!item->isSeparator() && !item->isTitle() && item->isEnabled()) {
                chooseIndex(index);
                break;
            }
        }
        return 1;
    }
    return -1;
}

void COptionMenu::chooseIndex(int32_t index) {
    beginEdit();
    setValue(static_cast<float>(index));
    valueChanged();
    endEdit();
    invalid();
}

bool COptionMenu::popup() {
    CFrame* frame = getFrame();
    if (frame == nullptr || inPopup || items.empty()) {
        return false;
    }
    std::vector<PopupMenu::Entry> entries;
    entries.reserve(items.size());
    for (const CMenuItem* item : items) {
        PopupMenu::Entry entry;
        entry.title = item->getTitle();
        entry.separator = item->isSeparator();
        entry.selectable = !item->isSeparator() && !item->isTitle() && item->isEnabled();
        entry.checked = item->isChecked();
        entries.push_back(std::move(entry));
    }
    CFontDesc menuFont = font;
    // The list reads at the desktop's usual size even for a control with tiny text.
    menuFont.size = std::max<CCoord>(menuFont.size, 12);
    // Kept alive until the menu has answered.
    remember();
    auto menu = std::make_unique<PopupMenu>(std::move(entries), currentIndex, itemsPerColumn, menuFont,
                                            [this](int32_t chosen) { popupClosed(chosen); });
    menu->setCoversAnchor((style & kPopupStyle) != 0);
    inPopup = true;
    lastResult = -1;
    invalid();
    if (!frame->openPopupMenu(std::move(menu), size)) {
        inPopup = false;
        invalid();
        forget();
        return false;
    }
    return true;
}

void COptionMenu::popupClosed(int32_t chosenIndex) {
    inPopup = false;
    lastResult = chosenIndex;
    if (chosenIndex >= 0 && getFrame() != nullptr) {
        chooseIndex(chosenIndex);
    } else {
        invalid();
    }
    forget();  // may delete this: nothing after it
}

bool COptionMenu::removed(CView* parentView) {
    if (inPopup && getFrame() != nullptr) {
        getFrame()->closePopupMenu();
    }
    return CParamDisplay::removed(parentView);
}

}  // namespace toolkit
