// Placeholder until the X11 window lands: no window can be opened.
#include "toolkit/platform_frame.h"

namespace toolkit {

std::unique_ptr<PlatformFrame> createPlatformFrame(CFrame&, void*, double) { return nullptr; }

double desktopScaleFactor() { return 1.0; }

}  // namespace toolkit
