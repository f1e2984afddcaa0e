#include "tools/ruvane-render/listing.h"

#include <cstdio>
#include <string>

namespace ruvane::render {

void listPresets(EffectSetup& setup, std::ostream& out) {
    const std::vector<std::string> names = setup.presetNames();
    const int current = setup.currentPreset();
    for (size_t i = 0; i < names.size(); ++i) {
        char index[32];
        std::snprintf(index, sizeof index, "%3d", static_cast<int>(i));
        out << (static_cast<int>(i) == current ? '*' : ' ') << index << "  " << names[i] << '\n';
    }
}

void listParameters(EffectSetup& setup, vsthost::PluginInstance& plugin, std::ostream& out) {
    const bool withControllers = setup.isRuvane();
    char line[256];
    std::snprintf(line, sizeof line, "%3s  %-16s %-9s %-22s", "#", "name", "value", "shown");
    std::string header = std::string(line) + (withControllers ? "  MIDI CC" : "");
    while (!header.empty() && header.back() == ' ') header.pop_back();
    out << header << '\n';
    for (int i = 0; i < setup.soundParameterCount(); ++i) {
        std::string shown = plugin.parameterDisplay(i);
        const std::string label = plugin.parameterLabel(i);
        if (!label.empty()) shown += " " + label;
        std::snprintf(line, sizeof line, "%3d  %-16s %-9.6f %-22s", i, plugin.parameterName(i).c_str(),
                      static_cast<double>(plugin.getParameter(i)), shown.c_str());
        std::string text = line;
        if (withControllers) {
            const int controller = setup.controllerOf(i);
            text += controller >= 0 ? "  " + std::to_string(controller) : "  -";
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out << text << '\n';
    }
}

}  // namespace ruvane::render
