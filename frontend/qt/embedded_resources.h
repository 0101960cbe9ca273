// The files built into the program (the text font and the help pages), reached through
// Qt's ":/" resource paths.
#pragma once

namespace krelmo::qt {

// Registers the embedded files; safe to call any number of times. Every user of a ":/" path
// calls it first, since the files live in a static library that nothing else pulls in.
void EnsureEmbeddedResources();

}  // namespace krelmo::qt
