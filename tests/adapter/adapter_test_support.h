// Helpers for the adapter's tests: the built test effects, a stand-in host platform per
// test, folders holding a copy of wrapper.so beside an effect named Ruvane.so, a
// process made in this test program with an effect file of the test's choice, and a
// render thread for it.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "adapter/offline_process.h"
#include "adapter/plugin_wrapper.h"
#include "adapter/rilo_process.h"
#include "adapter/wrapper_process_group.h"
#include "adapter/module_state.h"
#include "hostplatform/api/host_platform.h"
#include "temp_folder.h"
#include "tests/adapter/effects/test_effect_queries.h"

namespace ruvane::testing {

inline std::string testEffectPath(const std::string& name) {
    return std::string(RUVANE_TEST_EFFECT_DIR) + "/" + name + ".so";
}

// The host program's engine and extension, with alerts kept quiet.
struct QuietHost {
    QuietHost() { platform.engine.setPrintAlerts(false); }
    hostplatform::HostPlatform platform;
};

// A folder with a copy of wrapper.so and its resource file, and, when given, an effect
// library copied in as Ruvane.so.
class ModuleFolder {
public:
    explicit ModuleFolder(const std::string& effectPath = "") {
        namespace fs = std::filesystem;
        fs::copy_file(RUVANE_WRAPPER_PATH, wrapper());
        fs::copy_file(RUVANE_WRAPPER_RESOURCES_PATH, resources());
        if (!effectPath.empty()) fs::copy_file(effectPath, folder_.path() / "Ruvane.so");
    }
    std::filesystem::path wrapper() const { return folder_.path() / "wrapper.so"; }
    std::filesystem::path resources() const { return folder_.path() / "wrapper.so.rsr"; }
    const std::filesystem::path& path() const { return folder_.path(); }

private:
    TempFolder folder_;
};

// Loads and opens a module file; fails the test when it cannot.
inline std::unique_ptr<hostplatform::PlugInModule> openModule(hostplatform::HostPlatform& platform,
                                                              const std::filesystem::path& path) {
    std::string error;
    auto module = hostplatform::PlugInModule::load(platform, path, &error);
    EXPECT_NE(module, nullptr) << error;
    if (module) {
        EXPECT_EQ(module->open(), 0);
    }
    return module;
}

inline hostplatform::TypeDescription typeWithId(const hostplatform::PlugInModule& module, int32_t id) {
    for (const auto& type : module.types())
        if (type.info.typeId == id) return type;
    ADD_FAILURE() << "no type " << id;
    return {};
}

// A real-time process of this test program hosting the effect at effectPath.
class TestRiloProcess : public CWrapperRiloProcess {
public:
    TestRiloProcess(const CProcessContext& context, const char* effectPath)
        : CWrapperRiloProcess(context, effectPath) {}
    using CProcess::HostSetsControl;
};

// The offline process of this test program hosting the effect at effectPath.
class TestOfflineProcess : public CWrapperOLPProcess {
public:
    TestOfflineProcess(const CProcessContext& context, const char* effectPath)
        : CWrapperOLPProcess(context, effectPath) {}
    using CProcess::HostSetsControl;
};

// The module's type indices, in the group's order.
enum TypeIndex { kMonoType = 0, kMonoToStereoType = 1, kStereoType = 2, kOfflineType = 3 };

// A group of this test program for making process contexts.
class ProcessFixture {
public:
    explicit ProcessFixture(double sampleRate = 48000.0) : group_(TheModule().Engine()) {
        group_.Initialize();
        context_.engine = &TheModule().Engine();
        context_.type = group_.TypeAt(2);  // 'Rv7m'
        context_.sampleRate = sampleRate;
    }
    CProcessContext context(uint64_t hostInstanceId = 0, int32_t typeIndex = kStereoType) {
        CProcessContext context = context_;
        context.hostInstanceId = hostInstanceId;
        context.type = group_.TypeAt(typeIndex);
        context.group = &group_;
        return context;
    }
    CWrapperProcessGroup& group() { return group_; }
    // A process of the type at typeIndex (real-time or offline) hosting effectPath.
    std::unique_ptr<CWrapperProcess> make(const std::string& effectPath, int32_t typeIndex = kStereoType,
                                          uint64_t hostInstanceId = 0) {
        if (typeIndex == kOfflineType)
            return std::make_unique<TestOfflineProcess>(context(hostInstanceId, typeIndex), effectPath.c_str());
        return std::make_unique<TestRiloProcess>(context(hostInstanceId, typeIndex), effectPath.c_str());
    }

private:
    CWrapperProcessGroup group_;
    CProcessContext context_;
};

// The host's audio thread: renders 70-sample calls until told to stop; join answers how
// many it made.
class RenderThread {
public:
    // Renders calls of 70 samples (left 0.25, right -0.25) until joined; inspect, when
    // given, sees the left output of each call on the render thread.
    using Inspect = std::function<void(const std::vector<float>& outLeft)>;
    explicit RenderThread(CWrapperProcess& process, Inspect inspect = {})
        : thread_([this, &process, inspect = std::move(inspect)] {
              std::vector<float> left(70, 0.25f), right(70, -0.25f), outLeft(70), outRight(70);
              const float* inputs[] = {left.data(), right.data()};
              float* outputs[] = {outLeft.data(), outRight.data()};
              while (!stop_.load(std::memory_order_acquire)) {
                  process.RenderAudio(inputs, outputs, nullptr, 70, false);
                  if (inspect) inspect(outLeft);
                  calls_.fetch_add(1, std::memory_order_relaxed);
              }
          }) {}
    ~RenderThread() { join(); }
    int join() {
        stop_.store(true, std::memory_order_release);
        if (thread_.joinable()) thread_.join();
        return calls_.load();
    }
    int calls() const { return calls_.load(std::memory_order_relaxed); }
    void awaitCalls(int count) const {
        while (calls_.load(std::memory_order_relaxed) < count) std::this_thread::yield();
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<int> calls_{0};
    std::thread thread_;
};

inline VstIntPtr query(CPluginWrapperInterface& wrapper, TestEffectQuery what, VstIntPtr value = 0, float opt = 0.0f,
                       void* ptr = nullptr) {
    return wrapper.Dispatch(effVendorSpecific, what, value, ptr, opt);
}

}  // namespace ruvane::testing
