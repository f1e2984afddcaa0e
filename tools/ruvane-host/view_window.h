// The host's plug-in window on X11: a top-level window the instance's view opens in,
// idled until the user closes it, or photographed into a PNG.
#pragma once

#include <optional>
#include <string>

#include "hostplatform/api/host_platform.h"

namespace ruvane::host {

// label names the instance in the host's strip below the view (view mode 1). Throws
// ToolError (kExitRenderFailed) without an X display or when the picture cannot be written.
void showView(hostplatform::PlugInInstance& instance, int viewMode, const std::string& label,
              const std::optional<std::string>& shotPath);

}  // namespace ruvane::host
