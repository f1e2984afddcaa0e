#include "hostplatform/engine/host_engine.h"

#include <cstdio>
#include <atomic>
#include <cstring>

#include "hostplatform/engine/engine_calls.h"

namespace ruvane::hostplatform {

namespace {

// The engine the library's calls reach: the one the host program made, if any. This is
// the library's one piece of process-wide state, as an engine library has by nature.
std::atomic<HostEngine*> installedEngine{nullptr};

// Codes for questions the engine has no answer to.
constexpr int32_t kUnknownSelector = -5551;
constexpr int32_t kUnknownName = -5552;

}  // namespace

HostEngine::HostEngine() {
    HostEngine* expected = nullptr;
    if (!installedEngine.compare_exchange_strong(expected, this))
        std::fprintf(stderr, "host engine: a second engine in one process is ignored\n");
}

HostEngine::~HostEngine() {
    HostEngine* expected = this;
    installedEngine.compare_exchange_strong(expected, nullptr);
}

void HostEngine::setGestaltAnswers(bool answers) {
    std::lock_guard lock(mutex_);
    gestaltAnswers_ = answers;
}

void HostEngine::setMaxRealTimeBlock(std::optional<int32_t> frames) {
    std::lock_guard lock(mutex_);
    maxRealTimeBlock_ = frames;
}

void HostEngine::setGroupRefusal(int32_t code) {
    std::lock_guard lock(mutex_);
    groupRefusal_ = code;
}

void HostEngine::setPrintAlerts(bool print) {
    std::lock_guard lock(mutex_);
    printAlerts_ = print;
}

std::vector<Alert> HostEngine::alerts() const {
    std::lock_guard lock(mutex_);
    return alerts_;
}

std::optional<ModuleProcs> HostEngine::procsOf(void* module) const {
    std::lock_guard lock(mutex_);
    auto found = procs_.find(module);
    if (found == procs_.end()) return std::nullopt;
    return found->second;
}

void HostEngine::forgetModule(void* module) {
    std::lock_guard lock(mutex_);
    procs_.erase(module);
}

std::map<int32_t, MidiNode> HostEngine::midiNodes() const {
    std::lock_guard lock(mutex_);
    return midiNodes_;
}

uint64_t HostEngine::addInstance(ControlListener listener) {
    std::lock_guard lock(mutex_);
    const uint64_t id = nextInstance_++;
    listeners_[id] = std::move(listener);
    return id;
}

void HostEngine::removeInstance(uint64_t id) {
    std::lock_guard lock(mutex_);
    listeners_.erase(id);
}

int32_t HostEngine::registerProcs(void* module, HPOpenCloseProc open, HPOpenCloseProc close) {
    std::lock_guard lock(mutex_);
    procs_[module] = ModuleProcs{open, close};
    return 0;
}

int32_t HostEngine::gestalt(uint32_t selector, int32_t* response) const {
    std::lock_guard lock(mutex_);
    if (selector != RUVANE_HOST_GESTALT_BLOCK_QUERY || !gestaltAnswers_) return kUnknownSelector;
    *response = 1;
    return 0;
}

int32_t HostEngine::valueByName(const std::string& name, int32_t* value) const {
    std::lock_guard lock(mutex_);
    if (name != RUVANE_HOST_MAX_REALTIME_BLOCK || !maxRealTimeBlock_) return kUnknownName;
    *value = *maxRealTimeBlock_;
    return 0;
}

int32_t HostEngine::registerGroup(const std::string&, int32_t) {
    std::lock_guard lock(mutex_);
    return groupRefusal_;
}

void HostEngine::alert(const char* text, const char* caption) {
    bool print = false;
    {
        std::lock_guard lock(mutex_);
        alerts_.push_back(Alert{text ? text : "", caption ? caption : ""});
        print = printAlerts_;
    }
    if (print) std::fprintf(stderr, "alert: %s\n", text ? text : "");
}

int32_t HostEngine::registerMidiNode(const char* name, int32_t registration, int32_t* nodeId) {
    std::lock_guard lock(mutex_);
    const int32_t id = nextMidiNode_++;
    midiNodes_[id] = MidiNode{name ? name : "", registration};
    *nodeId = id;
    return 0;
}

void HostEngine::unregisterMidiNode(int32_t nodeId) {
    std::lock_guard lock(mutex_);
    midiNodes_.erase(nodeId);
}

void HostEngine::controlChanged(uint64_t instance, int32_t control, int32_t value) {
    ControlListener listener;
    {
        std::lock_guard lock(mutex_);
        auto found = listeners_.find(instance);
        if (found == listeners_.end()) return;
        listener = found->second;
    }
    // Called unlocked: a listener may set controls of the plug-in in turn.
    listener(control, value);
}

}  // namespace ruvane::hostplatform

using ruvane::hostplatform::installedEngine;

#define RUVANE_HOST_EXPORT extern "C" __attribute__((visibility("default")))

RUVANE_HOST_EXPORT int32_t RuvaneHost_RegisterOpenCloseProcs(void* module, HPOpenCloseProc open,
                                                             HPOpenCloseProc close) {
    auto* engine = installedEngine.load();
    return engine ? engine->registerProcs(module, open, close) : 0;
}

RUVANE_HOST_EXPORT int32_t RuvaneHost_Gestalt(uint32_t selector, int32_t* response) {
    auto* engine = installedEngine.load();
    if (!engine || !response) return ruvane::hostplatform::kUnknownSelector;
    return engine->gestalt(selector, response);
}

RUVANE_HOST_EXPORT int32_t RuvaneHost_GetValueByName(const char* name, int32_t* value) {
    auto* engine = installedEngine.load();
    if (!engine || !name || !value) return ruvane::hostplatform::kUnknownName;
    return engine->valueByName(name, value);
}

RUVANE_HOST_EXPORT int32_t RuvaneHost_RegisterGroup(const char* name, int32_t manufacturerId) {
    auto* engine = installedEngine.load();
    return engine ? engine->registerGroup(name ? name : "", manufacturerId) : 0;
}

RUVANE_HOST_EXPORT void RuvaneHost_Alert(const char* text, const char* caption) {
    if (auto* engine = installedEngine.load())
        engine->alert(text, caption);
    else
        std::fprintf(stderr, "alert: %s\n", text ? text : "");
}

RUVANE_HOST_EXPORT int32_t RuvaneHost_RegisterMidiNode(const char* name, int32_t registration, int32_t* nodeId) {
    auto* engine = installedEngine.load();
    if (!engine || !nodeId) return ruvane::hostplatform::kUnknownName;
    return engine->registerMidiNode(name, registration, nodeId);
}

RUVANE_HOST_EXPORT void RuvaneHost_UnregisterMidiNode(int32_t nodeId) {
    if (auto* engine = installedEngine.load()) engine->unregisterMidiNode(nodeId);
}

RUVANE_HOST_EXPORT void RuvaneHost_Idle(void) {
    if (auto* engine = installedEngine.load()) engine->idle();
}

RUVANE_HOST_EXPORT void RuvaneHost_ControlChanged(uint64_t hostInstanceId, int32_t control, int32_t value) {
    if (auto* engine = installedEngine.load()) engine->controlChanged(hostInstanceId, control, value);
}
