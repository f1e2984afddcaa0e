// Which MIDI controller drives which sound parameter. The two tables are kept each
// other's inverse: a controller drives at most one parameter and a parameter has at
// most one controller. Each assignment also shows as a normalised value (parameters
// 48..95): controller c is (c + 0.5) / 129, "none" is 128.5 / 129.
// Entries are atomics: the audio thread routes MIDI while the editor thread learns.
#pragma once

#include <array>
#include <atomic>

#include "effect/engine/parameters.h"

namespace ruvane {

class MidiControllerMap {
public:
    static constexpr int kNone = 999;
    static constexpr int kNumControllers = 128;
    // Controllers from here on are channel-mode messages, never learned.
    static constexpr int kFirstChannelModeController = 120;
    // Controller-name entries beyond the controllers: "not assigned" and an empty text.
    static constexpr int kNotAssignedName = 128;
    static constexpr int kEmptyName = 129;
    static constexpr int kNumNames = 130;

    MidiControllerMap();

    // The map every new instance starts with.
    void setDefaults();

    // Makes controller drive parameter, freeing whatever either had before.
    void assign(int parameter, int controller);
    // The host's or a file's value for parameter 48 + parameter: assigns the
    // controller it encodes (or none) and keeps the value as given.
    void setValue(int parameter, float value);
    void clearParameter(int parameter);
    void clearController(int controller);

    int controllerOf(int parameter) const;  // kNone when none or out of range
    int parameterOf(int controller) const;  // kNone when none or out of range
    float value(int parameter) const;       // the normalised assignment value

    static float encode(int controller);  // kNone encodes as "not assigned"
    static int decode(float value);       // 0..127, or kNone
    // Names of controllers 0..127, then "not assigned" and the empty text.
    static const char* controllerName(int index);

private:
    void clearAll();
    static bool isParameter(int parameter) { return parameter >= 0 && parameter < kNumSoundParameters; }
    static bool isController(int controller) { return controller >= 0 && controller < kNumControllers; }

    std::array<std::atomic<int>, kNumSoundParameters> controllerOfParameter_;
    std::array<std::atomic<int>, kNumControllers> parameterOfController_;
    std::array<std::atomic<float>, kNumSoundParameters> values_;
};

}  // namespace ruvane
