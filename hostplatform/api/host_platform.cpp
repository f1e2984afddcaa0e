#include "hostplatform/api/host_platform.h"

#include <dlfcn.h>

#include <cmath>

namespace ruvane::hostplatform {

namespace {

constexpr double kControlSpan = 4294967295.0;
constexpr double kControlOffset = 2147483648.0;

template <typename Proc>
Proc symbol(void* handle, const char* name) {
    return reinterpret_cast<Proc>(dlsym(handle, name));
}

}  // namespace

int32_t controlValueOfFraction(double fraction) {
    fraction = fraction < 0.0 ? 0.0 : (fraction > 1.0 ? 1.0 : fraction);
    return static_cast<int32_t>(std::floor(fraction * kControlSpan - kControlOffset + 0.5));
}

double fractionOfControlValue(int32_t value) { return (value + kControlOffset) / kControlSpan; }

PlugInInstance::PlugInInstance(const HPFrameworkInterface* framework, HostEngine& engine)
    : framework_(framework), engine_(engine) {
    hostId_ = engine_.addInstance([this](int32_t control, int32_t value) {
        {
            std::lock_guard lock(changesMutex_);
            changes_.emplace_back(control, value);
        }
        if (echo_ && instance_) framework_->SetControlValue(instance_, control, value);
    });
}

PlugInInstance::~PlugInInstance() {
    if (instance_) framework_->DestroyInstance(instance_);
    engine_.removeInstance(hostId_);
}

int32_t PlugInInstance::controlCount() const { return framework_->ControlCount(instance_); }

HPControlInfo PlugInInstance::controlInfo(int32_t control) const {
    HPControlInfo info{};
    framework_->GetControlInfo(instance_, control, &info);
    return info;
}

int32_t PlugInInstance::value(int32_t control) const {
    int32_t value = 0;
    framework_->GetControlValue(instance_, control, &value);
    return value;
}

int32_t PlugInInstance::setValue(int32_t control, int32_t value) {
    return framework_->SetControlValue(instance_, control, value);
}

std::string PlugInInstance::text(int32_t control) const { return textOf(control, value(control)); }

std::string PlugInInstance::textOf(int32_t control, int32_t value) const {
    char text[256] = {};
    framework_->GetControlText(instance_, control, value, text, sizeof text);
    return text;
}

std::vector<ControlDescription> PlugInInstance::controls() const {
    std::vector<ControlDescription> controls;
    const int32_t count = controlCount();
    for (int32_t index = 1; index <= count; ++index) {
        ControlDescription control;
        control.index = index;
        control.info = controlInfo(index);
        control.value = value(index);
        control.text = textOf(index, control.value);
        controls.push_back(control);
    }
    return controls;
}

int32_t PlugInInstance::bypassControl() const {
    int32_t control = 0;
    framework_->GetBypassControl(instance_, &control);
    return control;
}

int32_t PlugInInstance::render(const float* const* inputs, float* const* outputs, const float* sideChain,
                               int32_t frames, const std::vector<HPMidiEvent>& midi, int32_t* produced) {
    int32_t written = 0;
    const int32_t result = framework_->Render(instance_, inputs, outputs, sideChain, frames,
                                              midi.empty() ? nullptr : midi.data(),
                                              static_cast<int32_t>(midi.size()), &written);
    if (produced) *produced = written;
    return result;
}

int32_t PlugInInstance::setSampleRate(double rate) { return framework_->SetSampleRate(instance_, rate); }

int32_t PlugInInstance::midiNode() const {
    int32_t node = 0;
    framework_->GetMidiNode(instance_, &node);
    return node;
}

std::vector<HPChunkInfo> PlugInInstance::chunkList() const {
    std::vector<HPChunkInfo> chunks;
    const int32_t count = framework_->ChunkCount(instance_);
    for (int32_t index = 0; index < count; ++index) {
        HPChunkInfo info{};
        if (framework_->GetChunkInfo(instance_, index, &info) == 0) chunks.push_back(info);
    }
    return chunks;
}

int32_t PlugInInstance::saveChunk(int32_t id, std::vector<uint8_t>& bytes) const {
    int32_t size = 0;
    if (const int32_t result = framework_->GetChunkSize(instance_, id, &size); result != 0) return result;
    bytes.assign(static_cast<std::size_t>(size), 0);
    return framework_->SaveChunk(instance_, id, bytes.data(), size);
}

int32_t PlugInInstance::restoreChunk(int32_t id, const std::vector<uint8_t>& bytes) {
    return framework_->RestoreChunk(instance_, id, bytes.data(), static_cast<int32_t>(bytes.size()));
}

std::vector<PlugInInstance::Chunk> PlugInInstance::saveState() const {
    std::vector<Chunk> state;
    for (const HPChunkInfo& info : chunkList()) {
        Chunk chunk{info.id, info.name, {}};
        if (saveChunk(info.id, chunk.bytes) == 0) state.push_back(std::move(chunk));
    }
    return state;
}

int32_t PlugInInstance::restoreState(const std::vector<Chunk>& chunks) {
    int32_t first = 0;
    for (const Chunk& chunk : chunks) {
        const int32_t result = restoreChunk(chunk.id, chunk.bytes);
        if (result != 0 && first == 0) first = result;
    }
    return first;
}

HPViewRect PlugInInstance::viewRect() const {
    HPViewRect rect{};
    framework_->GetViewRect(instance_, &rect);
    return rect;
}

int32_t PlugInInstance::openView(unsigned long parent, int32_t viewMode) {
    return framework_->OpenView(instance_, parent, viewMode);
}

int32_t PlugInInstance::closeView() { return framework_->CloseView(instance_); }

int32_t PlugInInstance::idleView() { return framework_->IdleView(instance_); }

int32_t PlugInInstance::latency() const {
    int32_t latency = 0;
    framework_->GetLatency(instance_, &latency);
    return latency;
}

std::vector<std::pair<int32_t, int32_t>> PlugInInstance::changesFromPlugIn() const {
    std::lock_guard lock(changesMutex_);
    return changes_;
}

std::unique_ptr<PlugInModule> PlugInModule::load(HostPlatform& platform, const std::filesystem::path& path,
                                                 std::string* error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error) *error = dlerror();
        return nullptr;
    }
    std::unique_ptr<PlugInModule> module(new PlugInModule(platform, handle, path));
    module->newPlugIn_ = symbol<HPNewPlugInProc>(handle, "NewPlugIn");
    module->open_ = symbol<HPWinPlugInOpenProc>(handle, "WinPlugInOpen");
    module->close_ = symbol<HPWinPlugInCloseProc>(handle, "WinPlugInClose");
    module->routineDescriptor_ = symbol<HPGetRoutineDescriptorProc>(handle, "_PI_GetRoutineDescriptor");
    if (!module->newPlugIn_ || !module->open_ || !module->close_ || !module->routineDescriptor_) {
        if (error) *error = path.string() + " is not a plug-in module of this platform (exports missing)";
        return nullptr;
    }
    return module;
}

PlugInModule::PlugInModule(HostPlatform& platform, void* handle, std::filesystem::path path)
    : platform_(platform), handle_(handle), path_(std::move(path)) {}

PlugInModule::~PlugInModule() {
    if (opened_) close();
    dlclose(handle_);
    platform_.engine.forgetModule(handle_);
}

int32_t PlugInModule::open(int32_t key) {
    const int32_t result = open_(key);
    if (result == 0) opened_ = true;
    return result;
}

int32_t PlugInModule::close() {
    opened_ = false;
    return close_();
}

int32_t PlugInModule::newPlugIn() { return newPlugIn_(); }

void* PlugInModule::routine(int32_t number) const {
    void* slot = reinterpret_cast<void*>(1);  // shows whether the module wrote the slot
    routineDescriptor_(number, &slot);
    return slot;
}

const OpenResourceFile* PlugInModule::resourceFile() const {
    std::filesystem::path expected = path_;
    expected += ".rsr";
    for (const auto& [ref, file] : platform_.extension.openFiles()) {
        if (std::filesystem::path(file.path) == expected) {
            resourceFileCopy_ = file;
            return &resourceFileCopy_;
        }
    }
    return nullptr;
}

const HPFrameworkInterface* PlugInModule::framework() const {
    auto entry = reinterpret_cast<HPFrameworkEntryProc>(routine(kHPRoutineFrameworkEntry));
    return entry ? entry() : nullptr;
}

int32_t PlugInModule::groupCount() const {
    const auto* framework = this->framework();
    return framework ? framework->GroupCount() : 0;
}

HPGroupInfo PlugInModule::group(int32_t index) const {
    HPGroupInfo info{};
    if (const auto* framework = this->framework()) framework->GetGroupInfo(index, &info);
    return info;
}

std::vector<TypeDescription> PlugInModule::types() const {
    std::vector<TypeDescription> types;
    const auto* framework = this->framework();
    if (!framework) return types;
    for (int32_t group = 0; group < framework->GroupCount(); ++group) {
        HPGroupInfo groupInfo{};
        if (framework->GetGroupInfo(group, &groupInfo) != 0) continue;
        for (int32_t index = 0; index < groupInfo.typeCount; ++index) {
            TypeDescription type;
            type.group = group;
            type.index = index;
            if (framework->GetTypeInfo(group, index, &type.info) == 0) types.push_back(type);
        }
    }
    return types;
}

std::unique_ptr<PlugInInstance> PlugInModule::create(const TypeDescription& type, double sampleRate,
                                                     int32_t* error) {
    const auto* framework = this->framework();
    if (!framework) {
        if (error) *error = kHPErrorNotOpen;
        return nullptr;
    }
    std::unique_ptr<PlugInInstance> instance(new PlugInInstance(framework, platform_.engine));
    HPInstanceSetup setup{instance->hostId_, sampleRate};
    HPInstance* made = nullptr;
    const int32_t result = framework->CreateInstance(type.group, type.index, &setup, &made);
    if (error) *error = result;
    if (result != 0 || !made) return nullptr;
    instance->instance_ = made;
    return instance;
}

}  // namespace ruvane::hostplatform
