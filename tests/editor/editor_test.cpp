// The editor's rules, through the editor with the real effect: controls as laid out,
// values from the host at the next idle, the link, note mode, the drag areas, the step
// buttons, the value display and its blink, the meters and the active lamp.
#include "effect/editor/editor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "effect/editor/controls/film_strip.h"
#include "effect/editor/layout.h"
#include "effect/engine/parameters.h"
#include "tests/editor/editor_fixture.h"
#include "toolkit/knob.h"

namespace ruvane {
namespace {

using testing::bracketed;
using testing::EditorFixture;
using testing::HostCalls;

constexpr float kOff = 0.25f;   // switch positions as the effect writes them
constexpr float kOn = 0.75f;

using EditorLayout = EditorFixture;

TEST_F(EditorLayout, EveryControlSitsWhereTheTableSaysInItsOrder) {
    // The frame's views in z-order are the table's controls in creation order.
    ASSERT_EQ(frame().getNbViews(), static_cast<int32_t>(layout::kControls.size()));
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        const layout::Control& placement = layout::kControls[i];
        auto* view = dynamic_cast<toolkit::CControl*>(frame().getView(static_cast<int32_t>(i)));
        ASSERT_NE(view, nullptr) << "tag " << placement.tag;
        EXPECT_EQ(view->getTag(), placement.tag);
        const toolkit::CRect& size = view->getViewSize();
        EXPECT_EQ((layout::Rect{size.left, size.top, size.right, size.bottom}), placement.rect) << "tag " << placement.tag;
    }
}

TEST_F(EditorLayout, KnobsStartAtTheEffectsValuesWithTheirDefaultsAndWheelSteps) {
    int knobs = 0;
    for (const layout::Control& placement : layout::kControls) {
        if (placement.kind != layout::ControlKind::AnimKnob) continue;
        ++knobs;
        auto* knob = dynamic_cast<toolkit::CAnimKnob*>(&control(placement.tag));
        ASSERT_NE(knob, nullptr) << placement.tag;
        EXPECT_EQ(knob->getValue(), parameter(placement.tag)) << placement.tag;
        EXPECT_FLOAT_EQ(knob->getDefaultValue(), static_cast<float>(placement.defaultValue)) << placement.tag;
        EXPECT_EQ(knob->getWheelInc(), 0.03125f);
        EXPECT_EQ(knob->getZoomFactor(), 5.0f);
    }
    EXPECT_EQ(knobs, 19);
    EXPECT_FLOAT_EQ(control(kModSens).getDefaultValue(), 0.0990991f);
    EXPECT_EQ(editor->getKnobMode(), toolkit::kLinearMode);
}

TEST_F(EditorLayout, DragAreasShowSquareRootsAndTheLampTheBypass) {
    EXPECT_FLOAT_EQ(control(kDlyLTime).getValue(), std::sqrt(parameter(kDlyLTime)));
    EXPECT_FLOAT_EQ(control(kModLfoRate).getValue(), std::sqrt(parameter(kModLfoRate)));
    EXPECT_FLOAT_EQ(control(Editor::kTempoAreaTag).getValue(), std::sqrt(effect->getTempoNormalised()));
    EXPECT_EQ(control(Editor::kLinkTag).getValue(), effect->areChannelsLinked() ? 1.0f : 0.0f);
    EXPECT_EQ(control(Editor::kActiveLampTag).getValue(), switchIsOn(parameter(kMainBypass)) ? 0.0f : 1.0f);
    ERect* rect = nullptr;
    ASSERT_TRUE(editor->getRect(&rect));
    EXPECT_EQ(rect->right - rect->left, 875 * editor->getScaleFactor());
    EXPECT_EQ(rect->bottom - rect->top, 171 * editor->getScaleFactor());
}

// Host values reach the controls at the editor's next idle, never from the caller's thread.
using HostValues = EditorFixture;

TEST_F(HostValues, ControlsFollowAtTheNextIdle) {
    hostSets(kFltCutoff, 0.2f);
    hostSets(kDlyLTime, 0.25f);
    hostSets(kMainBypass, 1.0f);
    hostSets(kDlyLNum, 0.9f);       // no control: ignored
    hostSets(48 + kFltCutoff, 0.5f);  // a controller assignment: no control either
    EXPECT_NE(control(kFltCutoff).getValue(), 0.2f);
    idle();
    EXPECT_EQ(control(kFltCutoff).getValue(), 0.2f);
    EXPECT_FLOAT_EQ(control(kDlyLTime).getValue(), 0.5f);
    EXPECT_EQ(control(kMainBypass).getValue(), 1.0f);
    EXPECT_EQ(control(Editor::kActiveLampTag).getValue(), 0.0f);
    EXPECT_TRUE(calls.empty());  // the editor never answers a host change with automation
}

TEST_F(HostValues, AClosedEditorIgnoresThemAndReadsTheEffectWhenItOpens) {
    editor->close();
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_EQ(editor->getControl(kFltCutoff), nullptr);
    hostSets(kFltCutoff, 0.3f);
    idle();
    ASSERT_TRUE(editor->open(nullptr));
    EXPECT_EQ(control(kFltCutoff).getValue(), 0.3f);
}

// The link button.
class Link : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        // Left and right apart, link off.
        const std::vector<std::pair<int, float>> left = {
            {kDlyLFb, 0.6f},  {kDlyLFbPan, 0.3f}, {kDlyLFbInv, kOn}, {kDlyLDlyInv, kOn}, {kDlyLMode, kOff},
            {kDlyLRange, 0.5f}, {kDlyLNum, 0.7f},  {kDlyLDen, 0.4f}, {kDlyLTime, 0.123f}};
        for (const auto& [index, value] : left) hostSets(index, value);
        for (const auto& [index, value] : left) hostSets(index + 1, 0.1f);
        editor->setLinkChannels(false);
        idle();
        ASSERT_FALSE(editor->linksChannels());
        ASSERT_EQ(control(Editor::kLinkTag).getValue(), 0.0f);
        calls.clear();
    }
};

TEST_F(Link, TurningItOnCopiesNineLeftSettingsToTheRightWithTheirPansMirrored) {
    click(Editor::kLinkTag);
    EXPECT_TRUE(editor->linksChannels());
    HostCalls expected;
    for (const auto& [index, value] :
         std::vector<std::pair<int, float>>{{kDlyRFb, 0.6f}, {kDlyRFbPan, 0.7f}, {kDlyRFbInv, kOn},
                                            {kDlyRDlyInv, kOn}, {kDlyRMode, kOff}, {kDlyRRange, 0.5f},
                                            {kDlyRNum, 0.7f}, {kDlyRDen, 0.4f}, {kDlyRTime, 0.123f}}) {
        for (const auto& call : bracketed(index, value)) expected.push_back(call);
    }
    EXPECT_EQ(calls, expected);
    EXPECT_FLOAT_EQ(parameter(kDlyRFbPan), 0.7f);
}

TEST_F(Link, TurningItOffChangesNothing) {
    click(Editor::kLinkTag);
    calls.clear();
    const float right = parameter(kDlyRFb);
    click(Editor::kLinkTag);
    EXPECT_FALSE(editor->linksChannels());
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(parameter(kDlyRFb), right);
}

TEST_F(Link, WhileOnAChangeOnOneSideIsTwinnedAndPansMirror) {
    click(Editor::kLinkTag);
    calls.clear();
    control(kDlyLFbPan).setValue(0.2f);
    editor->valueChanged(&control(kDlyLFbPan));
    HostCalls expected{{'a', kDlyLFbPan, 0.2f}};
    for (const auto& call : bracketed(kDlyRFbPan, 0.8f)) expected.push_back(call);
    EXPECT_EQ(calls, expected);
}

// Note (sync) mode: range and time belong to the tempo.
class NoteMode : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        hostSets(kDlyLMode, kOn);
        hostSets(kDlyLRange, 0.5f);
        idle();
        calls.clear();
    }
};

TEST_F(NoteMode, RangeSwitchSnapsBackAndNothingIsSet) {
    click(kDlyLRange);
    click(kDlyLRange);
    EXPECT_EQ(control(kDlyLRange).getValue(), 0.5f);
    EXPECT_EQ(parameter(kDlyLRange), 0.5f);
    for (const auto& call : calls) EXPECT_NE(call.kind, 'a') << call.index;
}

TEST_F(NoteMode, TimeAreaSnapsBackAndNothingIsSet) {
    const float time = parameter(kDlyLTime);  // the tempo's time
    drag(kDlyLTime, 0, -60);
    EXPECT_FLOAT_EQ(control(kDlyLTime).getValue(), std::sqrt(time));
    EXPECT_EQ(parameter(kDlyLTime), time);
    for (const auto& call : calls) EXPECT_NE(call.kind, 'a') << call.index;
}

TEST_F(NoteMode, LfoRateAreaSnapsBackInItsNoteMode) {
    hostSets(kModLfoMode, kOn);
    hostSets(kModLfoRate, 0.25f);
    drag(kModLfoRate, 0, -60);
    EXPECT_FLOAT_EQ(control(kModLfoRate).getValue(), 0.5f);
    EXPECT_FLOAT_EQ(parameter(kModLfoRate), 0.25f);
}

TEST_F(EditorFixture, ModeChangeShowsTheRangeAndTimeAnew) {
    hostSets(kDlyLRange, 0.5f);
    click(kDlyLMode);
    EXPECT_EQ(control(kDlyLRange).getValue(), 0.5f);
    EXPECT_FLOAT_EQ(control(kDlyLTime).getValue(), std::sqrt(parameter(kDlyLTime)));
}

struct TimeAreaCase {
    float areaValue;
    float time;
};

class TimeArea : public EditorFixture, public ::testing::WithParamInterface<TimeAreaCase> {};

TEST_P(TimeArea, SetsTheSquareInThousandthsDownward) {
    hostSets(kDlyLMode, kOff);
    editor->setLinkChannels(false);
    control(kDlyLTime).setValue(GetParam().areaValue);
    editor->valueChanged(&control(kDlyLTime));
    EXPECT_FLOAT_EQ(parameter(kDlyLTime), GetParam().time);
    EXPECT_EQ(calls, (HostCalls{{'a', kDlyLTime, GetParam().time}}));
}

INSTANTIATE_TEST_SUITE_P(Values, TimeArea,
                         ::testing::Values(TimeAreaCase{0.5f, 0.25f}, TimeAreaCase{0.7071f, 0.499f},
                                           TimeAreaCase{1.0f, 1.0f}, TimeAreaCase{0.0f, 0.0f}));

// Step buttons.
class StepButtonPresses : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        editor->setLinkChannels(false);
        idle();
        calls.clear();
    }
    int position(int index) { return stepIndex(parameter(index), kParameterInfo[index].steps); }
};

TEST_F(StepButtonPresses, InNoteModeTheNumeratorWrapsBothWays) {
    hostSets(kDlyLMode, kOn);
    hostSets(kDlyLNum, stepCentre(4, 5));
    click(Editor::kLeftDownTag);
    EXPECT_EQ(position(kDlyLNum), 0);
    EXPECT_EQ(calls, bracketed(kDlyLNum, stepCentre(0, 5)));
    calls.clear();
    click(Editor::kLeftDownTag, toolkit::kLButton | toolkit::kShift);
    EXPECT_EQ(position(kDlyLNum), 4);
    EXPECT_EQ(calls, bracketed(kDlyLNum, stepCentre(4, 5)));
}

TEST_F(StepButtonPresses, InNoteModeTheUpButtonStepsTheDenominatorAndTheTwinFollowsWhenLinked) {
    hostSets(kDlyRMode, kOn);
    hostSets(kDlyRDen, stepCentre(12, 13));
    editor->setLinkChannels(true);
    click(Editor::kRightUpTag);
    EXPECT_EQ(position(kDlyRDen), 0);
    HostCalls expected = bracketed(kDlyRDen, stepCentre(0, 13));
    for (const auto& call : bracketed(kDlyLDen, stepCentre(0, 13))) expected.push_back(call);
    EXPECT_EQ(calls, expected);
}

TEST_F(StepButtonPresses, InFreeModeTimeStepsOneTenAndAHundredMilliseconds) {
    hostSets(kDlyLMode, kOff);
    hostSets(kDlyLTime, 0.5f);
    click(Editor::kLeftUpTag);
    EXPECT_FLOAT_EQ(parameter(kDlyLTime), 0.501f);
    click(Editor::kLeftUpTag, toolkit::kLButton | toolkit::kShift);
    EXPECT_FLOAT_EQ(parameter(kDlyLTime), 0.511f);
    click(Editor::kLeftDownTag, toolkit::kLButton | toolkit::kControl);
    EXPECT_FLOAT_EQ(parameter(kDlyLTime), 0.411f);
    hostSets(kDlyLTime, 0.95f);
    click(Editor::kLeftUpTag, toolkit::kLButton | toolkit::kControl);
    EXPECT_EQ(parameter(kDlyLTime), 1.0f);
    idle();
    EXPECT_EQ(control(kDlyLTime).getValue(), 1.0f);
}

TEST_F(StepButtonPresses, LfoRateStepsAThousandthOfAHertzWithinItsLimits) {
    hostSets(kModLfoMode, kOff);
    const auto hertz = [&] { return std::pow(16.0f, parameter(kModLfoRate)) - 1.0f; };
    hostSets(kModLfoRate, std::log10(3.0f) / std::log10(16.0f));  // 2 Hz
    click(Editor::kLfoUpTag, toolkit::kLButton | toolkit::kControl);
    EXPECT_NEAR(hertz(), 2.001f, 1e-4f);
    click(Editor::kLfoDownTag);
    click(Editor::kLfoDownTag);
    EXPECT_NEAR(hertz(), 1.999f, 1e-4f);
    hostSets(kModLfoRate, 1.0f);
    click(Editor::kLfoUpTag);
    EXPECT_NEAR(hertz(), 15.0f, 1e-3f);
    hostSets(kModLfoRate, 0.0f);
    click(Editor::kLfoDownTag);
    EXPECT_NEAR(hertz(), 0.01f, 1e-5f);
}

TEST_F(StepButtonPresses, OnlyParametersReachTheHostAsEdits) {
    hostSets(kDlyLMode, kOff);
    click(Editor::kLeftUpTag);
    click(Editor::kLinkTag);
    drag(Editor::kTempoAreaTag, 0, -10);
    for (const auto& call : calls) EXPECT_LT(call.index, kNumSoundParameters) << call.kind;
}

// The value display.
class ValueDisplay : public EditorFixture {
protected:
    // The frames of the four digits as text: '_' blank, else the digit, '-' or '+'.
    std::string digits() {
        std::string text;
        for (int i = 0; i < 4; ++i) {
            const int count = i == 0 ? 13 : 11;
            const int frame = static_cast<int>(std::lround(control(Editor::kFirstDigitTag + i).getValue() * (count - 1)));
            text += frame == 0 ? '_' : frame <= 10 ? static_cast<char>('0' + frame - 1) : frame == 11 ? '-' : '+';
        }
        return text;
    }
};

TEST_F(ValueDisplay, EveryReadingSource) {
    effect->setTempoNormalised((120.0f - 30.0f) / 370.0f);
    moveTo({600, 150});  // the background: the tempo
    idle();
    EXPECT_EQ(editor->getShownReading(), kTempoReading);
    EXPECT_EQ(digits(), "1200");  // 120.0
    moveTo(centreOf(kMainMix));  // a knob under the mouse
    idle();
    EXPECT_EQ(editor->getShownReading(), kMainMix);
    moveTo({100, 30});  // the left delay area, free mode
    hostSets(kDlyLMode, kOff);
    idle();
    EXPECT_EQ(editor->getShownReading(), kDlyLTime);
    hostSets(kDlyRMode, kOn);
    moveTo({100, 100});
    idle();
    EXPECT_EQ(editor->getShownReading(), kDlyRNum);
    moveTo({330, 100});
    hostSets(kModLfoMode, kOff);
    idle();
    EXPECT_EQ(editor->getShownReading(), kModLfoRate);
    // While a control is edited its reading wins over the mouse.
    const toolkit::CPoint knob = centreOf(kRvbAmt);
    frame().mouseDown(knob, toolkit::CButtonState(toolkit::kLButton), now);
    moveTo({600, 150});
    idle();
    EXPECT_EQ(editor->getShownReading(), kRvbAmt);
    frame().mouseUp(knob, toolkit::CButtonState(toolkit::kLButton));
    idle();
    EXPECT_EQ(editor->getEditingTag(), -1);
}

TEST_F(ValueDisplay, BlinksOnlyForASynchronisedDelayOutOfRange) {
    effect->setTempoNormalised(0.0f);  // 30 BPM
    hostSets(kDlyLMode, kOn);
    hostSets(kDlyLNum, stepCentre(4, 5));   // 9
    hostSets(kDlyLDen, stepCentre(0, 13));  // whole notes: far beyond 5 s
    ASSERT_TRUE(effect->isSyncValueOutOfRange(1));
    moveTo({100, 30});
    std::vector<std::string> seen;
    // The phase turns when 251 ms have passed since it last turned (or the window opened).
    for (uint32_t step : {0u, 251u, 100u, 150u, 1u, 251u}) {  // at 0, 251, 351, 501, 502, 753 ms
        now += step;
        idle();
        seen.push_back(digits());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"9__1", "____", "____", "____", "9__1", "____"}));

    // In range, the same reading stays lit.
    effect->setTempoNormalised(1.0f);
    hostSets(kDlyLNum, stepCentre(0, 5));
    hostSets(kDlyLDen, stepCentre(5, 13));
    ASSERT_FALSE(effect->isSyncValueOutOfRange(1));
    for (int i = 0; i < 6; ++i) {
        now += 251;
        idle();
        EXPECT_EQ(digits(), "1__8");
    }
}

TEST_F(ValueDisplay, AnLfoNoteOutOfRangeDoesNotBlink) {
    effect->setTempoNormalised(1.0f);  // 400 BPM
    hostSets(kModLfoMode, kOn);
    hostSets(kModLfoNum, stepCentre(0, 5));
    hostSets(kModLfoDen, stepCentre(12, 13));  // 1/96 at 400 BPM: far too fast
    ASSERT_TRUE(effect->isSyncValueOutOfRange(kSyncLfo));
    moveTo({330, 100});
    for (int i = 0; i < 6; ++i) {
        now += 251;
        idle();
        EXPECT_EQ(editor->getShownReading(), kModLfoNum);
        EXPECT_EQ(digits(), "1_96");
    }
}

TEST_F(EditorFixture, MetersShowAFullPeakAndSilenceEmptiesThemInHalfASecond) {
    effect->setSampleRate(44100.0f);
    effect->resume();
    std::vector<float> loud(4096, 1.0f), quiet(4096, 0.0f), out(4096);
    float* in[2] = {loud.data(), loud.data()};
    float* outs[2] = {out.data(), out.data()};
    effect->processReplacing(in, outs, 4096);
    effect->processReplacing(in, outs, 4096);
    idle();
    EXPECT_EQ(control(Editor::kLeftMeterTag).getValue(), 1.0f);
    EXPECT_EQ(control(Editor::kRightMeterTag).getValue(), 1.0f);
    in[0] = in[1] = quiet.data();
    effect->processReplacing(in, outs, 4096);
    effect->processReplacing(in, outs, 4096);
    idle();  // takes what is left of the loud part
    now += 250;
    effect->processReplacing(in, outs, 4096);
    idle();
    EXPECT_FLOAT_EQ(control(Editor::kLeftMeterTag).getValue(), 0.5f);
    now += 250;
    idle();
    EXPECT_EQ(control(Editor::kLeftMeterTag).getValue(), 0.0f);
    EXPECT_EQ(control(Editor::kRightMeterTag).getValue(), 0.0f);
}

TEST_F(EditorFixture, BypassButtonSwitchesTheActiveLamp) {
    hostSets(kMainBypass, 0.0f);
    idle();
    calls.clear();
    click(kMainBypass);
    EXPECT_EQ(calls, bracketed(kMainBypass, 0.75f));
    EXPECT_EQ(control(Editor::kActiveLampTag).getValue(), 0.25f);  // 1 - v: the dark frame
    idle();
    EXPECT_EQ(control(Editor::kActiveLampTag).getValue(), 0.0f);
}

TEST_F(EditorFixture, KnobDragIsAutomationBracketedByBeginAndEndEdit) {
    drag(kMainMix, 0, -40);
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), (testing::HostCall{'b', kMainMix, 0.0f}));
    EXPECT_EQ(calls.back(), (testing::HostCall{'e', kMainMix, 0.0f}));
    for (std::size_t i = 1; i + 1 < calls.size(); ++i) EXPECT_EQ(calls[i].kind, 'a');
    EXPECT_EQ(calls[calls.size() - 2].value, parameter(kMainMix));
    EXPECT_NE(parameter(kMainMix), 0.5f);
}

TEST_F(EditorFixture, TheAboutTriggerShowsTheSplashUntilItIsClicked) {
    click(Editor::kAboutTag);
    ASSERT_NE(frame().getModalView(), nullptr);
    EXPECT_EQ(frame().getModalView()->getViewSize(), toolkit::CRect(0, 0, 875, 171));
    click(kMainMix);  // the splash covers everything: a click anywhere closes it
    EXPECT_EQ(frame().getModalView(), nullptr);
    EXPECT_TRUE(calls.empty());
}

TEST_F(EditorFixture, TempoAreaSetsTheEffectsTempoAsASquare) {
    control(Editor::kTempoAreaTag).setValue(0.5f);
    editor->valueChanged(&control(Editor::kTempoAreaTag));
    EXPECT_FLOAT_EQ(effect->getTempoNormalised(), 0.25f);
}

}  // namespace
}  // namespace ruvane
