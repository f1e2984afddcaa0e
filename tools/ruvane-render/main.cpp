// ruvane-render: processes an audio file (or the built-in demo phrase) through the
// Ruvane plug-in, loaded as a VST 2.4 host loads it. See --help.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>

#include "tools/ruvane-render/audio_files.h"
#include "tools/ruvane-render/demo_phrase.h"
#include "tools/ruvane-render/effect_setup.h"
#include "tools/ruvane-render/exit_codes.h"
#include "tools/ruvane-render/interruption.h"
#include "tools/ruvane-render/level_meter.h"
#include "tools/ruvane-render/listing.h"
#include "tools/ruvane-render/options.h"
#include "tools/ruvane-render/plugin_loading.h"
#include "tools/ruvane-render/render_loop.h"

namespace ruvane::render {
namespace {

namespace fs = std::filesystem;

void checkOutputPath(const std::optional<std::string>& input, const std::string& output) {
    std::error_code error;
    if (fs::is_directory(output, error))
        throw ToolError(kExitUsage, "the output '" + output + "' is a folder; give a file name");
    if (!input) return;
    bool same = fs::exists(output, error) && fs::equivalent(*input, output, error);
    if (!same) {
        std::error_code inputError, outputError;
        const fs::path inputPath = fs::weakly_canonical(*input, inputError);
        const fs::path outputPath = fs::weakly_canonical(output, outputError);
        same = !inputError && !outputError && inputPath == outputPath;
    }
    if (same)
        throw ToolError(kExitUsage, "the output '" + output + "' is the input file; choose another output name");
}

void applyChanges(const RenderOptions& options, EffectSetup& setup) {
    if (options.bankFile) setup.loadBankFile(*options.bankFile);
    if (options.preset) setup.selectPreset(*options.preset);
    if (options.presetFile) setup.loadPresetFile(*options.presetFile);
    if (options.midiFile) setup.loadMidiFile(*options.midiFile);
    for (const ParameterSetting& setting : options.settings) setup.setParameter(setting.name, setting.value);
}

void warnAbout(const RenderSummary& summary, const OutputFormat& format, const RenderResult& result) {
    if (format.integerSamples && summary.peak > 1.0)
        std::fprintf(stderr,
                     "ruvane-render: warning: the output went %.1f dB over full scale and was clipped in the %s file; "
                     "lower \"Main Out\" (--set \"Main Out=0.4\") or write float (--bits float)\n",
                     toDecibels(summary.peak), format.name.c_str());
    if (result.nonFiniteSamples > 0)
        std::fprintf(stderr, "ruvane-render: warning: the plug-in produced %lld invalid samples (NaN or infinity), written as silence\n",
                     static_cast<long long>(result.nonFiniteSamples));
    if (result.tailCut)
        std::fprintf(stderr, "ruvane-render: note: the tail was still sounding after %.0f s and was faded out; "
                             "use --tail SECONDS for a longer one\n", kAutoTailCapSeconds);
}

int run(const std::vector<std::string>& args) {
    const RenderOptions options = parseOptions(args);
    if (options.help) {
        std::cout << helpText("ruvane-render");
        return kExitOk;
    }
    if (options.version) {
        std::cout << "ruvane-render " << RUVANE_VERSION << "\n";
        return kExitOk;
    }
    const bool listing = options.listPresets || options.listParameters;
    const size_t block = static_cast<size_t>(options.blockSize);

    std::string outputPath;
    OutputFormat format;
    std::unique_ptr<AudioSource> source;
    if (!listing) {
        outputPath = options.output.value_or(defaultOutputPath(options.input));
        format = outputFormatFor(outputPath, options.sampleFormat);
        checkOutputPath(options.input, outputPath);
    }
    if (options.input && !listing) {
        source = std::make_unique<InputFile>(*options.input, block);
    } else {
        source = std::make_unique<DemoPhrase>(options.demoRate, options.tempo);
    }

    const std::string pluginPath = locatePlugin(options.plugin);
    std::unique_ptr<vsthost::PluginInstance> plugin =
        loadPlugin(pluginPath, source->sampleRate(), options.blockSize, options.tempo);
    EffectSetup setup(*plugin);
    applyChanges(options, setup);
    if (listing) {
        if (options.listPresets) listPresets(setup, std::cout);
        if (options.listPresets && options.listParameters) std::cout << '\n';
        if (options.listParameters) listParameters(setup, *plugin, std::cout);
        return kExitOk;
    }
    if (interruptingSignal() != 0) dieOfInterruption();

    // Start from silence with every setting settled, as a host does before playback.
    plugin->suspend();
    plugin->resume();

    const int channels = options.mono ? 1 : 2;
    OutputFile output(outputPath, format, static_cast<int>(source->sampleRate()), channels, block);
    MeteringSink meter(output, options.mono);
    ProgressBar progress(!options.quiet, source->lengthFrames(), source->sampleRate());
    RenderSettings settings;
    settings.blockSize = options.blockSize;
    settings.tempo = options.tempo;
    settings.tailSeconds = options.tailSeconds;
    settings.tailCapSeconds = kAutoTailCapSeconds;
    settings.echoGapSeconds = setup.longestEchoGapSeconds();

    const auto started = std::chrono::steady_clock::now();
    const RenderResult result = renderThrough(*plugin, *source, meter, settings, progress);
    if (result.interrupted) {
        output.discard();
        dieOfInterruption();
    }
    output.commit();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;

    RenderSummary summary;
    summary.outputPath = outputPath;
    summary.formatName = format.name;
    summary.channels = channels;
    summary.sampleRate = source->sampleRate();
    summary.frames = meter.frames();
    summary.tailFrames = meter.frames() - result.inputFrames;
    summary.peak = meter.peak();
    summary.rms = meter.rms();
    summary.wallSeconds = elapsed.count();
    summary.tailCut = result.tailCut;
    warnAbout(summary, format, result);
    if (!options.quiet) std::cout << formatSummary(summary) << std::endl;
    return kExitOk;
}

}  // namespace
}  // namespace ruvane::render

int main(int argc, char** argv) {
    using namespace ruvane::render;
    installInterruptionHandlers();
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const ToolError& error) {
        std::fprintf(stderr, "ruvane-render: %s\n", error.what());
        if (interruptingSignal() != 0) dieOfInterruption();
        return error.code();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ruvane-render: %s\n", error.what());
        return kExitRenderFailed;
    }
}
