// The control commands through which script reaches the RTC controllers of joined
// rooms (sim.rtc.* in the control module): their state, and what their machine has.
#include <mutex>
#include <string>

#include "engine.h"
#include "room_registry.h"
#include "sim_rtc.h"

namespace parlo_sim {
namespace {

const bool commands_added =
    add_command("rtc.get",
                [](const json& args) -> json {
                  std::lock_guard<std::mutex> lock(room_registry().mutex);
                  auto& joined = room_registry().joined;
                  auto found = joined.find(args.at("room").get<std::string>());
                  return found == joined.end() ? json() : rtc_controller_of(*found->second).state();
                }) &&
    add_command("rtc.update", [](const json& args) {
      return change_room(args, [&](SimRoom& room) { return rtc_controller_of(room).update(args.at("changes")); });
    });

}  // namespace
}  // namespace parlo_sim
