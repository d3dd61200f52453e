// The listener kinds of the simulated SDK that more than one part of the
// simulation reaches (the frame source feeds room listeners, the rooms raise
// events on them).
#pragma once

#include "events.h"
#include "sdk/room_listener.h"
#include "sdk/rtc_stats_listener.h"

namespace parlo_sim {

// Room listeners, scoped by room UUID.
Kind<parlo::IQVRoomListener>& room_listeners();

// RTC statistics listeners, scoped by room UUID.
Kind<parlo::IQVRtcStatsListener>& rtc_stats_listeners();

}  // namespace parlo_sim
