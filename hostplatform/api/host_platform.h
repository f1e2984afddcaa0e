// A small host on the stand-in platform, for tests and tools: it makes the engine and
// extension, loads a plug-in module file, opens it, lists its groups and types, and
// makes instances whose controls it reads and writes by index.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "hostplatform/engine/host_engine.h"
#include "hostplatform/extension/host_extension.h"
#include "hostplatform/plugin_interface.h"

namespace ruvane::hostplatform {

// The host program's engine and extension libraries; one per process, made first.
struct HostPlatform {
    HostEngine engine;
    HostExtension extension;
};

// Host control values span a control's whole range as a signed 32-bit integer.
int32_t controlValueOfFraction(double fraction);
double fractionOfControlValue(int32_t value);

struct TypeDescription {
    int32_t group = 0;
    int32_t index = 0;
    HPTypeInfo info{};
    std::vector<int32_t> features() const { return {info.features, info.features + info.featureCount}; }
};

struct ControlDescription {
    int32_t index = 0;
    HPControlInfo info{};
    int32_t value = 0;
    std::string text;  // the display text of the current value
};

class PlugInModule;

class PlugInInstance {
public:
    ~PlugInInstance();  // destroys the instance in the module
    PlugInInstance(const PlugInInstance&) = delete;
    PlugInInstance& operator=(const PlugInInstance&) = delete;

    int32_t controlCount() const;
    HPControlInfo controlInfo(int32_t control) const;
    int32_t value(int32_t control) const;
    int32_t setValue(int32_t control, int32_t value);
    std::string text(int32_t control) const;                 // of the current value
    std::string textOf(int32_t control, int32_t value) const;
    std::vector<ControlDescription> controls() const;
    int32_t bypassControl() const;
    // Renders frames samples with the MIDI the host's node buffered for this call;
    // *produced (when given) receives the output samples written.
    int32_t render(const float* const* inputs, float* const* outputs, const float* sideChain, int32_t frames,
                   const std::vector<HPMidiEvent>& midi = {}, int32_t* produced = nullptr);
    int32_t latency() const;
    int32_t setSampleRate(double rate);
    int32_t midiNode() const;

    // The instance's state as the host saves it in a project: each chunk with its id,
    // name and bytes (header included).
    struct Chunk {
        int32_t id = 0;
        std::string name;
        std::vector<uint8_t> bytes;
    };
    std::vector<HPChunkInfo> chunkList() const;
    // Null result code and the chunk, or the module's error code.
    int32_t saveChunk(int32_t id, std::vector<uint8_t>& bytes) const;
    int32_t restoreChunk(int32_t id, const std::vector<uint8_t>& bytes);
    std::vector<Chunk> saveState() const;
    // Restores every chunk in order; answers the first error code, or 0.
    int32_t restoreState(const std::vector<Chunk>& chunks);

    // The view in a window of the host's (an X11 window id).
    HPViewRect viewRect() const;
    int32_t openView(unsigned long parent, int32_t viewMode = 0);
    int32_t closeView();
    int32_t idleView();

    // Changes the plug-in made to its own controls, in order.
    std::vector<std::pair<int32_t, int32_t>> changesFromPlugIn() const;
    // Like some hosts, write every change the plug-in reports straight back to it.
    void setEchoChanges(bool echo) { echo_ = echo; }

private:
    friend class PlugInModule;
    PlugInInstance(const HPFrameworkInterface* framework, HostEngine& engine);

    const HPFrameworkInterface* framework_;
    HostEngine& engine_;
    HPInstance* instance_ = nullptr;
    uint64_t hostId_ = 0;
    std::atomic<bool> echo_{false};
    mutable std::mutex changesMutex_;
    std::vector<std::pair<int32_t, int32_t>> changes_;
};

class PlugInModule {
public:
    // Loads the module file; null and a reason on failure. The module is not yet opened.
    static std::unique_ptr<PlugInModule> load(HostPlatform& platform, const std::filesystem::path& path,
                                              std::string* error);
    ~PlugInModule();  // closes the module if this host opened it, then unloads it
    PlugInModule(const PlugInModule&) = delete;
    PlugInModule& operator=(const PlugInModule&) = delete;

    // The module's exports.
    int32_t open(int32_t key = kHPHostOpenKey);  // WinPlugInOpen
    int32_t close();                             // WinPlugInClose
    int32_t newPlugIn();                         // NewPlugIn
    void* routine(int32_t number) const;         // _PI_GetRoutineDescriptor
    // The procedures the module handed to the engine when it was loaded.
    std::optional<ModuleProcs> registeredProcs() const { return platform_.engine.procsOf(handle_); }
    const OpenResourceFile* resourceFile() const;  // the module's open resource file, if any

    int32_t groupCount() const;
    HPGroupInfo group(int32_t index) const;
    std::vector<TypeDescription> types() const;  // of every group, in order

    // Null and a host error code in *error when the module refuses.
    std::unique_ptr<PlugInInstance> create(const TypeDescription& type, double sampleRate, int32_t* error = nullptr);

private:
    PlugInModule(HostPlatform& platform, void* handle, std::filesystem::path path);
    const HPFrameworkInterface* framework() const;

    HostPlatform& platform_;
    void* handle_;
    std::filesystem::path path_;
    bool opened_ = false;
    HPNewPlugInProc newPlugIn_ = nullptr;
    HPWinPlugInOpenProc open_ = nullptr;
    HPWinPlugInCloseProc close_ = nullptr;
    HPGetRoutineDescriptorProc routineDescriptor_ = nullptr;
    mutable OpenResourceFile resourceFileCopy_;
};

}  // namespace ruvane::hostplatform
