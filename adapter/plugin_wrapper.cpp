#include "adapter/plugin_wrapper.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>

#include "adapter/host_callback.h"
#include "adapter/module_state.h"
#include "adapter/spin_wait.h"

namespace {

using EntryProc = AEffect* (*)(audioMasterCallback);

// Hosts hand effects at least this much room for a parameter text.
constexpr std::size_t kParameterTextBytes = 256;
constexpr float kBindingSampleRate = 44100.0f;

// The effect library by bare name through the standard search, which finds the sibling
// through wrapper.so's $ORIGIN run path. Loaders that stand between the module and the
// system's dlopen (the sanitizer runtimes do) hide that run path, so the module's own
// folder is tried next: the same place $ORIGIN names.
void* openEffectLibrary(const char* fileName) {
    void* library = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (library || std::strchr(fileName, '/')) return library;
    const std::string& modulePath = TheModule().Path();
    const auto slash = modulePath.rfind('/');
    if (slash == std::string::npos) return nullptr;
    return dlopen((modulePath.substr(0, slash + 1) + fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
}

VstTimeInfo defaultTimeInfo() {
    VstTimeInfo info{};
    info.sampleRate = kFallbackSampleRate;
    info.tempo = 120.0;
    info.ppqPos = 0.0;
    info.timeSigNumerator = 4;
    info.timeSigDenominator = 4;
    info.flags = kVstPpqPosValid | kVstTempoValid;
    return info;
}

}  // namespace

CPluginWrapper::CPluginWrapper() : timeInfo_(defaultTimeInfo()) {
    TheModule().WrapperCreated();
}

CPluginWrapper::~CPluginWrapper() {
    if (editorOpen_) CloseEditor();
    if (resumed_) Suspend();
    if (opened_) UnloadEffect();
    ReleaseLibrary();  // a library whose effect could not be bound
    FreeBuffers();
    TheModule().WrapperDestroyed();
}

void CPluginWrapper::SetCallback(void* owner, CPluginWrapperCallback* callback) {
    owner_ = owner;
    callback_ = callback;
}

void CPluginWrapper::LoadEffect(const char* fileName) {
    if (opened_) UnloadEffect();
    ReleaseLibrary();
    library_ = fileName ? openEffectLibrary(fileName) : nullptr;
    entry_ = nullptr;
    if (library_) {
        entry_ = reinterpret_cast<EntryProc>(dlsym(library_, "main"));
        if (!entry_) entry_ = reinterpret_cast<EntryProc>(dlsym(library_, "Main"));
    }
    AEffect* effect = entry_ ? entry_(AudioMaster) : nullptr;
    if (!effect) {
        TheModule().Engine().Alert(kEffectLoadFailedText, "");
        ReleaseLibrary();  // nothing of it is in use
        return;
    }
    if (effect->dispatcher) {
        effect->resvd1 = reinterpret_cast<VstIntPtr>(this);
        if (effect->magic == kEffectMagic) {
            dispatcher_ = effect->dispatcher;
            processReplacing_ = effect->processReplacing;
            setParameter_ = effect->setParameter;
            getParameter_ = effect->getParameter;
            dispatcher_(effect, effOpen, 0, 0, nullptr, 0.0f);
            dispatcher_(effect, effSetSampleRate, 0, 0, nullptr, kBindingSampleRate);
            uniqueId_ = effect->uniqueID;
            numParams_ = std::max<int32_t>(0, effect->numParams);
            numInputs_ = effect->numInputs;
            numOutputs_ = effect->numOutputs;
            hostLocks_ = std::make_unique<std::atomic<int32_t>[]>(static_cast<std::size_t>(numParams_));
            for (int32_t i = 0; i < numParams_; ++i) hostLocks_[static_cast<std::size_t>(i)].store(0);
            channelCount_ = std::max({numInputs_, numOutputs_, 2});
            effect_.store(effect, std::memory_order_release);
            opened_ = true;
        }
    }
    libraryLoaded_ = true;
}

void CPluginWrapper::UnloadEffect() {
    if (!opened_) return;
    if (editorOpen_) CloseEditor();
    if (resumed_) Suspend();
    // Unbound first, then wait: a Process call that starts now no longer sees the effect.
    AEffect* effect = effect_.exchange(nullptr, std::memory_order_seq_cst);
    SpinUntilClear(processing_);
    AEffectDispatcherProc dispatcher = dispatcher_;
    dispatcher_ = nullptr;
    processReplacing_ = nullptr;
    setParameter_ = nullptr;
    getParameter_ = nullptr;
    dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    opened_ = false;
    ReleaseLibrary();
}

void CPluginWrapper::ReleaseLibrary() {
    if (library_) dlclose(library_);
    library_ = nullptr;
    entry_ = nullptr;
    libraryLoaded_ = false;
}

void CPluginWrapper::GetChannelCount(int32_t* count) {
    if (count) *count = channelCount_;
}

void CPluginWrapper::SetSampleRate(double rate) {
    if (!(rate >= kMinSampleRate && rate <= kMaxSampleRate)) rate = kFallbackSampleRate;
    sampleRate_.store(rate, std::memory_order_relaxed);
    sampleRateInteger_.store(static_cast<VstIntPtr>(rate), std::memory_order_relaxed);
    Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
}

void CPluginWrapper::SetBlockSize(int32_t frames) {
    FreeBuffers();
    blockSize_ = frames;
    Dispatch(effSetBlockSize, frames, frames, nullptr, 0.0f);
    AllocateBuffers();
}

int32_t CPluginWrapper::GetBlockSize() { return blockSize_; }

int32_t CPluginWrapper::GetParameterCount() { return HasEffect() ? numParams_ : 0; }

bool CPluginWrapper::InRange(int32_t index) const { return HasEffect() && index >= 0 && index < numParams_; }

float CPluginWrapper::GetParameter(int32_t index) {
    if (!InRange(index) || !getParameter_) return 0.0f;
    return getParameter_(effect_.load(std::memory_order_acquire), index);
}

void CPluginWrapper::TextCall(VstInt32 opcode, int32_t index, std::string& text) {
    text.clear();
    if (!InRange(index)) return;
    char buffer[kParameterTextBytes] = {};
    Dispatch(opcode, index, 0, buffer, 0.0f);
    buffer[kParameterTextBytes - 1] = '\0';
    text = buffer;
}

void CPluginWrapper::GetParameterDisplay(int32_t index, std::string& text) { TextCall(effGetParamDisplay, index, text); }
void CPluginWrapper::GetParameterName(int32_t index, std::string& text) { TextCall(effGetParamName, index, text); }
void CPluginWrapper::GetParameterLabel(int32_t index, std::string& text) { TextCall(effGetParamLabel, index, text); }
void CPluginWrapper::GetParameterDisplayText(int32_t index, std::string& text) { GetParameterDisplay(index, text); }

bool CPluginWrapper::IsHostLocked(int32_t index) const {
    if (index < 0 || index >= numParams_ || !hostLocks_) return false;
    return hostLocks_[static_cast<std::size_t>(index)].load(std::memory_order_relaxed) != 0;
}

void CPluginWrapper::SetParameter(int32_t index, float value) {
    // A host-locked parameter belongs to the effect; an equal value would only echo back.
    if (!InRange(index) || !setParameter_ || IsHostLocked(index)) return;
    if (value == GetParameter(index)) return;
    setParameter_(effect_.load(std::memory_order_acquire), index, value);
}

void CPluginWrapper::Resume() {
    if (!HasEffect()) return;
    Dispatch(effMainsChanged, 1, 1, nullptr, 0.0f);
    resumed_ = true;
}

void CPluginWrapper::Suspend() {
    if (!HasEffect()) return;
    Dispatch(effMainsChanged, 0, 0, nullptr, 0.0f);
    resumed_ = false;
}

void CPluginWrapper::Process(float** channels, int32_t frames, const CTransportRecord* transport) {
    // Raised before anything is read: state access and unloading raise their side first
    // and then wait for this one, so the two never run together.
    processing_.store(true, std::memory_order_seq_cst);
    AEffect* effect = effect_.load(std::memory_order_seq_cst);
    if (effect && !stateRestoring_.load(std::memory_order_seq_cst)) {
        const double sampleRate = sampleRate_.load(std::memory_order_relaxed);
        if (timeInfo_.sampleRate != sampleRate) timeInfo_.sampleRate = sampleRate;
        if (transport) {
            timeInfo_.tempo = transport->tempo;
            timeInfo_.ppqPos = static_cast<double>(transport->position) / kPositionTicksPerQuarter;
            const bool playing = transport->playing != 0;
            if (playing != ((timeInfo_.flags & kVstTransportPlaying) != 0)) {
                timeInfo_.flags |= kVstTransportChanged;
                timeInfo_.flags = playing ? (timeInfo_.flags | kVstTransportPlaying)
                                          : (timeInfo_.flags & ~kVstTransportPlaying);
            }
        }
        SendQueuedMidi();
        if (processReplacing_ && frames > 0) processReplacing_(effect, channels, channels, frames);
        timeInfo_.flags &= ~kVstTransportChanged;
        midiFront_->Clear();
    }
    processing_.store(false, std::memory_order_release);
}

bool CPluginWrapper::IsSynth() {
    AEffect* effect = effect_.load(std::memory_order_acquire);
    return effect && (effect->flags & effFlagsIsSynth) != 0;
}

int32_t CPluginWrapper::GetLatency() {
    AEffect* effect = effect_.load(std::memory_order_acquire);
    return effect ? effect->initialDelay : 0;
}

float CPluginWrapper::RawGetParameter(int32_t index) {
    AEffect* effect = effect_.load(std::memory_order_acquire);
    return effect && getParameter_ ? getParameter_(effect, index) : 0.0f;
}

void CPluginWrapper::RawSetParameter(int32_t index, float value) {
    AEffect* effect = effect_.load(std::memory_order_acquire);
    if (effect && setParameter_) setParameter_(effect, index, value);
}

void CPluginWrapper::RawProcessReplacing(float** inputs, float** outputs, int32_t frames) {
    AEffect* effect = effect_.load(std::memory_order_acquire);
    if (effect && processReplacing_) processReplacing_(effect, inputs, outputs, frames);
}

VstIntPtr CPluginWrapper::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    AEffect* effect = effect_.load(std::memory_order_acquire);
    return effect && dispatcher_ ? dispatcher_(effect, opcode, index, value, ptr, opt) : 0;
}

VstIntPtr CPluginWrapper::DispatchEffect(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return Dispatch(opcode, index, value, ptr, opt);
}

void CPluginWrapper::AllocateBuffers() {
    workBuffers_.assign(static_cast<std::size_t>(channelCount_),
                        std::vector<float>(static_cast<std::size_t>(std::max(blockSize_, 0)), 0.0f));
}

void CPluginWrapper::FreeBuffers() { workBuffers_.clear(); }

void CPluginWrapper::EffectAutomates(VstInt32 index, float value) {
    if (value >= 0.0f && value <= 1.0f) {
        if (!callback_) return;
        ModuleForwardingScope forwarding;
        callback_->Automate(index, value);
    } else if (index >= 0 && index < numParams_ && hostLocks_) {
        // The effect drives this parameter beyond the host's range: the host keeps out.
        hostLocks_[static_cast<std::size_t>(index)].store(1, std::memory_order_relaxed);
    }
}

void CPluginWrapper::EffectWantsIdle() {
    if (callback_) callback_->Idle();
}

void CPluginWrapper::EffectUpdatesDisplay() {
    if (!libraryLoaded_) return;
    if (callback_) callback_->UpdateDisplay();
    currentProgram_.store(static_cast<int32_t>(Dispatch(effGetProgram, 0, 0, nullptr, 0.0f)), std::memory_order_relaxed);
}
