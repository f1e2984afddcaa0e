// CPluginWrapper's effect state block for the host's "Complete State" chunk. Effects
// with program chunks store their own bank chunk; the others every program's name and
// parameter values. All numbers big-endian.
#include <algorithm>
#include <cstring>

#include "adapter/framework/big_endian.h"
#include "adapter/plugin_wrapper.h"
#include "adapter/spin_wait.h"

namespace {

constexpr uint32_t kChunkFormTag = 0x3000;
constexpr uint32_t kParameterFormTag = 0x2001;
constexpr uint32_t kOlderParameterFormTag = 0x2000;  // read like kParameterFormTag
constexpr int32_t kWord = 4;
constexpr int32_t kTrailerBytes = 2 * kWord;         // tag and its word
constexpr int32_t kParameterHeaderBytes = 2 * kWord;  // parameter and program counts
constexpr int32_t kProgramNameBytes = 64;
constexpr int32_t kNoEffectStateBytes = 8;
constexpr int32_t kShortestBlock = 12;  // anything shorter cannot hold a tag and content

// The effect's bank chunk and its size, or null and 0.
int32_t effectChunk(CPluginWrapper& wrapper, void** data) {
    *data = nullptr;
    const VstIntPtr size = wrapper.Dispatch(effGetChunk, 0, 0, data, 0.0f);
    if (!*data || size <= 0 || size > INT32_MAX - kTrailerBytes) return 0;
    return static_cast<int32_t>(size);
}

}  // namespace

void CPluginWrapper::BeginStateAccess() {
    // Raised first, then wait: a Process call starting now sees the flag and skips the
    // effect, one already running is waited for.
    unsigned round = 0;
    bool expected = false;
    while (!stateRestoring_.compare_exchange_weak(expected, true, std::memory_order_seq_cst)) {
        expected = false;
        SpinPause(round);
    }
    SpinUntilClear(processing_);
}

void CPluginWrapper::EndStateAccess() { stateRestoring_.store(false, std::memory_order_release); }

int32_t CPluginWrapper::ParameterStateSize() const {
    AEffect* effect = effect_.load(std::memory_order_acquire);
    const int64_t programs = std::max(effect->numPrograms, 0);
    const int64_t size = (int64_t{numParams_} + 16) * programs * kWord + 16;
    return size > INT32_MAX ? 0 : static_cast<int32_t>(size);
}

// Saving an effect with program chunks only reads its chunk, which the effect keeps
// consistent itself while it processes (every VST host saves so): rendering goes on, and
// a project save never makes the host hear a block without the effect. The parameter
// form steps through the programs, so no Process may run meanwhile.
int32_t CPluginWrapper::GetStateSize() {
    AEffect* effect = effect_.load(std::memory_order_acquire);
    if (!effect) {
        stateSizeAsked_ = kNoEffectStateBytes;
    } else if (effect->flags & effFlagsProgramChunks) {
        void* data = nullptr;
        stateSizeAsked_ = effectChunk(*this, &data) + kTrailerBytes;
    } else {
        stateSizeAsked_ = ParameterStateSize();
    }
    return stateSizeAsked_;
}

void CPluginWrapper::GetState(uint8_t* data) { GetState(data, stateSizeAsked_); }

int32_t CPluginWrapper::GetState(uint8_t* data, int32_t capacity) {
    AEffect* effect = effect_.load(std::memory_order_acquire);
    if (!effect || !data || capacity <= 0) return 0;
    const bool chunkForm = (effect->flags & effFlagsProgramChunks) != 0;
    if (!chunkForm) BeginStateAccess();
    currentProgram_.store(static_cast<int32_t>(Dispatch(effGetProgram, 0, 0, nullptr, 0.0f)),
                          std::memory_order_relaxed);
    const int32_t written = chunkForm ? WriteChunkState(data, capacity) : WriteParameterState(data, capacity);
    if (!chunkForm) EndStateAccess();
    // A state that changed size since the host asked would not fit its room.
    if (written == 0) std::memset(data, 0, static_cast<std::size_t>(capacity));
    return written;
}

int32_t CPluginWrapper::WriteChunkState(uint8_t* data, int32_t capacity) {
    void* chunk = nullptr;
    const int32_t length = effectChunk(*this, &chunk);
    if (length + kTrailerBytes != capacity) return 0;
    if (length > 0) std::memcpy(data, chunk, static_cast<std::size_t>(length));
    PutBigEndian32(data + length, kChunkFormTag);
    PutBigEndian32(data + length + kWord, kChunkFormTag);
    return capacity;
}

int32_t CPluginWrapper::WriteParameterState(uint8_t* data, int32_t capacity) {
    if (ParameterStateSize() != capacity) return 0;
    AEffect* effect = effect_.load(std::memory_order_acquire);
    const int32_t programs = std::max(effect->numPrograms, 0);
    const int32_t remembered = currentProgram_.load(std::memory_order_relaxed);
    PutBigEndian32(data, static_cast<uint32_t>(numParams_));
    PutBigEndian32(data + kWord, static_cast<uint32_t>(programs));
    uint8_t* record = data + kParameterHeaderBytes;
    for (int32_t program = 0; program < programs; ++program) {
        Dispatch(effSetProgram, 0, program, nullptr, 0.0f);
        char name[kProgramNameBytes + 1] = {};
        Dispatch(effGetProgramName, 0, 0, name, 0.0f);
        name[kProgramNameBytes] = '\0';
        std::memcpy(record, name, kProgramNameBytes);
        record += kProgramNameBytes;
        for (int32_t index = 0; index < numParams_; ++index, record += kWord)
            PutBigEndianFloat(record, GetParameter(index));
    }
    Dispatch(effSetProgram, 0, remembered, nullptr, 0.0f);
    PutBigEndian32(record, kParameterFormTag);
    PutBigEndian32(record + kWord, static_cast<uint32_t>(remembered));
    return static_cast<int32_t>(record + kTrailerBytes - data);
}

void CPluginWrapper::SetState(const uint8_t* data, int32_t size) {
    AEffect* effect = effect_.load(std::memory_order_acquire);
    if (!effect || !data || size < kShortestBlock) return;
    const uint32_t tag = ReadBigEndian32(data + size - kTrailerBytes);
    if (tag == kChunkFormTag && (effect->flags & effFlagsProgramChunks)) {
        // The effect gets its own chunk back without the trailer; it checks the rest. The
        // whole state changes, so no Process runs while it does.
        BeginStateAccess();
        Dispatch(effSetChunk, 0, size - kTrailerBytes, const_cast<uint8_t*>(data), 0.0f);
        EndStateAccess();
    } else if (tag == kChunkFormTag || tag == kParameterFormTag || tag == kOlderParameterFormTag) {
        ReadParameterState(data, size);
    } else {
        return;  // not a state block of this adapter
    }
    refreshCountdown_.store(kRefreshAfterChange, std::memory_order_relaxed);
}

void CPluginWrapper::ReadParameterState(const uint8_t* data, int32_t size) {
    AEffect* effect = effect_.load(std::memory_order_acquire);
    const int64_t storedParams = static_cast<int32_t>(ReadBigEndian32(data));
    const int64_t storedPrograms = static_cast<int32_t>(ReadBigEndian32(data + kWord));
    // Taken only when the block holds exactly what its counts promise; a short or
    // foreign block changes nothing.
    if (storedParams < 0 || storedPrograms < 0) return;
    const int64_t recordBytes = kProgramNameBytes + kWord * storedParams;
    if (recordBytes > size || storedPrograms > size) return;  // keeps the product below in range
    if (kParameterHeaderBytes + storedPrograms * recordBytes + kTrailerBytes != size) return;

    const int32_t current = static_cast<int32_t>(ReadBigEndian32(data + size - kWord));
    const int32_t params = static_cast<int32_t>(std::min<int64_t>(storedParams, numParams_));
    const int32_t programs = static_cast<int32_t>(std::min<int64_t>(storedPrograms, std::max(effect->numPrograms, 0)));
    BeginStateAccess();
    const uint8_t* record = data + kParameterHeaderBytes;
    for (int32_t program = 0; program < programs; ++program, record += recordBytes) {
        Dispatch(effSetProgram, 0, program, nullptr, 0.0f);
        char name[kProgramNameBytes + 1] = {};
        std::memcpy(name, record, kProgramNameBytes);
        Dispatch(effSetProgramName, 0, 0, name, 0.0f);
        for (int32_t index = 0; index < params; ++index)
            SetParameter(index, ReadBigEndianFloat(record + kProgramNameBytes + kWord * index));
    }
    Dispatch(effSetProgram, 0, current, nullptr, 0.0f);
    currentProgram_.store(current, std::memory_order_relaxed);
    EndStateAccess();
}
