#include "effect/plugin/midi_controller_map.h"

#include <cmath>
#include <iterator>

namespace ruvane {

namespace {

constexpr float kValueSteps = 129.0f;
constexpr int kNoneCode = 128;

constexpr auto relaxed = std::memory_order_relaxed;

// The assignment a new instance starts with: runs of parameters onto runs of controllers.
struct DefaultRun {
    int firstParameter;
    int lastParameter;
    int firstController;
};
constexpr DefaultRun kDefaultRuns[] = {
    {kMainIn, kMainIn, 20},        {kMainOut, kMainOut, 22},   {kMainMix, kMainMix, 21},
    {kDlyLFb, kModLfoOffset, 23},  {kModSource, kModSource, 41}, {kFltMod, kFltMode, 44},
    {kDlyLMode, kDlyRRange, 56},   {kModLfoMode, kDlyRTime, 75}, {kRvbMode, kFltOn, 85},
    {kDrvOn, kModSens, 102},
};

constexpr const char* kControllerNames[] = {
    "bank sel MSB", "modulation",   "breath",       "control 3",    "foot",         "portamento",
    "data ent MSB", "main volume",  "balance",      "control 9",    "pan",          "expression",
    "control 12",   "control 13",   "control 14",   "control 15",   "gen purp 1",   "gen purp 2",
    "gen purp 3",   "gen purp 4",   "control 20",   "control 21",   "control 22",   "control 23",
    "control 24",   "control 25",   "control 26",   "control 27",   "control 28",   "control 29",
    "control 30",   "control 31",   "bank sel LSB", "modul. LSB",   "breath LSB",   "control 35",
    "foot LSB",     "porta LSB",    "data ent LSB", "main vol LSB", "balance LSB",  "control 41",
    "pan LSB",      "express. LSB", "control 44",   "control 45",   "control 46",   "control 47",
    "control 48",   "control 49",   "control 50",   "control 51",   "control 52",   "control 53",
    "control 54",   "control 55",   "control 56",   "control 57",   "control 58",   "control 59",
    "control 60",   "control 61",   "control 62",   "control 63",   "sustain",      "porta on/off",
    "sostenuto",    "soft pedal",   "legato FS",    "hold 2",       "sound var",    "harmonic",
    "release time", "attack time",  "brightness",   "control 75",   "control 76",   "control 77",
    "control 78",   "control 79",   "gen purp 5",   "gen purp 6",   "gen purp 7",   "gen purp 8",
    "porta ctrl",   "control 85",   "control 86",   "control 87",   "control 88",   "control 89",
    "control 90",   "ext FX",       "tremolo",      "chorus",       "detune",       "phaser",
    "data incr",    "data decr",    "NRPN LSB",     "NRPN MSB",     "RPN LSB",      "RPN MSB",
    "control 102",  "control 103",  "control 104",  "control 105",  "control 106",  "control 107",
    "control 108",  "control 109",  "control 110",  "control 111",  "control 112",  "control 113",
    "control 114",  "control 115",  "control 116",  "control 117",  "control 118",  "control 119",
    "all snd off",  "reset ctrl",   "local ctrl",   "all note off", "omni off",     "omni on",
    "mono mode on", "poly mode on", "not assigned", "",
};
static_assert(std::size(kControllerNames) == MidiControllerMap::kNumNames);

}  // namespace

MidiControllerMap::MidiControllerMap() { clearAll(); }

void MidiControllerMap::clearAll() {
    for (auto& controller : controllerOfParameter_) controller.store(kNone, relaxed);
    for (auto& parameter : parameterOfController_) parameter.store(kNone, relaxed);
    for (auto& value : values_) value.store(encode(kNone), relaxed);
}

void MidiControllerMap::setDefaults() {
    clearAll();
    for (const DefaultRun& run : kDefaultRuns)
        for (int parameter = run.firstParameter; parameter <= run.lastParameter; ++parameter)
            assign(parameter, run.firstController + parameter - run.firstParameter);
}

float MidiControllerMap::encode(int controller) {
    const int code = isController(controller) ? controller : kNoneCode;
    return (static_cast<float>(code) + 0.5f) / kValueSteps;
}

int MidiControllerMap::decode(float value) {
    // The product is rounded to a float first, as every writer of these values computed it.
    const float scaled = std::floor(kValueSteps * value);
    if (!(scaled >= 0.0f)) return kNone;  // negative or NaN: nothing a controller could be
    return scaled >= static_cast<float>(kNoneCode) ? kNone : static_cast<int>(scaled);
}

void MidiControllerMap::assign(int parameter, int controller) {
    if (!isParameter(parameter)) return;
    // Free the parameter's old controller.
    const int previous = controllerOfParameter_[parameter].load(relaxed);
    if (isController(previous)) parameterOfController_[previous].store(kNone, relaxed);
    if (!isController(controller)) {
        controllerOfParameter_[parameter].store(kNone, relaxed);
        return;
    }
    // Take the controller from the parameter it drove before.
    const int other = parameterOfController_[controller].load(relaxed);
    if (isParameter(other) && other != parameter) {
        controllerOfParameter_[other].store(kNone, relaxed);
        values_[other].store(encode(kNone), relaxed);
    }
    controllerOfParameter_[parameter].store(controller, relaxed);
    parameterOfController_[controller].store(parameter, relaxed);
    values_[parameter].store(encode(controller), relaxed);
}

void MidiControllerMap::setValue(int parameter, float value) {
    if (!isParameter(parameter)) return;
    assign(parameter, decode(value));
    values_[parameter].store(value, relaxed);
}

void MidiControllerMap::clearParameter(int parameter) {
    if (!isParameter(parameter)) return;
    assign(parameter, kNone);
    values_[parameter].store(encode(kNone), relaxed);
}

void MidiControllerMap::clearController(int controller) {
    if (!isController(controller)) return;
    clearParameter(parameterOf(controller));
}

int MidiControllerMap::controllerOf(int parameter) const {
    return isParameter(parameter) ? controllerOfParameter_[parameter].load(relaxed) : kNone;
}

int MidiControllerMap::parameterOf(int controller) const {
    return isController(controller) ? parameterOfController_[controller].load(relaxed) : kNone;
}

float MidiControllerMap::value(int parameter) const {
    return isParameter(parameter) ? values_[parameter].load(relaxed) : 0.0f;
}

const char* MidiControllerMap::controllerName(int index) {
    return index >= 0 && index < kNumNames ? kControllerNames[index] : "";
}

}  // namespace ruvane
