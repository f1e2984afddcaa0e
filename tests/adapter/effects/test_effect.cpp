// A small VST 2.4 effect for the adapter's tests, built in several flavours (see
// CMakeLists.txt). Tests reach its records through effVendorSpecific queries.
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <new>
#include <thread>

#include "tests/adapter/effects/test_effect_queries.h"
#include "vst/aeffect.h"

#ifdef TEST_EFFECT_EDITOR
#include <X11/Xlib.h>

#include "platform/x11_error_trap.h"
#endif

#ifndef TEST_EFFECT_PARAMS
#define TEST_EFFECT_PARAMS 4
#endif
#ifndef TEST_EFFECT_PROGRAMS
#define TEST_EFFECT_PROGRAMS 1
#endif
#ifndef TEST_EFFECT_LATENCY
#define TEST_EFFECT_LATENCY 0
#endif

namespace {

constexpr int kParams = TEST_EFFECT_PARAMS;
constexpr int kPrograms = TEST_EFFECT_PROGRAMS;
constexpr int kNameBytes = 24;
constexpr int kMidiRecord = 2048;
constexpr int kBatchRecord = 64;
constexpr int kChunkRecord = 512;
#ifdef TEST_EFFECT_SLOW_STATE
// A state of several words that every process call finds and leaves whole (all words
// equal), and that the chunk calls copy one word at a time, slowly: a process call in
// the middle of a restore sees it torn. The words are atomics, so a save while the
// effect processes is no data race (a saved copy may mix generations: saving is the
// effect's own business, as with any VST host).
constexpr int kGenerationWords = 16;
constexpr char kGenerationTag[4] = {'G', 'E', 'N', 'S'};
constexpr auto kWordPause = std::chrono::microseconds(20);
#endif

struct TestEffect {
    AEffect effect{};
    audioMasterCallback host = nullptr;
    float values[kParams] = {};
    int setCounts[kParams] = {};
    char programNames[kPrograms][kNameBytes] = {};
    int program = 0;
    int opens = 0;
    int mainsOn = 0;
    int lastBlockSize = 0;
    float lastSampleRate = 0.0f;
    int sampleRateCalls = 0;
    int processFrames[16] = {};
    int processCalls = 0;
    // What the host answered while the entry ran, before it could know this effect.
    VstIntPtr entrySampleRate = -1, entryBlockSize = -1, entryTime = -1;
    // MIDI as effProcessEvents brought it.
    int midiBatches = 0;
    int midiBatchSizes[kBatchRecord] = {};
    int midiBatchAtCall[kBatchRecord] = {};
    int midiEvents = 0;
    uint32_t midiBytes[kMidiRecord] = {};
    int midiDeltas[kMidiRecord] = {};
    // The transport audioMasterGetTime and the rate audioMasterGetSampleRate reported in
    // the last process call.
    VstTimeInfo lastTime{};
    VstIntPtr lastHostRate = 0;
    // The first input samples of channels 0 and 1 that processReplacing received.
    float received[2][kTestEffectInputRecord] = {};
    int receivedCount = 0;
#ifdef TEST_EFFECT_SLOW_STATE
    std::atomic<uint32_t> generation[kGenerationWords] = {};
    unsigned char generationChunk[sizeof kGenerationTag + 4 * kGenerationWords] = {};
    int tornStates = 0;
#endif
    // The chunk effGetChunk hands out and what effSetChunk brought.
    unsigned char chunk[4 + 4 * kParams] = {};
    VstIntPtr setChunkSize = -1;
    unsigned char setChunkData[kChunkRecord] = {};
    // The editor.
    double sideChainSum = 0.0;  // of the third and fourth channels the adapter passes
    int editorOpens = 0, editorCloses = 0, editorIdles = 0;
    VstIntPtr editorParent = 0;
    ERect editorRect{0, 0, 150, 300};
#ifdef TEST_EFFECT_EDITOR
    Display* editorDisplay = nullptr;
    Window editorWindow = 0;
#endif
};

TestEffect* self(AEffect* effect) { return static_cast<TestEffect*>(effect->object); }

// What each parameter shows; the display flavour has one of each kind in turn.
void display(const TestEffect& e, int index, char* text) {
    const float v = e.values[index];
#ifdef TEST_EFFECT_DISPLAYS
    switch (index % 5) {
        case 0: std::snprintf(text, 64, "%.2f", v * 100.0f); return;      // 0.00 .. 100.00
        case 1: std::snprintf(text, 64, "%s", v >= 0.5f ? "On" : "Off"); return;
        case 2:                                                            // decibels, -inf at 0
            if (v <= 0.0f)
                std::snprintf(text, 64, "-\xE2\x88\x9E");
            else
                std::snprintf(text, 64, "%.2f", 20.0f * std::log10(v));
            return;
        case 3: std::snprintf(text, 64, "Position %03d", static_cast<int>(v * 100.0f + 0.5f)); return;
        default: std::snprintf(text, 64, "%s", v < 0.34f ? "Low" : (v < 0.67f ? "Mid" : "High")); return;
    }
#else
    std::snprintf(text, 64, "%.2f", v * 100.0f);
#endif
}

[[maybe_unused]] VstIntPtr dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    TestEffect& e = *self(effect);
    const bool paramInRange = index >= 0 && index < kParams;
    switch (opcode) {
        case effOpen: ++e.opens; return 0;
        case effClose:
#ifdef TEST_EFFECT_EDITOR
            if (e.editorDisplay) XCloseDisplay(e.editorDisplay);
#endif
            delete &e;
            return 0;
        case effSetProgram:
            if (value >= 0 && value < kPrograms) e.program = static_cast<int>(value);
            return 0;
        case effGetProgram: return e.program;
        case effProcessEvents: {
            const auto* events = static_cast<VstEvents*>(ptr);
            // Hosts allocate more pointers than the two the record declares.
            VstEvent* const* list = events->events;
            if (e.midiBatches < kBatchRecord) {
                e.midiBatchSizes[e.midiBatches] = events->numEvents;
                e.midiBatchAtCall[e.midiBatches] = e.processCalls;
            }
            ++e.midiBatches;
            for (int i = 0; i < events->numEvents; ++i) {
                const auto* midi = reinterpret_cast<const VstMidiEvent*>(list[i]);
                if (midi->type != kVstMidiType || midi->byteSize != sizeof(VstMidiEvent)) continue;
                if (e.midiEvents < kMidiRecord) {
                    const auto* b = reinterpret_cast<const unsigned char*>(midi->midiData);
                    e.midiBytes[e.midiEvents] = (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
                    e.midiDeltas[e.midiEvents] = midi->deltaFrames;
                }
                ++e.midiEvents;
            }
            return 1;
        }
#ifdef TEST_EFFECT_SLOW_STATE
        case effGetChunk:
            std::memcpy(e.generationChunk, kGenerationTag, sizeof kGenerationTag);
            for (int i = 0; i < kGenerationWords; ++i) {
                const uint32_t word = e.generation[i].load(std::memory_order_relaxed);
                std::memcpy(e.generationChunk + sizeof kGenerationTag + 4 * i, &word, 4);
                std::this_thread::sleep_for(kWordPause);
            }
            *static_cast<void**>(ptr) = e.generationChunk;
            return sizeof e.generationChunk;
        case effSetChunk:
            e.setChunkSize = value;
            if (value != static_cast<VstIntPtr>(sizeof e.generationChunk) ||
                std::memcmp(ptr, kGenerationTag, sizeof kGenerationTag) != 0)
                return 0;
            for (int i = 0; i < kGenerationWords; ++i) {
                uint32_t word = 0;
                std::memcpy(&word, static_cast<char*>(ptr) + sizeof kGenerationTag + 4 * i, 4);
                e.generation[i].store(word, std::memory_order_relaxed);
                std::this_thread::sleep_for(kWordPause);
            }
            return 1;
#else
        case effGetChunk: {
            std::memcpy(e.chunk, "TCHK", 4);
            std::memcpy(e.chunk + 4, e.values, sizeof e.values);
            *static_cast<void**>(ptr) = e.chunk;
            return sizeof e.chunk;
        }
        case effSetChunk:
            e.setChunkSize = value;
            if (value > 0) std::memcpy(e.setChunkData, ptr, static_cast<size_t>(value < kChunkRecord ? value : kChunkRecord));
            if (value == static_cast<VstIntPtr>(sizeof e.chunk) && std::memcmp(ptr, "TCHK", 4) == 0)
                std::memcpy(e.values, static_cast<char*>(ptr) + 4, sizeof e.values);
            return 1;
#endif
        case effEditGetRect: *static_cast<ERect**>(ptr) = &e.editorRect; return 1;
        case effEditOpen:
            ++e.editorOpens;
            e.editorParent = reinterpret_cast<VstIntPtr>(ptr);
#ifdef TEST_EFFECT_EDITOR
            // An editor of its own on its own connection: a window the server fills with
            // kTestEditorColour, inside the window the host gave. Its X calls are trapped
            // like any editor's must be: the host may destroy its window first.
            if (ptr && !e.editorDisplay && (e.editorDisplay = XOpenDisplay(nullptr))) {
                ruvane::X11ErrorTrap trap(e.editorDisplay);
                e.editorWindow = XCreateSimpleWindow(e.editorDisplay, reinterpret_cast<Window>(ptr), 0, 0,
                                                     e.editorRect.right, e.editorRect.bottom, 0, 0, kTestEditorColour);
                XMapWindow(e.editorDisplay, e.editorWindow);
            }
#endif
            return 1;
        case effEditClose:
            ++e.editorCloses;
#ifdef TEST_EFFECT_EDITOR
            if (e.editorDisplay) {
                {
                    ruvane::X11ErrorTrap trap(e.editorDisplay);
                    XDestroyWindow(e.editorDisplay, e.editorWindow);
                }
                XCloseDisplay(e.editorDisplay);
                e.editorDisplay = nullptr;
            }
#endif
            return 1;
        case effEditIdle: ++e.editorIdles; return 1;
        case effSetProgramName: std::snprintf(e.programNames[e.program], kNameBytes, "%s", static_cast<char*>(ptr)); return 0;
        case effGetProgramName: std::snprintf(static_cast<char*>(ptr), kNameBytes, "%s", e.programNames[e.program]); return 0;
        case effGetParamLabel:
            if (paramInRange) std::snprintf(static_cast<char*>(ptr), 64, "%s", index % 5 == 2 ? "dB" : (index % 5 == 0 ? "%" : ""));
            return 0;
        case effGetParamDisplay:
            if (paramInRange) display(e, index, static_cast<char*>(ptr));
            return 0;
        case effGetParamName:
            if (paramInRange) std::snprintf(static_cast<char*>(ptr), 64, "Param %d Name", index);
            return 0;
        case effSetSampleRate: e.lastSampleRate = opt; ++e.sampleRateCalls; return 0;
        case effSetBlockSize: e.lastBlockSize = static_cast<int>(value); return 0;
        case effMainsChanged:
            e.mainsOn = static_cast<int>(value);
#ifdef TEST_EFFECT_AUTOMATES_ON_RESUME
            // Drives parameter 5 beyond the host's range: the host must keep out of it.
            if (value) e.host(&e.effect, audioMasterAutomate, 5, 0, nullptr, 1.5f);
#endif
            return 0;
        case effVendorSpecific: {
            switch (index) {
                case kQueryAutomate: e.host(&e.effect, audioMasterAutomate, static_cast<VstInt32>(value), 0, nullptr, opt); return 0;
                case kQueryUpdateDisplay: e.host(&e.effect, audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f); return 0;
                case kQuerySetCount: return value >= 0 && value < kParams ? e.setCounts[value] : -1;
                case kQueryOpens: return e.opens;
                case kQueryMains: return e.mainsOn;
                case kQueryBlockSize: return e.lastBlockSize;
                case kQuerySampleRate: return static_cast<VstIntPtr>(e.lastSampleRate);
                case kQuerySampleRateCalls: return e.sampleRateCalls;
                case kQueryEntrySampleRate: return e.entrySampleRate;
                case kQueryEntryBlockSize: return e.entryBlockSize;
                case kQueryEntryTime: return e.entryTime;
                case kQueryProcessCalls: return e.processCalls;
                case kQueryProcessFrames: return value >= 0 && value < 16 ? e.processFrames[value] : -1;
                case kQueryHost: return e.host(&e.effect, static_cast<VstInt32>(value), static_cast<VstInt32>(opt), 0, ptr, 0.0f);
                case kQueryMidiBatches: return e.midiBatches;
                case kQueryMidiBatchSize: return value >= 0 && value < kBatchRecord ? e.midiBatchSizes[value] : -1;
                case kQueryMidiBatchAtCall: return value >= 0 && value < kBatchRecord ? e.midiBatchAtCall[value] : -1;
                case kQueryMidiEvents: return e.midiEvents;
                case kQueryMidiEventBytes: return value >= 0 && value < kMidiRecord ? e.midiBytes[value] : -1;
                case kQueryMidiEventDelta: return value >= 0 && value < kMidiRecord ? e.midiDeltas[value] : -1;
                case kQueryTimeTempoMilli: return static_cast<VstIntPtr>(e.lastTime.tempo * 1000.0);
                case kQueryTimePpqMilli: return static_cast<VstIntPtr>(e.lastTime.ppqPos * 1000.0);
                case kQueryTimeFlags: return e.lastTime.flags;
                case kQueryTimeSignature: return e.lastTime.timeSigNumerator * 100 + e.lastTime.timeSigDenominator;
                case kQuerySetChunkSize: return e.setChunkSize;
                case kQuerySetChunkByte: return value >= 0 && value < kChunkRecord ? e.setChunkData[value] : -1;
                case kQuerySideChainSum: return static_cast<VstIntPtr>(e.sideChainSum);
                case kQueryEditorOpens: return e.editorOpens;
                case kQueryEditorCloses: return e.editorCloses;
                case kQueryEditorIdles: return e.editorIdles;
                case kQueryEditorParent: return e.editorParent;
                case kQueryTimeSampleRate: return static_cast<VstIntPtr>(e.lastTime.sampleRate);
                case kQueryHostSampleRate: return e.lastHostRate;
                case kQueryReceivedInput:
                    if (ptr && (value == 0 || value == 1))
                        std::memcpy(ptr, e.received[value], sizeof e.received[value]);
                    return e.receivedCount;
#ifdef TEST_EFFECT_SLOW_STATE
                case kQueryTornStates: return e.tornStates;
#endif
                default: return 0;
            }
        }
        default: return 0;
    }
}

[[maybe_unused]] void setParameter(AEffect* effect, VstInt32 index, float value) {
    TestEffect& e = *self(effect);
    if (index < 0 || index >= kParams) return;
    e.values[index] = value;
    ++e.setCounts[index];
#ifdef TEST_EFFECT_MIRRORS
    // Parameter 0 follows the last change of any other parameter, and says so to the host.
    if (index > 0) {
        e.values[0] = value;
        e.host(&e.effect, audioMasterAutomate, 0, 0, nullptr, value);
    }
#endif
}

[[maybe_unused]] float getParameter(AEffect* effect, VstInt32 index) {
    TestEffect& e = *self(effect);
    return index >= 0 && index < kParams ? e.values[index] : 0.0f;
}

[[maybe_unused]] void processReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    TestEffect& e = *self(effect);
    if (e.processCalls < 16) e.processFrames[e.processCalls] = frames;
    ++e.processCalls;
    if (const auto* time = reinterpret_cast<const VstTimeInfo*>(e.host(effect, audioMasterGetTime, 0, 0, nullptr, 0.0f)))
        e.lastTime = *time;
    e.lastHostRate = e.host(effect, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
    for (VstInt32 i = 0; i < frames && e.receivedCount < kTestEffectInputRecord; ++i, ++e.receivedCount) {
        e.received[0][e.receivedCount] = inputs[0][i];
        e.received[1][e.receivedCount] = inputs[1][i];
    }
#ifdef TEST_EFFECT_SLOW_STATE
    for (int i = 1; i < kGenerationWords; ++i)
        if (e.generation[i].load(std::memory_order_relaxed) != e.generation[0].load(std::memory_order_relaxed)) {
            ++e.tornStates;
            break;
        }
    const uint32_t next = e.generation[0].load(std::memory_order_relaxed) + 1;
    for (std::atomic<uint32_t>& word : e.generation) word.store(next, std::memory_order_relaxed);
#endif
    // Each channel its own gain, so tests tell which output reached the host.
    for (VstInt32 i = 0; i < frames; ++i) {
        outputs[0][i] = inputs[0][i] * 0.5f;
        outputs[1][i] = inputs[1][i] * 0.25f;
        e.sideChainSum += static_cast<double>(inputs[2][i]) + inputs[3][i];
    }
}

// Flavours that never give a usable record keep it here, so nothing of them leaks.
[[maybe_unused]] AEffect staticRecord{};

AEffect* create(audioMasterCallback host) {
#if defined(TEST_EFFECT_NULL_RESULT)
    (void)host;
    return nullptr;
#elif defined(TEST_EFFECT_WRONG_MAGIC) || defined(TEST_EFFECT_NULL_DISPATCHER)
    (void)host;
    staticRecord.magic = kEffectMagic;
    staticRecord.dispatcher = dispatcher;
#ifdef TEST_EFFECT_WRONG_MAGIC
    staticRecord.magic = fourCharCode('N', 'o', 'p', 'e');
#else
    staticRecord.dispatcher = nullptr;
#endif
    staticRecord.numParams = kParams;
    return &staticRecord;
#else
    auto* e = new (std::nothrow) TestEffect;
    if (!e) return nullptr;
    e->host = host;
    e->entrySampleRate = host(nullptr, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
    e->entryBlockSize = host(&e->effect, audioMasterGetBlockSize, 0, 0, nullptr, 0.0f);
    e->entryTime = host(&e->effect, audioMasterGetTime, 0, 0, nullptr, 0.0f);
    AEffect& a = e->effect;
    a.magic = kEffectMagic;
    a.dispatcher = dispatcher;
    a.setParameter = setParameter;
    a.getParameter = getParameter;
    a.processReplacing = processReplacing;
    a.numPrograms = kPrograms;
    a.numParams = kParams;
    a.numInputs = 2;
    a.numOutputs = 2;
    a.flags = effFlagsCanReplacing;
#ifdef TEST_EFFECT_CHUNKS
    a.flags |= effFlagsProgramChunks;
#endif
#ifdef TEST_EFFECT_EDITOR
    a.flags |= effFlagsHasEditor;
#endif
    a.initialDelay = TEST_EFFECT_LATENCY;
    a.uniqueID = fourCharCode('T', 's', 't', 'E');
    a.object = e;
    for (int p = 0; p < kPrograms; ++p) std::snprintf(e->programNames[p], kNameBytes, "Program %d", p);
    for (int i = 0; i < kParams; ++i) e->values[i] = 0.25f;
    return &a;
#endif
}

}  // namespace

#define TEST_EFFECT_EXPORT extern "C" __attribute__((visibility("default")))

#if defined(TEST_EFFECT_WRONG_MAGIC) || defined(TEST_EFFECT_NULL_DISPATCHER)
// The record the entry hands out, for tests to see what the host wrote into it.
TEST_EFFECT_EXPORT AEffect* testEffectRecord() { return &staticRecord; }
#endif

#if TEST_EFFECT_ENTRY == 2
TEST_EFFECT_EXPORT AEffect* Main(audioMasterCallback host) { return create(host); }
#elif TEST_EFFECT_ENTRY == 3
TEST_EFFECT_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) { return create(host); }
#else
TEST_EFFECT_EXPORT AEffect* testEffectMain(audioMasterCallback host) __asm__("main");
TEST_EFFECT_EXPORT AEffect* testEffectMain(audioMasterCallback host) { return create(host); }
#endif
