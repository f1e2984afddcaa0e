// The framework entry table the host reaches through _PI_GetRoutineDescriptor: the
// module's group, its types and its instances' controls and audio, behind plain C calls.
#pragma once

#include "hostplatform/plugin_interface.h"

const HPFrameworkInterface* FrameworkEntry();
