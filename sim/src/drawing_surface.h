// The drawing surfaces of a joined room (the whiteboard and the annotation): the
// view the controller was handed, through which the SDK pushes strings to the
// drawing page, and the page's login and authentication handshake, which completes
// only as script relays the page's steps:
//
//   login()   the SDK pushes onLogin with what the page logs in with
//   auth()    once logged in: the SDK pushes onAuth with the page's credentials and
//             the handshake is complete ("ready"); then onDrawEnableChanged with the
//             drawing permission. Before login: onAuth reports code 401, and the
//             handshake stays where it was
//   logout()  the SDK pushes onLogout; the handshake starts over
//
// A surface calls its view only on the SDK thread, under its own lock, and only
// while that view is still the one the controller was handed: once a setup or reset
// call has returned, the view it replaced is never called again. Every pending call
// keeps the controller alive, so no other controller can be made at its address
// while its view may still be called.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "engine.h"
#include "events.h"

namespace parlo_sim {

// The view's operations.
enum class ViewOp { Auth, Logout, DrawEnable, ToolConfig, Login };

// One string for the page.
struct Push {
  ViewOp op;
  std::string text;
};
using Pushes = std::vector<Push>;

// The operation of the view's event named `event` ("onLogin"); throws for another name.
ViewOp view_op(const std::string& event);

// What the SDK knows of the page: its handshake and its drawing permission. Its
// owner holds the lock.
class Handshake {
 public:
  enum class Stage { Idle, LoggedIn, Ready };

  Pushes login(const std::string& room, const std::string& user, const std::string& url);
  Pushes auth();
  Pushes logout();
  Pushes set_draw(bool enable);
  // A new page: the handshake starts over; a reset also drops the drawing permission.
  void restart(bool reset);

  Stage stage() const { return stage_; }
  json state() const;

 private:
  Stage stage_ = Stage::Idle;
  bool draw_ = false;
  std::string room_;
  int64_t logins_ = 0;
};

// A controller's surface. `V` is the SDK's view interface of that controller.
template <class V>
class Surface {
 public:
  // `kind` names its views in the journal ("whiteboardView").
  explicit Surface(const char* kind) : kind_(kind) {}

  // The controller that owns this surface: pending calls into the view keep it alive.
  void owned_by(std::weak_ptr<void> owner) { owner_ = std::move(owner); }

  // The view of a setup or reset call; the one it replaces is not called again once
  // this returns.
  void attach(V* view, bool reset) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (view_ != nullptr && view_ != view) Engine::get().forget(view_);
    view_ = view;
    ++generation_;
    handshake_.restart(reset);
  }

  // The journal's name of a view handed to this surface.
  std::string id_of(V* view) const { return Engine::get().id_of(view, kind_); }

  // Runs `step` on the handshake and pushes what it answers to the view; -1 when
  // there is no view to talk to.
  int32_t relay(const std::function<Pushes(Handshake&)>& step) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (view_ == nullptr) return -1;
    deliver(step(handshake_));
    return 0;
  }

  // Pushes `text` to the view, later, on the SDK thread; false when there is no view.
  bool push(ViewOp op, std::string text, int delay_ms = 0) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (view_ == nullptr) return false;
    deliver({Push{op, std::move(text)}}, delay_ms);
    return true;
  }

  // Calls `fn` with the view now, under the lock (sim.emit); answers whether there was one.
  size_t with_view(const std::function<void(V*)>& fn) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (view_ == nullptr) return 0;
    fn(view_);
    return 1;
  }

  json state() const {
    std::lock_guard<std::mutex> lock(mutex_);
    json out = handshake_.state();
    out["view"] = view_ == nullptr ? json() : json(Engine::get().id_of(view_, kind_));
    return out;
  }

 private:
  static void call(V* view, const Push& push) {
    switch (push.op) {
      case ViewOp::Auth: view->onAuth(push.text); break;
      case ViewOp::Logout: view->onLogout(push.text); break;
      case ViewOp::DrawEnable: view->onDrawEnableChanged(push.text); break;
      case ViewOp::ToolConfig: view->onToolConfigChanged(push.text); break;
      case ViewOp::Login: view->onLogin(push.text); break;
    }
  }

  // The lock is held. The pushes reach the view on the SDK thread if it is still the
  // one they were meant for.
  void deliver(Pushes pushes, int delay_ms = 0) {
    if (pushes.empty()) return;
    Engine::get().post(
        [this, owner = owner_, generation = generation_, pushes = std::move(pushes)] {
          auto keep = owner.lock();
          if (!keep) return;  // the room is gone, and with it the controller
          std::lock_guard<std::mutex> lock(mutex_);
          if (generation != generation_ || view_ == nullptr) return;
          for (const Push& push : pushes) call(view_, push);
        },
        delay_ms);
  }

  const char* kind_;
  std::weak_ptr<void> owner_;
  mutable std::mutex mutex_;
  V* view_ = nullptr;
  uint64_t generation_ = 0;
  Handshake handshake_;
};

// The latest controller of one kind made for each room, for script commands and
// events; a room joined again replaces it, and one that is gone is not found.
template <class T>
class PerRoom {
 public:
  void made(const std::string& room, const std::shared_ptr<T>& object) {
    std::lock_guard<std::mutex> lock(mutex_);
    objects_[room] = object;
  }
  std::shared_ptr<T> find(const std::string& room) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = objects_.find(room);
    return found == objects_.end() ? nullptr : found->second.lock();
  }
  // Throws for a room that has none.
  std::shared_ptr<T> at(const std::string& room, const char* what) const {
    auto object = find(room);
    if (!object) throw std::invalid_argument("no " + std::string(what) + " in room " + room + " (is it joined?)");
    return object;
  }

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::weak_ptr<T>> objects_;
};

// The listener kind of one sort of view ("whiteboardView"): a room has at most one
// view, the one its controller was handed last, and sim.emit reaches it there.
template <class V>
class ViewKind final : public KindBase {
 public:
  using Find = std::function<Surface<V>*(const std::string& room, std::shared_ptr<void>& keep)>;
  ViewKind(EventTable<V> table, Find find) : table_(std::move(table)), find_(std::move(find)) {}

  size_t raise(const std::string& event, const json& args, const std::string& scope, int64_t repeat = 1) override {
    auto handler = table_.find(event);
    if (handler == table_.end()) throw std::invalid_argument("no event " + event);
    PreparedEvent<V> prepared = handler->second(args);
    size_t reached = 0;
    for (int64_t i = 0; i < repeat; ++i) {
      std::shared_ptr<void> keep;
      Surface<V>* surface = find_(scope, keep);
      reached += surface == nullptr ? 0 : surface->with_view(prepared);
    }
    return reached;
  }
  bool knows(const std::string& event) const override { return table_.count(event) != 0; }
  void check(const std::string& event, const json& args) const override { (void)table_.at(event)(args); }
  std::vector<std::string> names() const override { return names_of(table_); }
  size_t count(const std::string& scope) const override {
    std::shared_ptr<void> keep;
    Surface<V>* surface = find_(scope, keep);
    return surface == nullptr ? 0 : surface->with_view([](V*) {});
  }

 private:
  EventTable<V> table_;
  Find find_;
};

}  // namespace parlo_sim
