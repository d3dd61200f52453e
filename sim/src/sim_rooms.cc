#include "listener_kinds.h"

namespace parlo_sim {

Kind<parlo::IQVRoomListener>& room_listeners() {
  static Kind<parlo::IQVRoomListener>& kind = Events::get().define<parlo::IQVRoomListener>("room", {});
  return kind;
}

}  // namespace parlo_sim
