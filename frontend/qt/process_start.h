// How long this process has run, counted from the moment the kernel started it (before the
// loader ran): the start-up figure of KRELMO_STATS.
#pragma once

namespace krelmo::qt {

// Milliseconds since the kernel started this process, or a negative number where that cannot
// be read.
double MsSinceProcessStart();

}  // namespace krelmo::qt
