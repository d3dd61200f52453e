#include "events.h"

namespace parlo_sim {

Events& Events::get() {
  static auto* events = new Events();
  return *events;
}

KindBase* Events::find(const std::string& kind) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = kinds_.find(kind);
  if (found == kinds_.end()) throw std::invalid_argument("no listener kind " + kind);
  return found->second.get();
}

json Events::emit(const json& request) {
  KindBase* kind = find(request.at("kind").get<std::string>());
  std::string event = request.at("event").get<std::string>();
  if (!kind->knows(event)) throw std::invalid_argument("no event " + event + " for listeners of kind " + request.at("kind").get<std::string>());
  json args = request.value("args", json::array());
  // Arguments that do not read are refused here, where script sees why, rather than
  // lost on the SDK thread.
  try {
    kind->check(event, args);
  } catch (const std::exception& e) {
    throw std::invalid_argument(event + ": " + e.what());
  }
  std::string scope = request.value("room", "");
  std::string mode = request.value("mode", "async");
  if (mode != "async" && mode != "sync") throw std::invalid_argument("mode must be 'async' or 'sync'");
  const int64_t repeat = request.value("repeat", int64_t{1});
  if (repeat < 1 || repeat > 1000000) throw std::invalid_argument("repeat must be 1 to 1000000");
  const int delay_ms = delay_ms_of(request);
  size_t reached = kind->count(scope);
  if (mode == "sync") {
    kind->raise(event, args, scope, repeat);
    return reached;
  }
  Engine::get().post(
      [kind, event, args, scope, repeat] {
        size_t calls = 0;
        try {
          calls = kind->raise(event, args, scope, repeat);
          Engine::get().count("eventsRaised", repeat);
          Engine::get().count("listenerCalls", static_cast<int64_t>(calls));
        } catch (const std::exception&) {
          Engine::get().count("eventsFailed");
        }
      },
      delay_ms);
  return reached;
}

json Events::listeners(const json& request) {
  return find(request.at("kind").get<std::string>())->count(request.value("room", ""));
}

json Events::names() {
  std::lock_guard<std::mutex> lock(mutex_);
  json all = json::object();
  for (const auto& kind : kinds_) all[kind.first] = kind.second->names();
  return all;
}

namespace {
const bool registered = add_command("emit", [](const json& args) { return Events::get().emit(args); }) &&
                        add_command("listeners", [](const json& args) { return Events::get().listeners(args); }) &&
                        add_command("events", [](const json&) { return Events::get().names(); });
}  // namespace

}  // namespace parlo_sim
