// COptionMenu and its pop-up list: entries and the current entry, choice by mouse and
// keyboard, cancel, column layout (61 entries in columns of 16), and drawing.
#include <gtest/gtest.h>

#include "toolkit/option_menu.h"
#include "toolkit/popup_menu.h"
#include "toolkit_test_support.h"

namespace toolkit_test {
namespace {

struct MenuFixture : FrameFixture {
    COptionMenu* menu;
    explicit MenuFixture(int entries = 5, int32_t perColumn = -1) {
        menu = add(new COptionMenu(CRect(10, 10, 110, 30), &listener, 71));
        for (int i = 0; i < entries; ++i) {
            menu->addEntry("Preset " + std::to_string(i + 1));
        }
        menu->setNbItemsPerColumn(perColumn);
        menu->setCurrent(2);
        frame->idle();
    }
    PopupMenu* open() {
        frame->mouseDown({20, 20}, kLButton);
        return frame->getPopupMenu();
    }
    CPoint centreOf(int32_t index) { return frame->getPopupMenu()->getEntryRect(index).getCenter(); }
};

TEST(OptionMenu, EntriesValueAndCurrentIndex) {
    MenuFixture f(0);
    EXPECT_EQ(f.menu->getCurrentIndex(), -1) << "shows nothing until set";
    f.menu->addEntry("A");
    f.menu->addEntry("-");
    f.menu->addEntry("B");
    f.menu->addEntry("First", 0);
    f.menu->addEntry("Last", 99);
    EXPECT_EQ(f.menu->getNbEntries(), 5);
    EXPECT_EQ(f.menu->getEntry(0)->getTitle(), "First");
    EXPECT_TRUE(f.menu->getEntry(2)->isSeparator());
    EXPECT_EQ(f.menu->getMax(), 4.f);
    f.menu->setValue(3.7f);  // truncated
    EXPECT_EQ(f.menu->getCurrentIndex(true), 3);
    EXPECT_EQ(f.menu->getCurrentIndex(false), 2) << "the separator before it is not counted";
    f.menu->setValue(9.f);  // outside: ignored
    f.menu->setValue(-1.f);
    EXPECT_EQ(f.menu->getValue(), 3.f);
    f.menu->getEntry(3)->setTitle("Renamed");
    EXPECT_EQ(f.menu->getCurrent()->getTitle(), "Renamed");
    f.menu->setMin(2);  // min and max follow the entries only
    EXPECT_EQ(f.menu->getMin(), 0.f);
    EXPECT_TRUE(f.log.entries.empty()) << "setting the entry tells nobody";
}

TEST(OptionMenu, ClickOpensTheListWithTheCurrentEntryHighlighted) {
    MenuFixture f;
    EXPECT_EQ(f.frame->mouseDown({20, 20}, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    ASSERT_NE(f.frame->getPopupMenu(), nullptr);
    EXPECT_TRUE(f.menu->isPopupOpen());
    EXPECT_EQ(f.frame->getPopupMenu()->getHoveredIndex(), 2);
    EXPECT_TRUE(f.log.entries.empty()) << "opening tells nobody";
    EXPECT_EQ(f.frame->mouseDown({20, 20}, kMButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents)
        << "a press in the frame while the list is open closes it";
    EXPECT_EQ(f.frame->getPopupMenu(), nullptr);
}

TEST(OptionMenu, ChoosingAnEntryBracketsTheChange) {
    struct Case {
        const char* name;
        std::function<void(MenuFixture&)> choose;
        int32_t expected;
    };
    const Case cases[] = {
        {"click on an entry",
         [](MenuFixture& f) {
             f.frame->popupMouseMoved(f.centreOf(4));
             f.frame->popupMouseDown(f.centreOf(4), kLButton);
             f.frame->popupMouseUp(f.centreOf(4), kLButton);
         },
         4},
        {"press, drag and release",
         [](MenuFixture& f) {
             f.frame->popupMouseMoved(f.centreOf(1));
             f.frame->popupMouseMoved(f.centreOf(0));
             f.frame->popupMouseUp(f.centreOf(0), kLButton);
         },
         0},
        {"arrow down and Return", [](MenuFixture& f) {
             f.frame->popupKeyDown(KeyCode{0, kKeyDown, 0});
             f.frame->popupKeyDown(KeyCode{0, kKeyReturn, 0});
         },
         3},
        {"host-forwarded keys reach the list", [](MenuFixture& f) {
             f.frame->keyDown(KeyCode{0, kKeyUp, 0});
             f.frame->keyDown(KeyCode{0, kKeyUp, 0});
             f.frame->keyDown(KeyCode{0, kKeyEnter, 0});
         },
         0},
    };
    for (const Case& c : cases) {
        MenuFixture f;
        f.open();
        c.choose(f);
        EXPECT_EQ(f.frame->getPopupMenu(), nullptr) << c.name;
        EXPECT_FALSE(f.menu->isPopupOpen()) << c.name;
        EXPECT_EQ(f.menu->getCurrentIndex(), c.expected) << c.name;
        EXPECT_EQ(f.menu->getLastResult(), c.expected) << c.name;
        const std::string changed = "changed 71=" + std::to_string(c.expected);
        const std::vector<std::string> expected = {"listener begin 71", "editor begin 71", changed, "editor end 71",
                                                   "listener end 71"};
        EXPECT_EQ(f.log.entries, expected) << c.name;
    }
}

TEST(OptionMenu, EscapeOrAClickOutsideClosesWithoutAChange) {
    struct Case {
        const char* name;
        std::function<void(MenuFixture&)> close;
    };
    const Case cases[] = {
        {"Escape", [](MenuFixture& f) { f.frame->popupKeyDown(KeyCode{0, kKeyEscape, 0}); }},
        {"host Escape", [](MenuFixture& f) { f.frame->keyDown(KeyCode{0, kKeyEscape, 0}); }},
        {"click outside", [](MenuFixture& f) { f.frame->popupMouseDown({-20, -5}, kLButton); }},
        {"closed by the frame", [](MenuFixture& f) { f.frame->closePopupMenu(); }},
        {"menu removed", [](MenuFixture& f) { f.frame->removeView(f.menu); }},
    };
    for (const Case& c : cases) {
        MenuFixture f;
        f.open();
        c.close(f);
        EXPECT_EQ(f.frame->getPopupMenu(), nullptr) << c.name;
        EXPECT_TRUE(f.log.entries.empty()) << c.name;
        if (f.frame->isChild(f.menu)) {
            EXPECT_EQ(f.menu->getCurrentIndex(), 2) << c.name;
            EXPECT_EQ(f.menu->getLastResult(), -1) << c.name;
            EXPECT_EQ(f.menu->getNbReference(), 1) << c.name << ": the list's hold on the menu is released";
        }
    }
}

TEST(OptionMenu, TheReleaseOfTheOpeningClickChoosesNothing) {
    // Outside the list, or over an entry when the list lies over the control.
    MenuFixture f;
    f.open();
    f.frame->popupMouseUp({-5, -10}, kLButton);
    EXPECT_NE(f.frame->getPopupMenu(), nullptr);
    f.frame->popupMouseMoved(f.centreOf(2));
    f.frame->popupMouseUp(f.centreOf(2), kLButton);
    EXPECT_NE(f.frame->getPopupMenu(), nullptr) << "the pointer has not moved since the list opened";
    f.frame->popupMouseMoved(f.centreOf(3));
    f.frame->popupMouseUp(f.centreOf(3), kLButton);
    EXPECT_EQ(f.menu->getCurrentIndex(), 3) << "after a move, a release chooses";
}

TEST(OptionMenu, PopupStyleLaysTheCurrentEntryOverTheControl) {
    for (bool popupStyle : {false, true}) {
        MenuFixture f(40, 16);
        f.menu->setStyle(popupStyle ? 7680 : 0);
        f.menu->setCurrent(20);
        PopupMenu* list = f.open();
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->getCoversAnchor(), popupStyle);
        const CRect anchor = f.menu->getViewSize();
        const CPoint offset = list->placementOffset(anchor);
        if (!popupStyle) {
            EXPECT_EQ(offset, CPoint(0, anchor.getHeight())) << "below the control";
        } else {
            CRect current = list->getEntryRect(20);
            current.offset(anchor.left + offset.x, anchor.top + offset.y);
            EXPECT_EQ(current.left, anchor.left);
            EXPECT_NEAR(current.getCenter().y, anchor.getCenter().y, 0.5) << "entry 21 lies over the control";
        }
    }
}

TEST(OptionMenu, SeparatorsDisabledEntriesAndTitlesCannotBeChosen) {
    MenuFixture f(0);
    f.menu->addEntry("A");
    f.menu->addEntry("-");
    f.menu->addEntry("Off", -1, CMenuItem::kDisabled);
    f.menu->addEntry("Heading", -1, CMenuItem::kTitle);
    f.menu->addEntry("B");
    f.menu->setCurrent(0);
    PopupMenu* list = f.open();
    for (int32_t index : {1, 2, 3}) {
        EXPECT_EQ(list->entryAt(list->getEntryRect(index).getCenter()), -1) << index;
    }
    f.frame->popupKeyDown(KeyCode{0, kKeyDown, 0});
    EXPECT_EQ(list->getHoveredIndex(), 4) << "the arrow skips what cannot be chosen";
    f.frame->popupMouseUp(list->getEntryRect(2).getCenter(), kLButton);
    EXPECT_NE(f.frame->getPopupMenu(), nullptr);
}

TEST(OptionMenu, ArrowKeysOnTheClosedMenuStepTheEntry) {
    MenuFixture f;
    f.frame->setFocusView(f.menu);
    f.frame->keyDown(KeyCode{0, kKeyDown, 0});
    EXPECT_EQ(f.menu->getCurrentIndex(), 3);
    EXPECT_EQ(f.log.entries.size(), 5u);
    f.frame->keyDown(KeyCode{0, kKeyReturn, 0});
    EXPECT_NE(f.frame->getPopupMenu(), nullptr) << "Return opens the list";
}

TEST(PopupMenuLayout, SixtyOneEntriesInColumnsOfSixteen) {
    MenuFixture f(61, 16);
    PopupMenu* list = f.open();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->getNbColumns(), 4);
    const CCoord row = list->getRowHeight();
    EXPECT_GE(row, 20);
    // Entry 16 starts the second column at the top; 60 is the 13th row of the fourth.
    EXPECT_EQ(list->getEntryRect(16).top, list->getEntryRect(0).top);
    EXPECT_GT(list->getEntryRect(16).left, list->getEntryRect(15).left);
    EXPECT_EQ(list->getEntryRect(60).top, list->getEntryRect(48).top + 12 * row);
    EXPECT_EQ(list->getEntryRect(60).left, list->getEntryRect(48).left);
    const CRect bounds = list->getBounds();
    EXPECT_NEAR(bounds.getHeight(), 16 * row + 2 * (PopupMenu::kBorder + PopupMenu::kVerticalPadding), 0.01);
    EXPECT_LT(bounds.getHeight(), 400) << "short enough for any screen";
    for (int32_t index = 0; index < 61; ++index) {
        const CRect r = list->getEntryRect(index);
        EXPECT_TRUE(bounds.rectInside(r)) << index;
        EXPECT_EQ(list->entryAt(r.getCenter()), index) << index;
    }
    EXPECT_EQ(list->entryAt({bounds.right + 5, 10}), -1);
}

TEST(PopupMenuLayout, KeyboardMovesWithinAndAcrossColumns) {
    MenuFixture f(61, 16);
    PopupMenu* list = f.open();
    struct Step {
        int key;
        int32_t expected;
    };
    // Starts on the current entry, 2.
    const Step steps[] = {
        {kKeyRight, 18}, {kKeyRight, 34}, {kKeyRight, 50}, {kKeyRight, 50}, {kKeyDown, 51}, {kKeyEnd, 60},
        {kKeyDown, 60},  {kKeyLeft, 44},  {kKeyHome, 0},   {kKeyUp, 0},     {kKeyLeft, 0},  {kKeyDown, 1},
    };
    for (const Step& step : steps) {
        f.frame->popupKeyDown(KeyCode{0, step.key, 0});
        EXPECT_EQ(list->getHoveredIndex(), step.expected) << "key " << step.key;
    }
    // From the third column's last row, Right lands on the short last column's end.
    f.frame->popupKeyDown(KeyCode{0, kKeyHome, 0});
    for (int i = 0; i < 47; ++i) f.frame->popupKeyDown(KeyCode{0, kKeyDown, 0});
    EXPECT_EQ(list->getHoveredIndex(), 47);
    f.frame->popupKeyDown(KeyCode{0, kKeyRight, 0});
    EXPECT_EQ(list->getHoveredIndex(), 60);
}

TEST(PopupMenuLayout, OneColumnWithoutAColumnSetting) {
    MenuFixture f(5, -1);
    PopupMenu* list = f.open();
    EXPECT_EQ(list->getNbColumns(), 1);
    EXPECT_EQ(list->getEntryRect(4).top, list->getEntryRect(0).top + 4 * list->getRowHeight());
}

TEST(OptionMenu, DrawsTheCurrentTitleAndTheListDrawsItsTheme) {
    MenuFixture f;
    f.menu->setFont(CFontDesc{"Arial", 12});
    f.menu->setBackColor(CColor{30, 30, 30, 255});
    Canvas control(200, 100, 1);
    control.paint(*f.frame);
    EXPECT_GT(control.count(10, 10, 110, 30, near(kWhiteCColor, 20)), 15) << "the title is drawn";

    PopupMenu* list = f.open();
    for (double scale : {1.0, 2.0}) {
        const CRect bounds = list->getBounds();
        Canvas canvas(static_cast<int>(bounds.getWidth()), static_cast<int>(bounds.getHeight()), scale);
        canvas.paintWith([&](CDrawContext& context) { list->draw(context); });
        const int s = static_cast<int>(scale);
        const CRect hovered = list->getEntryRect(2);
        const CRect other = list->getEntryRect(0);
        EXPECT_EQ(canvas.pixel(static_cast<int>(hovered.right - 4) * s, static_cast<int>(hovered.getCenter().y) * s),
                  (CColor{200, 200, 200, 255}))
            << "the hovered row is highlighted @" << scale;
        EXPECT_EQ(canvas.pixel(static_cast<int>(other.right - 4) * s, static_cast<int>(other.getCenter().y) * s),
                  (CColor{57, 60, 63, 255}))
            << "other rows on the dark background @" << scale;
        EXPECT_GT(canvas.count(static_cast<int>(other.left + PopupMenu::kCheckColumnWidth) * s,
                               static_cast<int>(other.top) * s, static_cast<int>(other.right) * s,
                               static_cast<int>(other.bottom) * s, near(kWhiteCColor, 30)),
                  10 * s)
            << "white titles @" << scale;
        // The current entry (2, hovered) carries a tick in its check column, in black on the bar.
        EXPECT_GT(canvas.count(static_cast<int>(hovered.left) * s, static_cast<int>(hovered.top) * s,
                               static_cast<int>(hovered.left + PopupMenu::kCheckColumnWidth) * s,
                               static_cast<int>(hovered.bottom) * s, near(kBlackCColor, 60)),
                  3 * s)
            << "tick @" << scale;
        if (std::getenv("RUVANE_TOOLKIT_SHOTS")) {
            canvas.writePng(scale == 1 ? "menu-1x.png" : "menu-2x.png");
        }
    }
}

}  // namespace
}  // namespace toolkit_test
