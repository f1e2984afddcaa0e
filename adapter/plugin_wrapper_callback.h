// How effect events reach the process that owns a CPluginWrapper.
#pragma once

#include <cstdint>

class CPluginWrapperCallback {
public:
    virtual ~CPluginWrapperCallback() = default;
    // The effect asked for idle time: forwarded to the plug-in group.
    virtual void Idle() = 0;
    // The effect moved parameter index to value (0..1) itself.
    virtual void Automate(int32_t index, float value) = 0;
    // The effect asks the host to re-read every parameter.
    virtual void UpdateDisplay() = 0;
    // How the host shows the plug-in window; in mode 1 the view sits 32 pixels lower.
    virtual int32_t ViewMode() const { return 0; }
};
