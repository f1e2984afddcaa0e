// ruvane-host: Ruvane inside the stand-in host platform, through the adapter wrapper.so,
// as the host platform runs it. See --help.
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>

#include "tools/ruvane-host/host_options.h"
#include "tools/ruvane-host/state_file.h"
#include "tools/ruvane-host/view_window.h"
#include "tools/ruvane-render/audio_files.h"
#include "tools/ruvane-render/exit_codes.h"
#include "tools/ruvane-render/interruption.h"
#include "tools/ruvane-render/level_meter.h"
#include "tools/ruvane-render/progress.h"
#include "vst/aeffect.h"

namespace ruvane::host {
namespace {

namespace fs = std::filesystem;
using render::ToolError;
using hostplatform::PlugInInstance;
using hostplatform::PlugInModule;
using hostplatform::TypeDescription;

constexpr char kModuleFile[] = "wrapper.so";

std::string fourCharText(int32_t code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text.push_back(static_cast<char>((code >> shift) & 0xff));
    return text;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string locateModule(const std::optional<std::string>& given) {
    if (given) {
        if (!fs::exists(*given)) throw ToolError(render::kExitNoPlugin, "the module '" + *given + "' does not exist");
        return *given;
    }
    std::vector<fs::path> candidates;
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        candidates.push_back(self.parent_path() / kModuleFile);
        candidates.push_back(self.parent_path() / ".." / "lib" / "ruvane" / kModuleFile);
    }
    if (const char* home = std::getenv("HOME")) candidates.push_back(fs::path(home) / ".local/lib/ruvane" / kModuleFile);
    for (const auto& candidate : candidates)
        if (fs::exists(candidate, error)) return candidate.string();
    std::string tried;
    for (const auto& candidate : candidates) tried += "\n  " + candidate.string();
    throw ToolError(render::kExitNoPlugin, "wrapper.so was not found; give it with --module PATH. Looked in:" + tried);
}

// The host program: engine, extension and the opened module.
struct Host {
    explicit Host(const std::optional<std::string>& modulePath, int maxBlock) {
        platform.engine.setMaxRealTimeBlock(maxBlock);
        const std::string path = locateModule(modulePath);
        std::string error;
        module = PlugInModule::load(platform, path, &error);
        if (!module) throw ToolError(render::kExitNoPlugin, "cannot load '" + path + "': " + error);
        if (const int32_t result = module->open(); result != 0)
            throw ToolError(render::kExitNoPlugin, "the module '" + path + "' refused to open (error " +
                                                       std::to_string(result) + ")");
    }
    TypeDescription type(const std::string& id) const {
        std::string known;
        for (const auto& type : module->types()) {
            if (fourCharText(type.info.typeId) == id) return type;
            known += " " + fourCharText(type.info.typeId);
        }
        throw ToolError(render::kExitUsage, "no plug-in type '" + id + "'; the module has:" + known);
    }
    std::unique_ptr<PlugInInstance> create(const std::string& typeId, double sampleRate) {
        int32_t error = 0;
        auto instance = module->create(type(typeId), sampleRate, &error);
        if (!instance)
            throw ToolError(render::kExitNoPlugin, "the module could not make an instance (error " + std::to_string(error) + ")");
        // Without its effect an instance lives on as a pass-through: say so and stop.
        for (const auto& alert : platform.engine.alerts())
            throw ToolError(render::kExitNoPlugin, "the adapter could not load Ruvane.so (\"" + alert.text +
                                                       "\"); put Ruvane.so beside wrapper.so");
        return instance;
    }
    hostplatform::HostPlatform platform;
    std::unique_ptr<PlugInModule> module;
};

std::string kindText(int32_t kind) { return kind == kHPKindOffline ? "offline" : kind == kHPKindRealTime ? "real-time" : "kind " + std::to_string(kind); }
std::string channelsText(int32_t channels) { return channels == 1 ? "mono" : channels == 2 ? "stereo" : std::to_string(channels) + " channels"; }

int listTypes(const HostOptions& options) {
    Host host(options.module, options.blockSize);
    const HPGroupInfo group = host.module->group(0);
    std::string manufacturer = group.manufacturer;
    std::replace(manufacturer.begin(), manufacturer.end(), '\n', '/');
    std::cout << group.name << " by " << manufacturer << " (" << fourCharText(group.manufacturerId) << ")\n";
    for (const auto& type : host.module->types())
        std::cout << "  " << fourCharText(type.info.typeId) << "  " << type.info.name << "  "
                  << channelsText(type.info.inputChannels) << " in, " << channelsText(type.info.outputChannels)
                  << " out, " << kindText(type.info.kind) << ", product " << fourCharText(type.info.productId) << "\n";
    return render::kExitOk;
}

// The lines of a control's multi-name, and its full name without the "n: " prefix.
std::vector<std::string> namesOf(const HPControlInfo& info) {
    std::vector<std::string> names;
    std::istringstream lines(info.multiName);
    for (std::string line; std::getline(lines, line);) {
        while (!line.empty() && line.back() == ' ') line.pop_back();
        if (line.empty()) continue;
        names.push_back(line);
        if (const auto colon = line.find(": "); colon != std::string::npos && names.size() == 1)
            names.push_back(line.substr(colon + 2));
    }
    return names;
}

// The full name as people read it: "Main In", "Master Bypass".
std::string displayName(const HPControlInfo& info) {
    const auto names = namesOf(info);
    if (names.empty()) return {};
    return names.size() > 1 && names[0].find(": ") != std::string::npos ? names[1] : names[0];
}

int32_t findControl(const PlugInInstance& instance, const std::string& name) {
    int32_t number = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (error == std::errc() && end == name.data() + name.size()) {
        if (number >= 1 && number <= instance.controlCount()) return number;
        throw ToolError(render::kExitUsage, "no host control number " + name + " (1 to " +
                                                std::to_string(instance.controlCount()) + ")");
    }
    for (int32_t index = 1; index <= instance.controlCount(); ++index)
        for (const auto& candidate : namesOf(instance.controlInfo(index)))
            if (lower(candidate) == lower(name)) return index;
    throw ToolError(render::kExitUsage, "no host control named '" + name + "'; 'ruvane-host controls' lists them");
}

void applyControl(PlugInInstance& instance, const ControlSetting& setting) {
    const int32_t index = findControl(instance, setting.name);
    const std::string value = lower(setting.value);
    double fraction = 0.0;
    if (value == "on") fraction = 1.0;
    else if (value == "off") fraction = 0.0;
    else {
        char* end = nullptr;
        fraction = std::strtod(setting.value.c_str(), &end);
        if (end == setting.value.c_str() || *end != '\0' || !(fraction >= 0.0 && fraction <= 1.0))
            throw ToolError(render::kExitUsage, "the value of '" + setting.name + "' must be a fraction from 0 to 1, "
                                                "on or off, not '" + setting.value + "'");
    }
    instance.setValue(index, hostplatform::controlValueOfFraction(fraction));
}

// A state the instance does not take whole would render with settings nobody chose:
// a refused chunk stops the program as a bad input file.
void loadState(PlugInInstance& instance, const std::string& path) {
    for (const auto& chunk : readStateFile(path))
        if (const int32_t result = instance.restoreChunk(chunk.id, chunk.bytes); result != 0)
            throw ToolError(render::kExitBadInput, "the state file '" + path + "' does not fit this instance: it refused "
                                                   "the chunk \"" + chunk.name + "\" ('" + fourCharText(chunk.id) +
                                                   "', error " + std::to_string(result) + ")");
}

void prepare(Host& host, PlugInInstance& instance, const HostOptions& options) {
    if (options.loadState) loadState(instance, *options.loadState);
    for (const auto& setting : options.controls) applyControl(instance, setting);
    if (options.bypass) instance.setValue(instance.bypassControl(), hostplatform::controlValueOfFraction(1.0));
    (void)host;
}

int listControls(const HostOptions& options) {
    Host host(options.module, options.blockSize);
    auto instance = host.create(options.type, 44100.0);
    prepare(host, *instance, options);
    for (const auto& control : instance->controls()) {
        const std::string kind = control.info.kind == kHPControlDiscrete ? "switch" : "continuous";
        std::printf("%3d  %-10s  %-32s  %s\n", control.index, kind.c_str(),
                    displayName(control.info).c_str(), control.text.c_str());
    }
    return render::kExitOk;
}

int renderFile(const HostOptions& options) {
    const std::string& inputPath = *options.input;
    const std::string& outputPath = *options.output;
    std::error_code error;
    if (fs::exists(outputPath, error) && fs::equivalent(inputPath, outputPath, error))
        throw ToolError(render::kExitUsage, "the output '" + outputPath + "' is the input file; choose another output name");
    const render::OutputFormat format = render::outputFormatFor(outputPath, options.sampleFormat);
    const std::size_t block = static_cast<std::size_t>(options.blockSize);
    render::InputFile input(inputPath, block);

    Host host(options.module, options.blockSize);
    auto instance = host.create(options.type, input.sampleRate());
    prepare(host, *instance, options);
    // Start from silence with every setting settled, as a host does before playback: a
    // sample-rate change suspends and resumes the effect.
    instance->setSampleRate(input.sampleRate());
    const HPTypeInfo type = host.type(options.type).info;
    const bool monoIn = type.inputChannels < 2;
    const bool monoOut = type.outputChannels < 2;

    render::OutputFile output(outputPath, format, static_cast<int>(input.sampleRate()), monoOut ? 1 : 2, block);
    render::registerTemporaryFile(output.temporaryPath().c_str());
    render::MeteringSink meter(output, monoOut);
    render::ProgressBar progress(!options.quiet, input.lengthFrames(), input.sampleRate());
    std::vector<float> left(block), right(block), outLeft(block), outRight(block);
    const float* inputs[] = {left.data(), monoIn ? left.data() : right.data()};
    float* outputs[] = {outLeft.data(), monoOut ? outLeft.data() : outRight.data()};
    int64_t done = 0;
    const auto started = std::chrono::steady_clock::now();
    auto pass = [&](std::size_t frames) {
        int32_t produced = 0;
        if (instance->render(inputs, outputs, nullptr, static_cast<int32_t>(frames), {}, &produced) != 0)
            throw ToolError(render::kExitRenderFailed, "the instance refused to render");
        meter.write(outLeft.data(), monoOut ? outLeft.data() : outRight.data(), static_cast<std::size_t>(produced));
    };
    for (;;) {
        const std::size_t frames = input.read(left.data(), right.data(), block);
        if (frames == 0) break;
        if (monoIn)  // a stereo file into a mono type: both channels count
            for (std::size_t k = 0; k < frames; ++k) left[k] = 0.5f * (left[k] + right[k]);
        pass(frames);
        done += static_cast<int64_t>(frames);
        progress.update(done, 0);
        if (render::interruptingSignal() != 0) {
            output.discard();
            render::dieOfInterruption();
        }
    }
    // An offline instance holds back its latency: silence brings the last samples out.
    if (type.kind == kHPKindOffline)
        for (int32_t latency = instance->latency(); latency > 0;) {
            const std::size_t frames = std::min<std::size_t>(block, static_cast<std::size_t>(latency));
            std::fill(left.begin(), left.end(), 0.0f);
            std::fill(right.begin(), right.end(), 0.0f);
            pass(frames);
            latency -= static_cast<int32_t>(frames);
        }
    progress.finish();
    output.commit();
    render::registerTemporaryFile(nullptr);
    if (options.saveState) writeStateFile(*options.saveState, instance->saveState());
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;

    render::RenderSummary summary;
    summary.outputPath = outputPath;
    summary.formatName = format.name;
    summary.channels = monoOut ? 1 : 2;
    summary.sampleRate = input.sampleRate();
    summary.frames = meter.frames();
    summary.peak = meter.peak();
    summary.rms = meter.rms();
    summary.wallSeconds = elapsed.count();
    if (!options.quiet) std::cout << render::formatSummary(summary) << std::endl;
    return render::kExitOk;
}

int view(const HostOptions& options) {
    Host host(options.module, options.blockSize);
    auto instance = host.create(options.type, 44100.0);
    showView(*instance, options.viewMode, "ruvane-host  \u00b7  " + options.type + "  \u00b7  view mode 1", options.shot);
    if (options.shot && !options.quiet) std::cout << "picture of the plug-in window: " << *options.shot << std::endl;
    return render::kExitOk;
}

int run(const std::vector<std::string>& args) {
    const HostOptions options = parseHostOptions(args);
    if (options.help) {
        const bool commandGiven = !args.empty() && args[0].rfind("-", 0) != 0;
        std::cout << hostHelpText(options.command, commandGiven);
        return render::kExitOk;
    }
    switch (options.command) {
        case Command::Types: return listTypes(options);
        case Command::Controls: return listControls(options);
        case Command::Render: return renderFile(options);
        case Command::View: return view(options);
    }
    return render::kExitUsage;
}

}  // namespace
}  // namespace ruvane::host

int main(int argc, char** argv) {
    using namespace ruvane;
    render::installInterruptionHandlers();
    int exitCode = render::kExitOk;
    try {
        exitCode = host::run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const render::ToolError& error) {
        std::fprintf(stderr, "ruvane-host: %s\n", error.what());
        if (render::interruptingSignal() != 0) render::dieOfInterruption();
        exitCode = error.code();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ruvane-host: %s\n", error.what());
        exitCode = render::kExitRenderFailed;
    }
    // The instance, its editor and the module are gone by now; emptying the font caches
    // that cairo and fontconfig keep for the process lets a leak checker see only real
    // leaks.
    cairo_debug_reset_static_data();
    FcFini();
    return exitCode;
}
