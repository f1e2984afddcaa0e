// SIGINT and SIGTERM: the first one asks the render loop to stop (it then removes its
// temporary file and the program re-raises the signal); a second one removes the
// registered temporary file at once and exits.
#pragma once

#include <csignal>

namespace ruvane::render {

void installInterruptionHandlers();
// The signal that asked us to stop, or 0.
int interruptingSignal();
// The file the handler removes on a second signal; null forgets it. The path is copied.
void registerTemporaryFile(const char* path);
// Dies by the signal that asked us to stop, with the default action, so the parent sees it.
[[noreturn]] void dieOfInterruption();

}  // namespace ruvane::render
