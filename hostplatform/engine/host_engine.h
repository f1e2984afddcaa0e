// The host program's side of the stand-in engine library: what it answers to plug-in
// modules and what it has recorded from them. The host program makes one HostEngine;
// while it lives, the library's calls (engine_calls.h) reach it. Without one, the calls
// answer as an engine that knows nothing (no gestalt, no names, alerts on stderr).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "hostplatform/plugin_interface.h"

namespace ruvane::hostplatform {

struct Alert {
    std::string text;
    std::string caption;
};

struct ModuleProcs {
    HPOpenCloseProc open = nullptr;
    HPOpenCloseProc close = nullptr;
};

struct MidiNode {
    std::string name;
    int32_t registration = 0;
};

class HostEngine {
public:
    HostEngine();
    ~HostEngine();
    HostEngine(const HostEngine&) = delete;
    HostEngine& operator=(const HostEngine&) = delete;

    // Answers; every one of them is the host's choice.
    void setGestaltAnswers(bool answers);                         // 'vqta'
    void setMaxRealTimeBlock(std::optional<int32_t> frames);      // nullopt: name unknown
    void setGroupRefusal(int32_t code);                           // 0 accepts groups
    void setPrintAlerts(bool print);                              // alerts also go to stderr

    // Records.
    std::vector<Alert> alerts() const;
    std::optional<ModuleProcs> procsOf(void* module) const;
    void forgetModule(void* module);
    std::map<int32_t, MidiNode> midiNodes() const;
    // How often plug-ins asked for idle time.
    int64_t idleRequests() const { return idleRequests_.load(std::memory_order_relaxed); }

    // Plug-in side control changes reach the listener of their instance.
    using ControlListener = std::function<void(int32_t control, int32_t value)>;
    uint64_t addInstance(ControlListener listener);
    void removeInstance(uint64_t id);

    // The library's calls, served.
    int32_t registerProcs(void* module, HPOpenCloseProc open, HPOpenCloseProc close);
    int32_t gestalt(uint32_t selector, int32_t* response) const;
    int32_t valueByName(const std::string& name, int32_t* value) const;
    int32_t registerGroup(const std::string& name, int32_t manufacturerId);
    void alert(const char* text, const char* caption);
    int32_t registerMidiNode(const char* name, int32_t registration, int32_t* nodeId);
    void unregisterMidiNode(int32_t nodeId);
    void controlChanged(uint64_t instance, int32_t control, int32_t value);
    void idle() { idleRequests_.fetch_add(1, std::memory_order_relaxed); }

private:
    mutable std::mutex mutex_;
    bool gestaltAnswers_ = true;
    std::optional<int32_t> maxRealTimeBlock_ = 512;
    int32_t groupRefusal_ = 0;
    bool printAlerts_ = true;
    std::vector<Alert> alerts_;
    std::map<void*, ModuleProcs> procs_;
    std::map<int32_t, MidiNode> midiNodes_;
    int32_t nextMidiNode_ = 1;
    std::map<uint64_t, ControlListener> listeners_;
    uint64_t nextInstance_ = 1;
    std::atomic<int64_t> idleRequests_{0};
};

}  // namespace ruvane::hostplatform
