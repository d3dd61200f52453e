// Listener registrations of the simulated SDK and the events script raises on them.
// Each listener kind (auth, global, room, ...) has a set of registered listeners,
// optionally per room, and an event table from operation name to a call of that
// operation with arguments decoded from JSON. emit() runs on the SDK thread and
// holds the kind's lock while it calls listeners, so a removal returns only once no
// call into that listener is running, as the real SDK guarantees.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine.h"

namespace parlo_sim {

// Decodes each argument with its parameter's own from_json, once; the values are
// shared by every listener and every repeat of the event (records handed out by
// shared reference are immutable snapshots, so sharing them changes nothing).
template <class... P, size_t... I>
std::shared_ptr<std::tuple<std::decay_t<P>...>> decode(const json& args, std::index_sequence<I...>) {
  return std::make_shared<std::tuple<std::decay_t<P>...>>(args.at(I).template get<std::decay_t<P>>()...);
}

// One event made ready to raise: its arguments decoded once, called on each listener.
template <class L>
using PreparedEvent = std::function<void(L* listener)>;

// Decodes an event's JSON arguments (throwing when they do not read) into the call
// that raises it. A burst of one event decodes once, however many times it is raised.
template <class L>
using EventHandler = std::function<PreparedEvent<L>(const json& args)>;

template <class L>
using EventTable = std::map<std::string, EventHandler<L>>;

// The handler of one listener operation whose parameters all come from JSON, each
// decoded by its parameter's own from_json.
template <class L, class... P>
EventHandler<L> op(void (L::*operation)(P...)) {
  return [operation](const json& args) -> PreparedEvent<L> {
    if (!args.is_array() || args.size() != sizeof...(P)) {
      throw std::invalid_argument("expected " + std::to_string(sizeof...(P)) + " arguments");
    }
    auto decoded = decode<P...>(args, std::index_sequence_for<P...>{});
    return [operation, decoded](L* listener) {
      std::apply([&](const auto&... values) { (listener->*operation)(values...); }, *decoded);
    };
  };
}

class KindBase {
 public:
  virtual ~KindBase() = default;
  // Raises `event` `repeat` times on every listener of `scope` ("" for kinds without
  // rooms); answers how many listener calls it made in all.
  virtual size_t raise(const std::string& event, const json& args, const std::string& scope, int64_t repeat = 1) = 0;
  virtual bool knows(const std::string& event) const = 0;
  // Throws when `args` do not read as the arguments of `event`.
  virtual void check(const std::string& event, const json& args) const = 0;
  virtual size_t count(const std::string& scope) const = 0;
  // The event names of the kind, in name order.
  virtual std::vector<std::string> names() const = 0;
};

template <class L>
std::vector<std::string> names_of(const EventTable<L>& table) {
  std::vector<std::string> names;
  for (const auto& entry : table) names.push_back(entry.first);
  return names;
}

template <class L>
class Kind final : public KindBase {
 public:
  explicit Kind(EventTable<L> table) : table_(std::move(table)) {}

  void add(L* listener, const std::string& scope = "") {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    listeners_[scope].insert(listener);
  }
  void remove(L* listener, const std::string& scope = "") {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    listeners_[scope].erase(listener);
  }
  // Calls `fn` on every listener of `scope` under the lock (frames, state changes).
  template <class F>
  size_t for_each(const std::string& scope, F&& fn) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto found = listeners_.find(scope);
    if (found == listeners_.end()) return 0;
    for (L* listener : found->second) fn(listener);
    return found->second.size();
  }
  size_t raise(const std::string& event, const json& args, const std::string& scope, int64_t repeat = 1) override {
    auto handler = table_.find(event);
    if (handler == table_.end()) throw std::invalid_argument("no event " + event);
    PreparedEvent<L> prepared = handler->second(args);
    size_t reached = 0;
    // The lock is taken per raise, not per burst, so a removal waits for one call at most.
    for (int64_t i = 0; i < repeat; ++i) reached += for_each(scope, prepared);
    return reached;
  }
  bool knows(const std::string& event) const override { return table_.count(event) != 0; }
  void check(const std::string& event, const json& args) const override { (void)table_.at(event)(args); }
  std::vector<std::string> names() const override { return names_of(table_); }
  size_t count(const std::string& scope) const override {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto found = listeners_.find(scope);
    return found == listeners_.end() ? 0 : found->second.size();
  }

 private:
  EventTable<L> table_;
  mutable std::recursive_mutex mutex_;
  std::map<std::string, std::set<L*>> listeners_;
};

// Every listener kind of the simulation, by name.
class Events {
 public:
  static Events& get();

  template <class L>
  Kind<L>& define(const std::string& kind, EventTable<L> table) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto created = std::make_unique<Kind<L>>(std::move(table));
    Kind<L>& ref = *created;
    kinds_[kind] = std::move(created);
    return ref;
  }

  // A kind whose listeners another part of the simulation keeps itself (the
  // drawing views, one per room, held by the room's controller).
  template <class K>
  K& install(const std::string& kind, std::unique_ptr<K> made) {
    std::lock_guard<std::mutex> lock(mutex_);
    K& ref = *made;
    kinds_[kind] = std::move(made);
    return ref;
  }

  // The control command "emit": { kind, event, args, room, mode, delayMs }.
  json emit(const json& request);
  json listeners(const json& request);
  // The control command "events": { kind: [event names] } of every kind.
  json names();

 private:
  KindBase* find(const std::string& kind);
  std::mutex mutex_;
  std::map<std::string, std::unique_ptr<KindBase>> kinds_;
};

}  // namespace parlo_sim
