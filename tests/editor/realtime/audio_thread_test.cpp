// The audio thread gains nothing from the editor. Ruvane.so, loaded through the host
// library, has its editor open in a window on a private X server and idled on the test's
// main thread, as a host does; meanwhile the audio thread sends MIDI controllers (one of
// them assigned to a parameter), sets parameters as host automation does (both reach
// the editor's hand-over) and runs processReplacing. After a warm-up, those blocks
// allocate and free nothing, take no lock but the engine's own timed one, touch no
// file and never reach Xlib: the toolkit runs on the editor's thread only.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "audio_thread_calls.h"
#include "effect/engine/parameters.h"
#include "loaded_plugin.h"
#include "private_x_server.h"

// Xlib last: its macros (None, Status, Bool) clash with names in the headers above.
#include <X11/Xlib.h>

namespace ruvane::testing {
namespace {

constexpr int kBlockSize = 512;
constexpr int kWarmUpBlocks = 200;
constexpr int kMeasuredBlocks = 2000;
constexpr int kAssignedController = 20;
constexpr int kMaxMidiValue = 127;

// The value a parameter 48..95 takes to assign controller c: (c + 0.5) / 129.
float assignmentValue(int controller) { return (static_cast<float>(controller) + 0.5f) / 129.0f; }

int controllerValueOfBlock(int block) { return (block * 7) % (kMaxMidiValue + 1); }

// Controller messages in storage of the test's own, made before the audio thread runs,
// as a host keeps its event buffers.
class ControllerEvents {
public:
    static constexpr int kCount = 3;

    ControllerEvents() {
        auto* events = list();
        events->numEvents = kCount;
        events->reserved = 0;
        // The record declares two slots; the storage holds as many as are sent.
        VstEvent** slots = events->events;
        for (int i = 0; i < kCount; ++i) {
            midi_[static_cast<size_t>(i)].type = kVstMidiType;
            midi_[static_cast<size_t>(i)].byteSize = sizeof(VstMidiEvent);
            midi_[static_cast<size_t>(i)].deltaFrames = i * 100;
            slots[i] = reinterpret_cast<VstEvent*>(&midi_[static_cast<size_t>(i)]);
        }
    }
    // The messages of one block: the assigned controller, one nobody listens to, and a
    // note-on, which the effect ignores.
    VstEvents* forBlock(int block) {
        setMessage(0, 0xB0, kAssignedController, controllerValueOfBlock(block));
        setMessage(1, 0xB3, 90, block % 128);
        setMessage(2, 0x90, 60, 100);
        return list();
    }

private:
    VstEvents* list() { return reinterpret_cast<VstEvents*>(storage_.data()); }
    void setMessage(int i, int status, int data1, int data2) {
        char* data = midi_[static_cast<size_t>(i)].midiData;
        data[0] = static_cast<char>(status);
        data[1] = static_cast<char>(data1);
        data[2] = static_cast<char>(data2);
    }

    std::array<VstMidiEvent, kCount> midi_{};
    alignas(VstEvents) std::array<uint8_t, sizeof(VstEvents) + kCount * sizeof(VstEvent*)> storage_{};
};

// Named for the thread-sanitizer run (make check-tsan picks "Threads").
TEST(AudioThreadWithEditorThreads, ProcessingAllocatesLocksAndWritesNothing) {
    PrivateXServer xServer{PrivateXServer::Display::PointedHere};
    ASSERT_FALSE(xServer.name().empty()) << "cannot start Xvfb: scripts/setup installs it (package xvfb)";
    ScopedConfigHome configHome;
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Window host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 875, 171, 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);

    AudioThreadCalls editorThread;
    AudioThreadCalls sanity;
    AudioThreadCalls measured;
    {
        auto plugin = loadRuvane();
        ASSERT_NE(plugin, nullptr);
        plugin->start(44100.0, kBlockSize);
        plugin->setParameter(kNumSoundParameters + kMainMix, assignmentValue(kAssignedController));
        ASSERT_EQ(plugin->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(host)), 1);
        for (int i = 0; i < 10; ++i) plugin->dispatch(effEditIdle);
        // The editor's own calls into Xlib are seen too: a moved knob is drawn at idle.
        countCallsOfThisThread(true);
        plugin->setParameter(kFltCutoff, 0.9f);
        for (int i = 0; i < 3; ++i) plugin->dispatch(effEditIdle);
        countCallsOfThisThread(false);
        editorThread = countedCalls();
        resetCountedCalls();
        const std::vector<uint8_t> chunk = plugin->getChunk();
        ASSERT_FALSE(chunk.empty());

        std::vector<float> inLeft(kBlockSize), inRight(kBlockSize), outLeft(kBlockSize), outRight(kBlockSize);
        for (int i = 0; i < kBlockSize; ++i) {
            inLeft[static_cast<size_t>(i)] = 0.5f * std::sin(0.05f * static_cast<float>(i));
            inRight[static_cast<size_t>(i)] = -inLeft[static_cast<size_t>(i)];
        }
        ControllerEvents events;
        std::atomic<bool> finished{false};

        std::thread audio([&] {
            // One block as a host runs it: events, automation, then the audio.
            const auto block = [&](int n) {
                plugin->dispatch(effProcessEvents, 0, 0, events.forBlock(n));
                plugin->setParameter(kFltCutoff, static_cast<float>(n % 100) / 100.0f);
                plugin->setParameter(kRvbType, n % 50 < 25 ? 0.25f : 0.75f);
                plugin->setParameter(kNumSoundParameters + kFltRes, assignmentValue(n % 2 == 0 ? 30 : 31));
                plugin->process(inLeft.data(), inRight.data(), outLeft.data(), outRight.data(), kBlockSize);
            };
            int n = 0;
            for (; n < kWarmUpBlocks; ++n) block(n);

            // The counting sees this thread's calls, the plug-in's own included: a state
            // chunk is decoded on the heap, a plain mutex is a plain lock, and a flush
            // of the test's own X connection is a call into Xlib.
            countCallsOfThisThread(true);
            plugin->setChunk(chunk);
            std::mutex plainMutex;
            plainMutex.lock();
            plainMutex.unlock();
            XFlush(display);
            countCallsOfThisThread(false);
            sanity = countedCalls();
            for (int settle = 0; settle < 20; ++settle, ++n) block(n);

            resetCountedCalls();
            countCallsOfThisThread(true);
            for (int i = 0; i < kMeasuredBlocks; ++i, ++n) {
                block(n);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));  // paced, so the editor idles between
            }
            countCallsOfThisThread(false);
            measured = countedCalls();
            finished = true;
        });
        // The host's own thread idles the editor meanwhile, which takes the handed-over values.
        long idles = 0;
        while (!finished.load()) {
            plugin->dispatch(effEditIdle);
            ++idles;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        audio.join();
        plugin->dispatch(effEditIdle);
        EXPECT_GT(idles, 10);

        const int lastBlock = kWarmUpBlocks + 20 + kMeasuredBlocks - 1;
        EXPECT_FLOAT_EQ(plugin->getParameter(kMainMix),
                        static_cast<float>(controllerValueOfBlock(lastBlock)) / static_cast<float>(kMaxMidiValue))
            << "the assigned controller did not reach its parameter";
        plugin->dispatch(effEditClose);
    }
    XDestroyWindow(display, host);
    XCloseDisplay(display);

    ASSERT_GT(sanity.allocations, 0) << "the count misses the plug-in's allocations: it would prove nothing";
    ASSERT_GT(sanity.windowSystem, 0) << "the count misses calls into Xlib";
    ASSERT_GT(editorThread.windowSystem, 0) << "the count misses the editor's calls into Xlib";
    EXPECT_EQ(measured.allocations, 0) << "allocations on the audio thread";
    EXPECT_EQ(measured.frees, 0) << "frees on the audio thread";
    EXPECT_EQ(measured.windowSystem, 0) << "the audio thread reached Xlib";
    if (locksAndOutputCounted()) {
        ASSERT_GT(sanity.plainLocks, 0) << "the count misses plain locks";
        EXPECT_EQ(measured.plainLocks, 0) << "plain mutex locks on the audio thread";
        EXPECT_EQ(measured.fileAccess, 0) << "file access on the audio thread";
        // The engine's own lock, taken once a block and for the reverb type: the count
        // sees the plug-in's lock calls.
        EXPECT_GE(measured.timedLocks, kMeasuredBlocks);
    }
    std::printf("audio thread, %d blocks with MIDI and automation while the editor idles: %ld allocations, "
                "%ld frees, %ld plain locks, %ld timed locks, %ld file calls, %ld Xlib calls%s\n",
                kMeasuredBlocks, measured.allocations, measured.frees, measured.plainLocks, measured.timedLocks,
                measured.fileAccess, measured.windowSystem,
                locksAndOutputCounted() ? "" : " (locks and files not counted in this build)");
}

}  // namespace
}  // namespace ruvane::testing
