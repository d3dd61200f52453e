#include "core/listeners.h"

namespace brimo {

ListenerRegistry& ListenerRegistry::get() {
  static auto* registry = new ListenerRegistry();
  return *registry;
}

}  // namespace brimo
