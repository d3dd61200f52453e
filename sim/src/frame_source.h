// Frame generators for other parts of the simulation (the preview room's camera):
// the same generators as sim.frames.start, with the same settings.
#pragma once

#include <cstdint>

#include "engine.h"

namespace parlo_sim {

// Starts a generator; answers its id. Throws on settings sim.frames.start refuses.
int64_t start_frames(const json& settings);
// Stops a generator and waits until it has; an id already stopped does nothing.
void stop_frames(int64_t id);

}  // namespace parlo_sim
