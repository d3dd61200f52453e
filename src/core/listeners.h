// The listener bridge. Script registers a listener function; we make an adapter
// that implements the SDK's listener interface, keep it in the process-wide
// ListenerRegistry under a numeric id and register it with the SDK. The SDK calls
// the adapter on its own threads; the adapter copies each event and queues it on its
// carrier; on the script thread the listener is called as (eventName, payload...).
#pragma once

#include <napi.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "core/carrier.h"
#include "core/errors.h"
#include "core/from_js.h"
#include "core/lifetime.h"
#include "core/to_js.h"

namespace brimo {

// Owned by a registry entry; deleting it ends the registration's carrier.
class AdapterBase {
 public:
  // Unregisters an adapter from the SDK object it was registered with, found again;
  // false when that object cannot be found.
  using Withdraw = std::function<bool(AdapterBase*)>;

  AdapterBase(Napi::Env env, Napi::Value listener, bool blocking)
      : carrier_(std::make_unique<Carrier>(make_carrier(env, listener))), life_(lifeline()), blocking_(blocking) {
    ++bridge_counts().adapters;
  }
  virtual ~AdapterBase() {
    --bridge_counts().adapters;
    // Once the environment has ended, the runtime has freed the carrier itself.
    if (*carrier_) life_->while_alive([this] { carrier_->Release(); });
  }
  AdapterBase(const AdapterBase&) = delete;
  AdapterBase& operator=(const AdapterBase&) = delete;

  // The registration stays, but no longer keeps the process alive.
  void let_go_of_loop(Napi::Env env) {
    if (*carrier_) carrier_->Unref(env);
  }

  void set_withdraw(Withdraw withdraw) { withdraw_ = std::move(withdraw); }
  bool withdraw() { return withdraw_ && withdraw_(this); }

 protected:
  // One line per forwarded SDK operation: emit("onMemberJoinRoom", members). The
  // arguments are copied here, on the SDK thread, and converted by their to_js on
  // the script thread.
  template <class... A>
  void emit(const char* event, const A&... args) const {
    auto delivery = std::make_unique<EventDelivery<std::decay_t<A>...>>(event, args...);
    if (blocking_) {
      post_blocking(*life_, *carrier_, std::move(delivery));
    } else {
      post(*life_, *carrier_, std::move(delivery));
    }
  }

 private:
  template <class... A>
  class EventDelivery final : public Delivery {
   public:
    EventDelivery(const char* event, const A&... args) : event_(event), args_(args...) {}
    void deliver(Napi::Env env, Napi::Function listener) override {
      std::apply(
          [&](const auto&... args) {
            listener.Call(env.Undefined(), {Napi::String::New(env, event_), to_js(env, args)...});
          },
          args_);
    }

   private:
    const char* event_;  // a literal of the adapter
    std::tuple<A...> args_;
  };

  // The carrier handle lives in a cell of its own: the SDK threads read it while the
  // adapter is registered, and nothing writes it after construction.
  std::unique_ptr<Carrier> carrier_;
  std::shared_ptr<Lifeline> life_;
  bool blocking_;
  Withdraw withdraw_;
};

// An adapter for one SDK listener interface. Queues without blocking unless the
// listener kind asks for blocking mode (the queue is unbounded, so neither waits).
template <class Interface>
class ListenerAdapter : public Interface, public AdapterBase {
 public:
  using SdkInterface = Interface;
  ListenerAdapter(Napi::Env env, Napi::Value listener, bool blocking = false)
      : AdapterBase(env, listener, blocking) {}
};

using IdTable = std::map<int32_t, std::unique_ptr<AdapterBase>>;
using RoomTable = std::map<std::string, IdTable>;

// Every registration of the process. Used only on the script thread, so no lock.
// Registrations script never removes live until the environment that made them
// ends; its teardown unregisters them from the SDK and empties the tables.
struct ListenerRegistry {
  static ListenerRegistry& get();

  // The teardown's step: every adapter is unregistered from the SDK object it was
  // registered with and deleted. One whose SDK object cannot be found any more is
  // kept for the life of the process, as the SDK may still call it; with its
  // environment gone it queues nothing.
  void withdraw_all();

  // One counter for all tables: an id is never given twice in a process.
  int32_t next_id = 0;

  IdTable auth;
  IdTable global;
  IdTable message_channel;
  IdTable preview_room;
  RoomTable room;
  RoomTable rtc_stats;
  RoomTable waiting_room;
};

// add: the target is the resolved SDK object (null: -1, nothing raised). A
// non-function listener raises the runtime's error and the registration goes on
// with an empty carrier.
template <class Adapter, class Target>
Napi::Value add_listener(Napi::Env env, Napi::Value listener, IdTable& table, Target* target,
                         void (Target::*sdk_add)(typename Adapter::SdkInterface*), AdapterBase::Withdraw withdraw) {
  if (target == nullptr) return Napi::Number::New(env, -1);
  auto adapter = std::make_unique<Adapter>(env, listener);
  adapter->set_withdraw(std::move(withdraw));
  Adapter* registered = adapter.get();
  int32_t id = ListenerRegistry::get().next_id++;
  table.emplace(id, std::move(adapter));
  (target->*sdk_add)(registered);
  return Napi::Number::New(env, id);
}

// remove for id-keyed tables: an unknown id raises "Index out of bounds"; a target
// that cannot be found keeps the registration so a later removal can succeed.
template <class Adapter, class Resolve, class Target>
Napi::Value remove_listener(Napi::Env env, Napi::Value id_value, IdTable& table, Resolve resolve,
                            void (Target::*sdk_remove)(typename Adapter::SdkInterface*)) {
  int32_t id = int32(id_value);
  auto entry = table.find(id);
  if (entry == table.end()) {
    raise_type_error(env, "Index out of bounds");
    return Napi::Boolean::New(env, false);
  }
  Target* target = resolve();
  if (target == nullptr) return Napi::Boolean::New(env, false);
  (target->*sdk_remove)(static_cast<Adapter*>(entry->second.get()));
  table.erase(entry);  // releases the carrier and deletes the adapter
  return Napi::Boolean::New(env, true);
}

// The room-level forms: registrations live under the room UUID, then the id.
template <class Adapter, class Target>
Napi::Value add_room_listener(Napi::Env env, Napi::Value listener, RoomTable& table, const std::string& room_uuid,
                              Target* target, void (Target::*sdk_add)(typename Adapter::SdkInterface*),
                              AdapterBase::Withdraw withdraw) {
  if (target == nullptr) return Napi::Number::New(env, -1);
  return add_listener<Adapter>(env, listener, table[room_uuid], target, sdk_add, std::move(withdraw));
}

// Removal for room-level tables resolves first and raises nothing: a missing target
// or an id unknown under this room answers false. A room that cannot be found keeps
// the registration, so a removal after a rejoin still reaches the SDK; but script has
// asked to be rid of it, and a room left before its listeners were removed must not
// keep the process alive.
template <class Adapter, class Target>
Napi::Value remove_room_listener(Napi::Env env, Napi::Value id_value, RoomTable& table, const std::string& room_uuid,
                                 Target* target, void (Target::*sdk_remove)(typename Adapter::SdkInterface*)) {
  int32_t id = int32(id_value);
  auto room = table.find(room_uuid);
  if (room == table.end()) return Napi::Boolean::New(env, false);
  auto entry = room->second.find(id);
  if (entry == room->second.end()) return Napi::Boolean::New(env, false);
  if (target == nullptr) {
    entry->second->let_go_of_loop(env);
    return Napi::Boolean::New(env, false);
  }
  (target->*sdk_remove)(static_cast<Adapter*>(entry->second.get()));
  room->second.erase(entry);
  return Napi::Boolean::New(env, true);
}

}  // namespace brimo
