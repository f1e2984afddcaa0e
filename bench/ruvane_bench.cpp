// ruvane-bench: speed and memory figures for Ruvane.so, measured through the VST 2.4
// interface with our host library, as a host would run it; Dragonfly Plate Reverb and
// ZamDelay are measured the same way, in the same run, as points of comparison. Prints tables and never fails on a
// time: the machine may be busy, so every figure is the median of several runs.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "effect/engine/delay_engine.h"
#include "vst/host/plugin_host.h"

#ifndef RUVANE_PLUGIN_PATH
#define RUVANE_PLUGIN_PATH "Ruvane.so"
#endif

namespace {

using Clock = std::chrono::steady_clock;
using ruvane::vsthost::HostState;
using ruvane::vsthost::PluginInstance;

constexpr int kSignalFrames = 1 << 16;  // a multiple of every block size we use
constexpr double kRates[] = {44100.0, 96000.0, 192000.0};
constexpr int kBlocks[] = {32, 64, 512};

struct Options {
    std::string plugin = RUVANE_PLUGIN_PATH;
    std::string dragonfly;  // empty: search the usual places
    std::string zamDelay;   // empty: search the usual places
    bool compare = true;
    int reps = 11;
    double seconds = 0.5;     // audio per timed repetition
    double warmup = 0.5;      // audio before the first timed repetition
    double tailSeconds = 10;  // silence measured after loud input
    int maxInstances = 256;   // round-robin instances in the real-time capacity run
    int memoryInstances = 8;  // instances per memory measurement
    std::string only;         // one section of the report; empty: all
    bool wants(const char* section) const { return only.empty() || only == section; }
};

void printHelp(const char* program) {
    std::printf(
        "Usage: %s [options] [PLUGIN.so]\n"
        "\n"
        "Speed and memory figures for Ruvane, measured through the VST 2.4 interface.\n"
        "Input is deterministic white noise peaking at -6 dBFS; every time is the median\n"
        "of several repetitions after a warm-up.\n"
        "\n"
        "Options:\n"
        "  --plugin PATH      Ruvane.so to measure (default: %s)\n"
        "  --dragonfly PATH   Dragonfly Plate Reverb VST2 .so to compare against\n"
        "                     (default: searched in /usr/lib/lxvst, /usr/lib/vst and /usr/local)\n"
        "  --zamdelay PATH    ZamDelay VST2 .so to compare against (default: searched likewise)\n"
        "  --no-compare       skip the comparisons with Dragonfly Plate and ZamDelay\n"
        "  --reps N           timed repetitions per figure (default 11)\n"
        "  --seconds S        seconds of audio per repetition (default 0.5)\n"
        "  --tail S           seconds of silence measured after loud input (default 10)\n"
        "  --max-instances N  instances in the real-time capacity run (default 256)\n"
        "  --only SECTION     one part of the report: memory, grid, sections, capacity,\n"
        "                     tails (silence after loud input) or targets (the speed ratios)\n"
        "  --quick            fewer and shorter repetitions, for a smoke run\n"
        "  -h, --help         this text\n",
        program, RUVANE_PLUGIN_PATH);
}

// Returns false (after saying why) when the command line is not understood.
bool parseOptions(int argc, char** argv, Options& options, bool& help) {
    auto number = [&](int& i, double& out) {
        if (i + 1 >= argc) return false;
        char* end = nullptr;
        out = std::strtod(argv[++i], &end);
        return end != argv[i] && *end == '\0' && out > 0;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        double value = 0;
        if (arg == "-h" || arg == "--help") {
            help = true;
        } else if (arg == "--plugin" && i + 1 < argc) {
            options.plugin = argv[++i];
        } else if (arg == "--dragonfly" && i + 1 < argc) {
            options.dragonfly = argv[++i];
        } else if (arg == "--zamdelay" && i + 1 < argc) {
            options.zamDelay = argv[++i];
        } else if (arg == "--no-compare") {
            options.compare = false;
        } else if (arg == "--reps" && number(i, value)) {
            options.reps = static_cast<int>(value);
        } else if (arg == "--seconds" && number(i, value)) {
            options.seconds = value;
        } else if (arg == "--tail" && number(i, value)) {
            options.tailSeconds = value;
        } else if (arg == "--max-instances" && number(i, value)) {
            options.maxInstances = static_cast<int>(value);
        } else if (arg == "--only" && i + 1 < argc) {
            options.only = argv[++i];
            const char* known[] = {"memory", "grid", "sections", "capacity", "tails", "targets"};
            if (std::find(std::begin(known), std::end(known), options.only) == std::end(known)) {
                std::fprintf(stderr, "ruvane-bench: no section '%s' (memory, grid, sections, capacity, tails, targets)\n",
                             options.only.c_str());
                return false;
            }
        } else if (arg == "--quick") {
            options.reps = 5;
            options.seconds = 0.2;
            options.warmup = 0.2;
            options.tailSeconds = 3;
            options.maxInstances = 32;
        } else if (!arg.empty() && arg[0] != '-') {
            options.plugin = arg;
        } else {
            std::fprintf(stderr, "ruvane-bench: option '%s' not understood (try --help)\n", arg.c_str());
            return false;
        }
    }
    return true;
}

// Deterministic white noise in -0.5..0.5 (peaks at -6 dBFS), independent per channel,
// and pink noise of about the same level for the silent-tail figures.
struct Signal {
    std::vector<float> left, right, pinkLeft, pinkRight, silence;

    Signal()
        : left(kSignalFrames),
          right(kSignalFrames),
          pinkLeft(kSignalFrames),
          pinkRight(kSignalFrames),
          silence(kSignalFrames, 0.0f) {
        std::uint32_t state = 0x9E3779B9u;
        auto next = [&state] {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            return static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
        };
        for (int i = 0; i < kSignalFrames; ++i) {
            left[i] = next();
            right[i] = next();
        }
        // Paul Kellet's economy pink filter on the white noise.
        for (auto [white, pink] : {std::pair{&left, &pinkLeft}, std::pair{&right, &pinkRight}}) {
            float b0 = 0.0f, b1 = 0.0f, b2 = 0.0f;
            for (int i = 0; i < kSignalFrames; ++i) {
                const float w = 2.0f * (*white)[i];
                b0 = 0.99765f * b0 + w * 0.0990460f;
                b1 = 0.96300f * b1 + w * 0.2965164f;
                b2 = 0.57000f * b2 + w * 1.0526913f;
                (*pink)[i] = 0.25f * (b0 + b1 + b2 + w * 0.1848f);
            }
        }
    }
};

// Which input a Feeder plays.
enum class Input { White, Pink, Silence };

// A parameter state to measure.
struct Setting {
    const char* name;
    std::vector<std::pair<int, float>> values;  // VST parameter index, normalised value
};

const Setting kDefaultSetting{"Default", {}};
// Every section on: Vco, Mod, Flt in the feedback loop, Drv, plate reverb, feedback 0.5.
// One section at a time on top of the Default preset (which has the Vco on).
const Setting kSectionSettings[] = {
    {"+Mod", {{44, 1.0f}}},
    {"+Flt fb", {{42, 1.0f}, {23, 0.5f}}},
    {"+Drv", {{43, 1.0f}}},
    {"+Spring", {{46, 1.0f}, {38, 0.25f}}},
    {"+Plate", {{46, 1.0f}, {38, 0.75f}}},
    {"+Fb 0.5", {{3, 0.5f}, {4, 0.5f}}},
};
const Setting kAllOnSetting{"All on",
                            {{45, 1.0f}, {44, 1.0f}, {42, 1.0f}, {23, 0.5f}, {43, 1.0f},
                             {46, 1.0f}, {38, 0.75f}, {3, 0.5f}, {4, 0.5f}}};
// All on as above, and with the clock modulated too ("Vco Mod" off its centre): above,
// modulation moves only the filter and the clock runs at rate 1.
const Setting kAllOnModulatedClockSetting{"All on, Vco Mod 0.7",
                                          {{45, 1.0f}, {44, 1.0f}, {42, 1.0f}, {23, 0.5f}, {43, 1.0f},
                                           {46, 1.0f}, {38, 0.75f}, {3, 0.5f}, {4, 0.5f}, {18, 0.7f}}};
const Setting kVcoOffSetting{"Vco off", {{45, 0.0f}}};
const Setting kPlateAloneSetting{"Plate", {{45, 0.0f}, {46, 1.0f}, {38, 0.75f}}};
// A user's setting whose silent tail once cost 1.7x the playing cost for about a second
// (modulated filter in the loop, Vco with modulation, drive, plate), in the given order.
const Setting kReportedTailSetting{
    "Reported",
    {{0, 0.6f},   {1, 0.55f},  {2, 0.6f},   {5, 0.3f},  {6, 0.8f},   {9, 0.1f},   {10, 0.4f},  {11, 0.6f},
     {12, 0.5f},  {13, 0.7f},  {14, 0.5f},  {15, 0.6f}, {16, 0.5f},  {17, 0.55f}, {18, 0.7f},  {21, 0.3f},
     {22, 0.3f},  {23, 0.5f},  {37, 0.25f}, {38, 0.75f}, {40, 0.4f}, {41, 0.0f},  {42, 1.0f},  {44, 0.75f},
     {45, 0.75f}, {46, 0.75f}, {47, 0.5f},  {3, 0.5f},  {4, 0.5f},   {30, 0.0f},  {31, 0.0f},  {35, 0.1f},
     {36, 0.13f}, {39, 1.0f},  {43, 0.75f}}};

// Loads and starts one instance as a host does; null (with the reason) on failure.
std::unique_ptr<PluginInstance> openInstance(const std::string& path, double rate, int block,
                                             const Setting& setting, std::string* error) {
    HostState host;
    host.sampleRate = rate;
    host.blockSize = block;
    host.timeInfo.tempo = 120.0;
    host.timeInfo.flags = kVstTempoValid;
    auto instance = PluginInstance::load(path, error, host);
    if (!instance) return nullptr;
    AEffect* effect = instance->effect();
    if (effect->processReplacing == nullptr || effect->numInputs < 1 || effect->numOutputs < 1) {
        *error = path + ": not an effect with processReplacing";
        return nullptr;
    }
    instance->start(rate, block);
    for (const auto& [index, value] : setting.values) instance->setParameter(index, value);
    return instance;
}

// Runs instances in turn, block by block, over the shared signal.
class Feeder {
public:
    Feeder(const Signal& signal, int block) : signal_(signal), block_(block), outLeft_(block), outRight_(block) {}

    void run(const std::vector<PluginInstance*>& instances, long frames, bool silent) {
        run(instances, frames, silent ? Input::Silence : Input::White);
    }
    void run(const std::vector<PluginInstance*>& instances, long frames, Input input) {
        const std::vector<float>& leftSignal =
            input == Input::Silence ? signal_.silence : (input == Input::Pink ? signal_.pinkLeft : signal_.left);
        const std::vector<float>& rightSignal =
            input == Input::Silence ? signal_.silence : (input == Input::Pink ? signal_.pinkRight : signal_.right);
        for (long done = 0; done < frames; done += block_) {
            const float* left = leftSignal.data() + position_;
            const float* right = rightSignal.data() + position_;
            for (PluginInstance* instance : instances)
                instance->process(left, right, outLeft_.data(), outRight_.data(), block_);
            position_ = (position_ + block_) % kSignalFrames;
        }
    }

    // RMS of one instance's output over the frames, in dBFS; NaN if anything was not finite.
    double outputLevel(PluginInstance& instance, long frames, bool silent) {
        double sum = 0.0;
        long count = 0;
        bool finite = true;
        std::vector<PluginInstance*> one{&instance};
        for (long done = 0; done < frames; done += block_) {
            run(one, block_, silent);
            for (int i = 0; i < block_; ++i) {
                finite = finite && std::isfinite(outLeft_[i]) && std::isfinite(outRight_[i]);
                sum += double{outLeft_[i]} * outLeft_[i] + double{outRight_[i]} * outRight_[i];
                count += 2;
            }
        }
        if (!finite) return std::nan("");
        return sum > 0 ? 10.0 * std::log10(sum / count) : -999.0;
    }

    int block() const { return block_; }

private:
    const Signal& signal_;
    int block_;
    long position_ = 0;
    std::vector<float> outLeft_, outRight_;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

long framesFor(double seconds, double rate, int block) {
    return std::max<long>(block, std::lround(seconds * rate / block) * block);
}

// Nanoseconds per stereo frame and instance, one value per timed repetition.
std::vector<double> timeRepetitions(const std::vector<PluginInstance*>& instances, Feeder& feeder, double rate,
                                    bool silent, int reps, double seconds) {
    const long frames = framesFor(seconds, rate, feeder.block());
    std::vector<double> ns;
    for (int r = 0; r < reps; ++r) {
        const auto start = Clock::now();
        feeder.run(instances, frames, silent);
        const std::chrono::duration<double, std::nano> elapsed = Clock::now() - start;
        ns.push_back(elapsed.count() / (static_cast<double>(frames) * instances.size()));
    }
    return ns;
}

struct Speed {
    double median = 0, fastest = 0, slowest = 0;
    double outputDb = 0;
};

Speed measureSpeed(PluginInstance& instance, const Signal& signal, double rate, int block, const Options& o) {
    Feeder feeder(signal, block);
    std::vector<PluginInstance*> one{&instance};
    feeder.run(one, framesFor(o.warmup, rate, block), false);
    const auto ns = timeRepetitions(one, feeder, rate, false, o.reps, o.seconds);
    Speed s;
    s.median = median(ns);
    s.fastest = *std::min_element(ns.begin(), ns.end());
    s.slowest = *std::max_element(ns.begin(), ns.end());
    s.outputDb = feeder.outputLevel(instance, framesFor(0.1, rate, block), false);
    return s;
}

std::string levelText(double db) {
    if (std::isnan(db)) return "NOT FINITE";
    if (db < -300) return "silent";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f dBFS", db);
    return text;
}

void printSpeedHeader() {
    std::printf("  %-10s %7s %6s  %9s %9s %9s  %9s %7s  %s\n", "state", "rate", "block", "ns/frame", "fastest",
                "slowest", "RT factor", "% core", "output RMS");
}

void printSpeedRow(const char* state, double rate, int block, const Speed& s) {
    const double factor = 1e9 / rate / s.median;
    std::printf("  %-10s %7.0f %6d  %9.1f %9.1f %9.1f  %8.0fx %6.2f%%  %s\n", state, rate, block, s.median, s.fastest,
                s.slowest, factor, 100.0 / factor, levelText(s.outputDb).c_str());
}

// ---------------------------------------------------------------------------------------
// Memory

long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// Resident-memory growth per instance, measured in a child process so that earlier
// allocations of this program cannot be reused. Negative on failure.
double residentGrowthPerInstance(const std::string& path, double rate, int count) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        close(fds[0]);
        double result = -1;
        std::string error;
        Signal signal;
        const int block = 512;
        Feeder feeder(signal, block);
        // The first instance brings in the library itself; growth is counted after it.
        auto first = openInstance(path, rate, block, kDefaultSetting, &error);
        if (first) {
            feeder.run({first.get()}, block, false);
            const long before = residentBytes();
            std::vector<std::unique_ptr<PluginInstance>> more;
            std::vector<PluginInstance*> raw;
            for (int i = 0; i < count; ++i) {
                more.push_back(openInstance(path, rate, block, kDefaultSetting, &error));
                if (!more.back()) break;
                raw.push_back(more.back().get());
            }
            if (static_cast<int>(raw.size()) == count) {
                feeder.run(raw, block, false);
                result = static_cast<double>(residentBytes() - before) / count;
            }
        }
        [[maybe_unused]] const ssize_t written = write(fds[1], &result, sizeof result);
        _exit(0);
    }
    close(fds[1]);
    double result = -1;
    if (read(fds[0], &result, sizeof result) != sizeof result) result = -1;
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return result;
}

std::string megabytes(double bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f MiB", bytes / (1024.0 * 1024.0));
    return text;
}

void reportMemory(const Options& o, bool pluginLoads) {
    std::printf("\nMemory per instance\n");
    std::printf("  engine buffers: DelayEngine::bufferBytes() after resume (delay lines, reverb, meters)\n");
    std::printf("  RSS growth: resident memory added per instance, %d instances loaded through the host\n",
                o.memoryInstances);
    std::printf("  %7s  %16s  %16s\n", "rate", "engine buffers", "RSS growth");
    for (double rate : kRates) {
        ruvane::DelayEngine engine;
        engine.resume(rate, 0, ruvane::HostTime{});
        const std::size_t buffers = engine.bufferBytes();
        std::string rss = "plug-in not loaded";
        if (pluginLoads) {
            const double growth = residentGrowthPerInstance(o.plugin, rate, o.memoryInstances);
            rss = growth < 0 ? "failed" : megabytes(growth);
        }
        std::printf("  %7.0f  %16s  %16s\n", rate, megabytes(static_cast<double>(buffers)).c_str(), rss.c_str());
    }
}

// ---------------------------------------------------------------------------------------
// Ruvane

bool reportSpeedGrid(const Options& o, const Signal& signal) {
    std::printf("\nCost per stereo frame through the VST interface (median of %d x %.2f s of audio)\n", o.reps,
                o.seconds);
    std::printf("  Default: the plug-in as freshly loaded\n");
    std::printf("  All on:  Vco, Mod, Flt (fb), Drv and Rvb (plate) on, feedback 0.5 both lines\n");
    printSpeedHeader();
    for (const Setting* setting : {&kDefaultSetting, &kAllOnSetting}) {
        for (double rate : kRates) {
            for (int block : kBlocks) {
                std::string error;
                auto instance = openInstance(o.plugin, rate, block, *setting, &error);
                if (!instance) {
                    std::printf("  %s: %s\n", setting->name, error.c_str());
                    return false;
                }
                printSpeedRow(setting->name, rate, block, measureSpeed(*instance, signal, rate, block, o));
                std::fflush(stdout);
            }
        }
    }
    return true;
}

// A contender: a plug-in in a setting, with its times of the alternating rounds.
struct Wanted {
    const char* name;
    std::string path;  // empty: not installed
    const Setting* setting;
};
struct Contender {
    const char* name;
    std::unique_ptr<PluginInstance> instance;
    std::unique_ptr<Feeder> feeder;
    std::vector<double> ns;  // one per round
};

// Plays every contender on white noise in turn, one short repetition each per round, so
// a busy machine slows them alike. Contenders that cannot be loaded say why and stay
// without times.
std::vector<Contender> playInTurn(const std::vector<Wanted>& wanted, const Options& o, const Signal& signal,
                                  double rate, int block, int rounds, double seconds) {
    std::vector<Contender> contenders;
    for (const Wanted& w : wanted) {
        Contender c{w.name, nullptr, nullptr, {}};
        std::string error;
        if (w.path.empty()) {
            std::printf("  %s: not measured (%s)\n", w.name,
                        o.compare ? "not installed; scripts/setup bench installs it" : "--no-compare");
        } else {
            c.instance = openInstance(w.path, rate, block, *w.setting, &error);
            if (!c.instance) std::printf("  %s: not measured: %s\n", w.name, error.c_str());
        }
        if (c.instance) {
            c.feeder = std::make_unique<Feeder>(signal, block);
            c.feeder->run({c.instance.get()}, framesFor(o.warmup, rate, block), Input::White);
        }
        contenders.push_back(std::move(c));
    }
    for (int round = 0; round < rounds; ++round)
        for (Contender& c : contenders)
            if (c.instance)
                c.ns.push_back(timeRepetitions({c.instance.get()}, *c.feeder, rate, false, 1, seconds)[0]);
    return contenders;
}

// The middle half of a set of values: a round that another process interrupted gives a
// wild value either way.
std::pair<double, double> middleHalf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 4], values[values.size() * 3 / 4]};
}

// The ablation: the Default preset (Vco on) with the Vco off, as it is, and with one
// more section at a time, then everything; in alternating rounds like the targets.
void reportSections(const Options& o, const Signal& signal) {
    const double rate = 44100.0;
    const int block = 64;
    const int rounds = 5 * o.reps;
    const double seconds = o.seconds / 5.0;
    std::printf("\nCost of each section (Default preset plus one section, %.0f Hz, block %d, %d alternating rounds)\n",
                rate, block, rounds);
    std::vector<Wanted> wanted{{"Vco off", o.plugin, &kVcoOffSetting}, {"Default", o.plugin, &kDefaultSetting}};
    for (const Setting& setting : kSectionSettings) wanted.push_back({setting.name, o.plugin, &setting});
    wanted.push_back({"All on", o.plugin, &kAllOnSetting});
    const std::vector<Contender> contenders = playInTurn(wanted, o, signal, rate, block, rounds, seconds);
    if (contenders[1].ns.empty()) return;
    const double reference = median(contenders[1].ns);
    std::printf("  %-10s %9s %15s  %s\n", "state", "ns/frame", "middle half", "vs Default");
    for (const Contender& c : contenders) {
        if (c.ns.empty()) continue;
        const auto [low, high] = middleHalf(c.ns);
        std::printf("  %-10s %9.1f  %6.1f .. %5.1f  %+6.1f\n", c.name, median(c.ns), low, high,
                    median(c.ns) - reference);
    }
}

void reportCapacity(const Options& o, const Signal& signal) {
    const double rate = 48000.0;
    const int block = 64;
    const double budget = 1e9 / rate;  // ns of one core per frame
    std::printf("\nInstances of \"All on\" in real time on one core at 48000 Hz, block %d\n", block);

    std::string error;
    auto single = openInstance(o.plugin, rate, block, kAllOnSetting, &error);
    if (!single) {
        std::printf("  %s\n", error.c_str());
        return;
    }
    const Speed one = measureSpeed(*single, signal, rate, block, o);
    single.reset();
    const int estimate = static_cast<int>(budget / one.median);
    std::printf("  one instance:  %8.1f ns/frame -> %d instances (%.0f ns per frame available)\n", one.median,
                estimate, budget);

    // Many instances in turn, as a host runs them: their state no longer fits in cache.
    const int count = std::clamp(estimate, 1, o.maxInstances);
    std::vector<std::unique_ptr<PluginInstance>> instances;
    std::vector<PluginInstance*> raw;
    for (int i = 0; i < count; ++i) {
        instances.push_back(openInstance(o.plugin, rate, block, kAllOnSetting, &error));
        if (!instances.back()) {
            instances.pop_back();
            break;
        }
        raw.push_back(instances.back().get());
    }
    if (raw.empty()) {
        std::printf("  %s\n", error.c_str());
        return;
    }
    Feeder feeder(signal, block);
    feeder.run(raw, framesFor(o.warmup, rate, block), false);
    const int reps = std::max(3, o.reps / 2);
    const double perInstance = median(timeRepetitions(raw, feeder, rate, false, reps, o.seconds));
    std::printf("  %d in turn:  %8.1f ns/frame each -> %d instances\n", static_cast<int>(raw.size()), perInstance,
                static_cast<int>(budget / perInstance));
}

// Silence after loud input: two instances of a setting hear the same pink noise for 2 s;
// then one keeps playing and the other gets silence. Each half second of the silence is
// timed in short slices that alternate between the two, so a busy machine slows both
// alike; the half second's figure is the median ratio of its slices, and the worst half
// second is the figure of the whole tail (a median over the tail would hide a one-second
// spike).
void reportSilentTails(const Options& o, const Signal& signal) {
    const double rate = 44100.0;
    const int block = 64;
    const double half = 0.5;
    const int slices = 32;  // alternations per half second
    const int halves = std::max(2, static_cast<int>(std::lround(o.tailSeconds / half)));
    std::printf("\nSilence after 2 s of pink noise (%.0f Hz, block %d): cost per frame of each half second\n"
                "of silence over the cost of the same half second still playing; target: worst <= 1.10\n",
                rate, block);
    for (const Setting* setting : {&kReportedTailSetting, &kAllOnSetting}) {
        std::string error;
        auto playing = openInstance(o.plugin, rate, block, *setting, &error);
        auto tailing = playing ? openInstance(o.plugin, rate, block, *setting, &error) : nullptr;
        if (!playing || !tailing) {
            std::printf("  %s: %s\n", setting->name, error.c_str());
            return;
        }
        Feeder playFeeder(signal, block), tailFeeder(signal, block);
        const std::vector<PluginInstance*> playOne{playing.get()}, tailOne{tailing.get()};
        playFeeder.run(playOne, framesFor(2.0, rate, block), Input::Pink);
        tailFeeder.run(tailOne, framesFor(2.0, rate, block), Input::Pink);

        const long sliceFrames = framesFor(half / slices, rate, block);
        std::vector<double> ratios;
        for (int h = 0; h < halves; ++h) {
            std::vector<double> sliceRatios;
            for (int k = 0; k < slices; ++k) {
                auto start = Clock::now();
                playFeeder.run(playOne, sliceFrames, Input::Pink);
                const double playNs = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
                start = Clock::now();
                tailFeeder.run(tailOne, sliceFrames, Input::Silence);
                const double tailNs = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
                sliceRatios.push_back(tailNs / playNs);
            }
            // A slowdown of the tail shows in every slice of its half second; another
            // process taking the core shows in a few, which the median leaves out.
            ratios.push_back(median(sliceRatios));
        }
        const double level = tailFeeder.outputLevel(*tailing, framesFor(0.1, rate, block), true);
        std::printf("  %-9s per half second:", setting->name);
        for (double r : ratios) std::printf(" %.2f", r);
        const auto worst = std::max_element(ratios.begin(), ratios.end());
        std::printf("\n  %-9s worst half second: %.2f (at %.1f s), median %.2f; output at the end %s\n", setting->name,
                    *worst, half * static_cast<double>(worst - ratios.begin()), median(ratios),
                    levelText(level).c_str());
        std::fflush(stdout);
    }
}

// ---------------------------------------------------------------------------------------
// Peers: Dragonfly Plate Reverb and ZamDelay, measured by the same host in the same run

std::string findPeer(const std::string& given, const char* file) {
    if (!given.empty()) return given;
    for (const char* dir : {"/usr/lib/lxvst", "/usr/lib/vst", "/usr/local/lib/lxvst", "/usr/local/lib/vst",
                            "/usr/lib/x86_64-linux-gnu/lxvst", "/usr/lib/x86_64-linux-gnu/vst"}) {
        const std::string path = std::string(dir) + "/" + file;
        if (std::filesystem::exists(path)) return path;
    }
    return {};
}

struct Ratio {
    const char* label;
    const char* what;
    int ours, theirs;  // contender indexes
    double target;  // 0: no target of its own
};

// The speed targets as ratios of one run: all contenders play white noise in turn, one
// short repetition each per round, so a busy machine slows them alike; each round gives
// one value of each ratio, and the median is the figure.
void reportRatios(const Options& o, const Signal& signal) {
    const double rate = 44100.0;
    const int block = 64;
    // Many short rounds: each fits in one time slice more often on a shared machine.
    const int rounds = 5 * o.reps;
    const double seconds = o.seconds / 5.0;
    std::printf("\nSpeed targets (%.0f Hz, block %d, %d alternating rounds of %.2f s of audio per contender)\n", rate,
                block, rounds, seconds);
    const std::string dragonfly = o.compare ? findPeer(o.dragonfly, "DragonflyPlateReverb-vst.so") : "";
    const std::string zamDelay = o.compare ? findPeer(o.zamDelay, "ZamDelay-vst.so") : "";
    const std::vector<Contender> contenders = playInTurn(
        {
            {"Ruvane Default", o.plugin, &kDefaultSetting},
            {"Ruvane Default, Vco off", o.plugin, &kVcoOffSetting},
            {"Ruvane All on", o.plugin, &kAllOnSetting},
            {"Ruvane Plate alone", o.plugin, &kPlateAloneSetting},
            {"Dragonfly Plate", dragonfly, &kDefaultSetting},
            {"ZamDelay (mono)", zamDelay, &kDefaultSetting},
            {"Ruvane All on, Vco Mod 0.7", o.plugin, &kAllOnModulatedClockSetting},
        },
        o, signal, rate, block, rounds, seconds);
    std::printf("  %-26s %9s %9s %9s\n", "contender", "ns/frame", "fastest", "slowest");
    for (const Contender& c : contenders)
        if (!c.ns.empty())
            std::printf("  %-26s %9.1f %9.1f %9.1f\n", c.name, median(c.ns),
                        *std::min_element(c.ns.begin(), c.ns.end()), *std::max_element(c.ns.begin(), c.ns.end()));

    const Ratio ratios[] = {
        {"(a)", "Default / Default with the Vco off", 0, 1, 1.5},
        {"(b)", "All on / Dragonfly Plate", 2, 4, 1.3},
        {"(c)", "Plate alone / Dragonfly Plate", 3, 4, 1.0},
        {"(d)", "Vco off (plain stereo delay) / ZamDelay", 1, 5, 2.0},
        {"(b')", "All on, clock modulated too / Dragonfly", 6, 4, 0.0},
    };
    std::printf("  %-4s %-42s %7s  %15s  %s\n", "", "ratio", "median", "middle half", "target");
    for (const Ratio& r : ratios) {
        const Contender& ours = contenders[static_cast<std::size_t>(r.ours)];
        const Contender& theirs = contenders[static_cast<std::size_t>(r.theirs)];
        if (ours.ns.empty() || theirs.ns.empty()) {
            std::printf("  %-4s %-42s %7s\n", r.label, r.what, "n/a");
            continue;
        }
        std::vector<double> values;
        for (std::size_t k = 0; k < ours.ns.size(); ++k) values.push_back(ours.ns[k] / theirs.ns[k]);
        const auto [lowerQuarter, upperQuarter] = middleHalf(values);
        if (r.target <= 0.0) {  // shown beside a target, without one of its own
            std::printf("  %-4s %-42s %7.2f  %6.2f .. %5.2f\n", r.label, r.what, median(values), lowerQuarter,
                        upperQuarter);
            continue;
        }
        std::printf("  %-4s %-42s %7.2f  %6.2f .. %5.2f  <= %.1f%s\n", r.label, r.what, median(values), lowerQuarter,
                    upperQuarter, r.target, median(values) <= r.target ? "" : "  (not met)");
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    bool help = false;
    if (!parseOptions(argc, argv, options, help)) return 2;
    if (help) {
        printHelp(argv[0]);
        return 0;
    }

    std::printf("ruvane-bench: %s\n", options.plugin.c_str());
    const Signal signal;

    // Memory first, in child processes, before this process has allocated much.
    std::string error;
    bool pluginLoads = false;
    {
        auto probe = openInstance(options.plugin, 44100.0, 512, kDefaultSetting, &error);
        pluginLoads = probe != nullptr;
    }
    if (!pluginLoads)
        std::printf("\nRuvane could not be loaded: %s\nOnly the figures that do not need it follow.\n",
                    error.c_str());
    if (options.wants("memory")) reportMemory(options, pluginLoads);
    if (pluginLoads) {
        if (options.wants("grid") && !reportSpeedGrid(options, signal)) return 1;
        if (options.wants("sections")) reportSections(options, signal);
        if (options.wants("capacity")) reportCapacity(options, signal);
        if (options.wants("tails")) reportSilentTails(options, signal);
        if (options.wants("targets")) reportRatios(options, signal);
    }

    if (!pluginLoads) {
        std::fprintf(stderr, "\nruvane-bench: Ruvane was not measured: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
