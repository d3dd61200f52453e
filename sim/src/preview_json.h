// The preview room controller's own record as JSON; the records it shares with a
// room's controller are declared with those (rtc_json.h).
#pragma once

#include <nlohmann/json.hpp>

#include "rtc_json.h"
#include "sdk/preview_rtc_controller.h"

namespace parlo {

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(VirtualBackgroundSource, backgroundSourceType, color, source)

}  // namespace parlo
