// The editor's thread, the audio thread and a MIDI thread at once: automation and MIDI
// controllers reach the editor from the other threads while the user drags knobs,
// steps presets and arms learn in the editor. Run under the thread sanitizer by
// make check-tsan; here it also checks that the controls end on the last values.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "effect/editor/editor.h"
#include "effect/engine/parameters.h"
#include "tests/editor/editor_fixture.h"

namespace ruvane {
namespace {

using testing::EditorFixture;
using Tag = CPresetSystemEditor::PanelTag;

VstMidiEvent controlChange(int controller, int value) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.midiData[0] = static_cast<char>(0xB0);
    event.midiData[1] = static_cast<char>(controller);
    event.midiData[2] = static_cast<char>(value);
    return event;
}

TEST_F(EditorFixture, ConcurrentEditorAudioAndMidiThreadsEndOnTheLastValues) {
    effect->setSampleRate(44100.0f);
    effect->resume();
    constexpr int kBlocks = 600;
    std::atomic<int> running{2};

    // The audio thread: blocks of sound, and host automation of the filter cutoff.
    std::thread audio([&] {
        std::vector<float> in(64, 0.25f), outLeft(64), outRight(64);
        float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {outLeft.data(), outRight.data()};
        for (int block = 1; block <= kBlocks; ++block) {
            effect->setParameter(kFltCutoff, static_cast<float>(block) / kBlocks);
            effect->processReplacing(inputs, outputs, 64);
        }
        --running;
    });
    // A third thread with MIDI: controller 20 drives "Main In", 7 may be learnt.
    std::thread midi([&] {
        for (int i = 1; i <= kBlocks; ++i) {
            VstMidiEvent events[2] = {controlChange(20, i * 127 / kBlocks), controlChange(7, i % 128)};
            std::vector<uint8_t> storage(sizeof(VstEvents) + sizeof(VstEvent*));
            auto* list = reinterpret_cast<VstEvents*>(storage.data());
            list->numEvents = 2;
            list->events[0] = reinterpret_cast<VstEvent*>(&events[0]);
            list->events[1] = reinterpret_cast<VstEvent*>(&events[1]);
            effect->processEvents(list);
        }
        --running;
    });

    // The editor's thread: idles, drags, steps presets and arms learn meanwhile.
    for (int step = 0; running.load() > 0; ++step) {
        idle();
        if (step % 7 == 0) drag(kMainMix, 0, step % 2 == 0 ? -5 : 5);
        if (step % 13 == 0) click(Tag::kLearnTag);
        if (step % 29 == 0) click(Tag::kPreviousNextTag);
        if (step % 31 == 0) moveTo(centreOf(kMainIn));
    }
    audio.join();
    midi.join();

    idle();
    EXPECT_EQ(control(kFltCutoff).getValue(), parameter(kFltCutoff));
    EXPECT_EQ(control(kMainIn).getValue(), parameter(kMainIn));
    EXPECT_EQ(control(Tag::kLearnTag).getValue(), effect->isLearning() ? 1.0f : 0.0f);
}

}  // namespace
}  // namespace ruvane
