// Test fixture: the built Ruvane.so loaded through the VST binary interface, with a
// private settings folder so no stored user defaults reach the test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "vst/host/plugin_host.h"

namespace ruvane::testing {

// A fresh, empty XDG_CONFIG_HOME for the lifetime of the object.
class ScopedConfigHome {
public:
    ScopedConfigHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ruvane-config-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
        setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
    }
    ~ScopedConfigHome() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::unique_ptr<vsthost::PluginInstance> loadRuvane(vsthost::HostState host = {}) {
    std::string error;
    auto plugin = vsthost::PluginInstance::load(RUVANE_PLUGIN_PATH, &error, std::move(host));
    EXPECT_NE(plugin, nullptr) << error;
    return plugin;
}

class LoadedPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        plugin = loadRuvane();
        ASSERT_NE(plugin, nullptr);
        plugin->start(44100.0, 512);
    }

    ScopedConfigHome configHome;
    std::unique_ptr<vsthost::PluginInstance> plugin;
};

}  // namespace ruvane::testing
