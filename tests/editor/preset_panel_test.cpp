// The preset strip, through the editor with the real effect: the name field, the list,
// previous/next, the legends' defaults, the compare memories, learn and forget, and
// the controller readout.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "effect/editor/editor.h"
#include "effect/editor/preset_names.h"
#include "effect/engine/parameters.h"
#include "tests/editor/editor_fixture.h"
#include "toolkit/option_menu.h"
#include "toolkit/param_display.h"
#include "toolkit/popup_menu.h"
#include "toolkit/text_edit.h"

namespace ruvane {
namespace {

using testing::EditorFixture;
using Tag = CPresetSystemEditor::PanelTag;

class PresetPanel : public EditorFixture {
protected:
    toolkit::COptionMenu& list() { return dynamic_cast<toolkit::COptionMenu&>(control(Tag::kPresetListTag)); }
    toolkit::CTextEdit& nameField() { return dynamic_cast<toolkit::CTextEdit&>(control(Tag::kNameFieldTag)); }
    std::string bankName(int preset) { return presetNameText(effect->bank()[static_cast<std::size_t>(preset)].name); }
    std::string readout() {
        return dynamic_cast<toolkit::CParamDisplay&>(control(Tag::kControllerDisplayTag)).valueText();
    }
    bool stored(const char* valueName) {
        return std::filesystem::exists(configHome.path() / "Orvanta" / "Ruvane" / valueName);
    }
    void rocker(bool next) {
        const layout::Rect& rect = layout::findControl(Tag::kPreviousNextTag)->rect;
        clickAt({next ? rect.right - 4 : rect.left + 4, rect.centreY()});
    }
};

TEST_F(PresetPanel, ListHoldsTheBankInColumnsOfSixteenAndTheFieldTheCurrentName) {
    effect->loadPreset(3);
    editor->close();
    ASSERT_TRUE(editor->open(nullptr));
    ASSERT_EQ(list().getNbEntries(), 61);
    EXPECT_EQ(list().getNbItemsPerColumn(), 16);
    EXPECT_EQ(list().getStyle(), 7680);
    for (int i = 0; i < 61; ++i) EXPECT_EQ(list().getEntry(i)->getTitle(), bankName(i)) << i;
    EXPECT_EQ(list().getCurrentIndex(), 3);
    EXPECT_EQ(nameField().getText(), bankName(3));
    EXPECT_EQ(nameField().getViewSize().top, 156.5);
    EXPECT_EQ(nameField().getFont().size, 9);
}

TEST_F(PresetPanel, RockerStepsThroughThePresetsAndStopsAtBothEnds) {
    effect->loadPreset(59);
    rocker(true);
    EXPECT_EQ(effect->getCurrentPreset(), 60);
    rocker(true);
    EXPECT_EQ(effect->getCurrentPreset(), 60);
    EXPECT_EQ(list().getCurrentIndex(), 60);
    EXPECT_EQ(nameField().getText(), bankName(60));
    rocker(false);
    EXPECT_EQ(effect->getCurrentPreset(), 59);
    effect->loadPreset(0);
    rocker(false);
    EXPECT_EQ(effect->getCurrentPreset(), 0);
    EXPECT_EQ(list().getCurrentIndex(), 0);
}

TEST_F(PresetPanel, ChoosingAListEntryLoadsThatPreset) {
    click(Tag::kPresetListTag);
    toolkit::PopupMenu* menu = frame().getPopupMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->getNbColumns(), 4);  // 61 entries, 16 a column
    const toolkit::CRect entry = menu->getEntryRect(17);
    const toolkit::CPoint centre{(entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2};
    frame().popupMouseDown(centre, toolkit::CButtonState(toolkit::kLButton));
    frame().popupMouseUp(centre, toolkit::CButtonState(toolkit::kLButton));
    EXPECT_EQ(frame().getPopupMenu(), nullptr);
    EXPECT_EQ(effect->getCurrentPreset(), 17);
    EXPECT_EQ(nameField().getText(), bankName(17));
    ZAV reference(nullptr, {});
    reference.loadPreset(17);
    for (int i = 0; i < kNumSoundParameters; ++i)
        EXPECT_EQ(parameter(i), reference.getParameter(i)) << kParameterInfo[i].name;
}

TEST_F(PresetPanel, ATypedNameIsCutToTwentyFourInTheFieldTheListAndThePreset) {
    effect->loadPreset(4);
    click(Tag::kNameFieldTag);
    ASSERT_TRUE(nameField().isEditingText());
    for (int i = 0; i < 40; ++i) frame().keyDown(toolkit::KeyCode{0, toolkit::kKeyBackspace, 0});
    type("A very long name for a delay preset");
    pressReturn();
    EXPECT_FALSE(nameField().isEditingText());
    EXPECT_EQ(nameField().getText(), "A very long name for a d");
    EXPECT_EQ(list().getEntry(4)->getTitle(), "A very long name for a d");
    char name[kPresetNameBytes + 1] = {};
    effect->getProgramName(name);
    EXPECT_EQ(std::string(name), "A very long name for a d");
}

TEST_F(PresetPanel, ANameStillBeingTypedIsKeptWhenTheWindowCloses) {
    click(Tag::kNameFieldTag);
    for (int i = 0; i < 40; ++i) frame().keyDown(toolkit::KeyCode{0, toolkit::kKeyBackspace, 0});
    type("Half typed");
    editor->close();
    char name[kPresetNameBytes + 1] = {};
    effect->getProgramName(name);
    EXPECT_EQ(std::string(name), "Half typed");
}

TEST_F(PresetPanel, EscapeLeavesTheNameAsItWas) {
    const std::string before = nameField().getText();
    click(Tag::kNameFieldTag);
    type("Never mind");
    frame().keyDown(toolkit::KeyCode{0, toolkit::kKeyEscape, 0});
    EXPECT_EQ(nameField().getText(), before);
    char name[kPresetNameBytes + 1] = {};
    effect->getProgramName(name);
    EXPECT_EQ(std::string(name), before);
}

TEST_F(PresetPanel, HostRenamesAndLoadedStatesShowAtTheNextIdle) {
    char hostName[] = "Named by host";
    effect->setProgramName(hostName);
    idle();
    EXPECT_EQ(nameField().getText(), "Named by host");
    EXPECT_EQ(list().getEntry(effect->getCurrentPreset())->getTitle(), "Named by host");

    // A whole state from the host (undo, a project) with preset 9 current.
    ZAV other(nullptr, {});
    other.loadPreset(9);
    char otherName[] = "Other state";
    other.setProgramName(otherName);
    void* chunk = nullptr;
    const VstInt32 size = other.getChunk(&chunk);
    ASSERT_EQ(effect->setChunk(chunk, size), 0);
    idle();
    EXPECT_EQ(list().getCurrentIndex(), 9);
    EXPECT_EQ(nameField().getText(), "Other state");
    EXPECT_EQ(list().getEntry(9)->getTitle(), "Other state");
}

TEST_F(PresetPanel, LegendsActOnADoubleClickOnlyAndControlClearsTheDefault) {
    for (const auto& [tag, valueName] : {std::pair{Tag::kDefaultBankTag, "DefaultBank"},
                                         std::pair{Tag::kDefaultPresetTag, "DefaultPreset"},
                                         std::pair{Tag::kDefaultMidiTag, "DefaultMidi"}}) {
        click(tag);
        now += 1000;
        EXPECT_FALSE(stored(valueName)) << valueName;
        doubleClick(tag);
        EXPECT_TRUE(stored(valueName)) << valueName;
        doubleClick(tag, toolkit::kControl);
        // The MIDI default has no clearing: Control stores it again.
        EXPECT_EQ(stored(valueName), tag == Tag::kDefaultMidiTag) << valueName;
    }
}

TEST_F(PresetPanel, CompareMemoriesStoreAndRecallThePreset) {
    hostSets(kFltCutoff, 0.2f);
    click(Tag::kStoreMemoryATag);
    hostSets(kFltCutoff, 0.7f);
    click(Tag::kStoreMemoryBTag);
    hostSets(kFltCutoff, 0.5f);
    click(Tag::kRecallMemoryATag);
    EXPECT_FLOAT_EQ(parameter(kFltCutoff), 0.2f);
    click(Tag::kRecallMemoryBTag);
    EXPECT_FLOAT_EQ(parameter(kFltCutoff), 0.7f);
    idle();
    EXPECT_FLOAT_EQ(control(kFltCutoff).getValue(), 0.7f);
}

TEST_F(PresetPanel, RecallingAnEmptyMemoryChangesNothing) {
    const float cutoff = parameter(kFltCutoff);
    click(Tag::kRecallMemoryBTag);
    EXPECT_EQ(parameter(kFltCutoff), cutoff);
}

TEST_F(PresetPanel, ReadoutNamesTheControllerOfTheControlUnderTheMouse) {
    moveTo(centreOf(kMainIn));
    idle();
    EXPECT_EQ(readout(), "control 20");
    effect->clearParameterCC(kMainIn);
    idle();
    EXPECT_EQ(readout(), "not assigned");
    moveTo(centreOf(kModSens));
    idle();
    EXPECT_EQ(readout(), "control 106");
    moveTo({600, 148});  // the background
    idle();
    EXPECT_EQ(readout(), "");
    moveTo(centreOf(Editor::kLeftUpTag));  // a control, but no parameter's
    idle();
    EXPECT_EQ(readout(), "");
}

TEST_F(PresetPanel, LearnAndForgetSwitchEachOtherOff) {
    click(Tag::kLearnTag);
    EXPECT_TRUE(effect->isLearning());
    EXPECT_EQ(control(Tag::kLearnTag).getValue(), 1.0f);
    click(Tag::kForgetTag);
    EXPECT_TRUE(effect->isUnassigning());
    EXPECT_FALSE(effect->isLearning());
    idle();
    EXPECT_EQ(control(Tag::kLearnTag).getValue(), 0.0f);
    EXPECT_EQ(control(Tag::kForgetTag).getValue(), 1.0f);
    click(Tag::kLearnTag);
    idle();
    EXPECT_TRUE(effect->isLearning());
    EXPECT_FALSE(effect->isUnassigning());
    EXPECT_EQ(control(Tag::kForgetTag).getValue(), 0.0f);
}

TEST_F(PresetPanel, ButtonsFollowWhenTheEffectEndsAModeItself) {
    click(Tag::kLearnTag);
    hostSets(kFltCutoff, 0.4f);  // the control the user touches
    VstMidiEvent controller{};
    controller.type = kVstMidiType;
    controller.byteSize = sizeof(VstMidiEvent);
    controller.midiData[0] = static_cast<char>(0xB0);
    controller.midiData[1] = 7;
    controller.midiData[2] = 64;
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&controller);
    effect->processEvents(&events);  // learnt: the effect ends learn
    EXPECT_EQ(effect->getParameterCC(kFltCutoff), 7);
    idle();
    EXPECT_EQ(control(Tag::kLearnTag).getValue(), 0.0f);

    click(Tag::kForgetTag);
    hostSets(kRvbAmt, 0.5f);  // forgets its controller and ends the mode
    idle();
    EXPECT_EQ(control(Tag::kForgetTag).getValue(), 0.0f);
    EXPECT_EQ(effect->getParameterCC(kRvbAmt), 999);
}

}  // namespace
}  // namespace ruvane
