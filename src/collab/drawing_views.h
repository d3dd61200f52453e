// The views of the whiteboard and annotation canvases: what setupXCanvas and
// resetXCanvas make around a script listener function and hand to the SDK, through
// which the SDK pushes its strings to the drawing page as (eventName, string).
//
// A view is not a registration: it has no id and is not in the listener registry.
// The SDK calls a view until its controller is handed another one, so a view is
// freed once the controller it was handed to has taken its successor. A view whose
// room was left first is kept for the life of the process: the controller that had
// it may still be finishing a call into it, and nothing tells when it is done. A
// view never keeps the process alive: it belongs to the page, it is not an
// operation waiting to complete.
#pragma once

#include <napi.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/lifetime.h"
#include "core/listeners.h"

namespace brimo {

template <class View>
class ViewAdapter final : public ListenerAdapter<View> {
 public:
  ViewAdapter(Napi::Env env, Napi::Value listener) : ListenerAdapter<View>(env, listener) {
    this->let_go_of_loop(env);
  }
  void onAuth(const std::string& text) override { this->emit("onAuth", text); }
  void onLogout(const std::string& text) override { this->emit("onLogout", text); }
  void onDrawEnableChanged(const std::string& text) override { this->emit("onDrawEnableChanged", text); }
  void onToolConfigChanged(const std::string& text) override { this->emit("onToolConfigChanged", text); }
  void onLogin(const std::string& text) override { this->emit("onLogin", text); }
};

// The views of one kind, by room: the one each room's controller was handed last.
// Used on the script thread only.
template <class View>
class ViewSlots {
 public:
  static ViewSlots& get() {
    // Never freed: the SDK may hold views until the process ends.
    static auto* slots = [] {
      at_teardown([] { get().let_go(); });
      return new ViewSlots();
    }();
    return *slots;
  }

  // `controller` of `room` has taken `view` (the SDK call has returned). The
  // controller is compared, never reached: the same address is either the same
  // controller, which let go of its previous view when it took this one, or a new
  // one made after the old was destroyed.
  void handed(const std::string& room, const void* controller, std::unique_ptr<ViewAdapter<View>> view) {
    Slot& slot = slots_[room];
    if (slot.view && slot.controller != controller) kept_.push_back(std::move(slot.view));
    slot.controller = controller;
    slot.view = std::move(view);  // frees the view the controller let go of
  }

  // The environment has ended: its views queue nothing any more, but the SDK may
  // still hold them, so they are kept; a later environment starts with no slots.
  void let_go() {
    for (auto& entry : slots_) {
      if (entry.second.view) kept_.push_back(std::move(entry.second.view));
    }
    slots_.clear();
  }

 private:
  struct Slot {
    const void* controller = nullptr;
    std::unique_ptr<ViewAdapter<View>> view;
  };
  std::map<std::string, Slot> slots_;
  std::vector<std::unique_ptr<ViewAdapter<View>>> kept_;
};

// A canvas call: a new view around argument 0 handed to `op` of the controller the
// wrapper resolves. No checks; a listener that is not a function raises the
// runtime's error and the view is handed over with an empty carrier.
template <class View, class Wrapper, class Controller>
Napi::Value hand_view(const Wrapper& self, const Napi::CallbackInfo& info, void (Controller::*op)(View*)) {
  Napi::Env env = info.Env();
  Controller* controller = self.resolve(env);
  if (controller == nullptr) return env.Undefined();
  auto view = std::make_unique<ViewAdapter<View>>(env, info[0]);
  (controller->*op)(view.get());
  ViewSlots<View>::get().handed(self.room_uuid(), controller, std::move(view));
  return env.Undefined();
}

// The converter of a result the method does not hand to script.
template <class T>
Napi::Value dropped(Napi::Env env, const T&) {
  return env.Undefined();
}

}  // namespace brimo
