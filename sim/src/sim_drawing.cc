// The whiteboard and annotation controllers of the simulated SDK, one of each per
// joined room, and the script commands that play the drawing page's other side
// (sim.whiteboard.* and sim.annotation.*). Sharing the whiteboard is the local
// member's isSharingWhiteboard in the room, so it raises the room's events; the
// annotation can be turned off for the room, which refuses to share it then.
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>

#include "drawing_surface.h"
#include "room_operation.h"
#include "sdk/annotation_controller.h"
#include "sdk/whiteboard_controller.h"

namespace parlo_sim {
namespace {

using L = parlo::IQVRoomListener;
using WhiteboardView = parlo::IQVRoomWhiteboardView;
using AnnotationView = parlo::IQVRoomAnnotationView;

// The local member of `room`, "" when it has none or is not joined.
std::string local_user(const std::string& room) {
  std::string user;
  with_room(room, [&](SimRoom& joined) {
    user = local_uuid(joined.state());
    return RoomEvents{};
  });
  return user;
}

// What the two controllers share: the page's view and handshake, relayed steps and
// the drawing permission. Operations are journalled with the controller's interface:
// both have a login, and so does the auth service.
template <class Interface, class V>
class Drawing : public Interface {
 public:
  Drawing(std::string room, const char* interface, const char* view_kind, std::string url)
      : room_(std::move(room)), interface_(interface), url_(std::move(url)), surface_(view_kind) {}

  Surface<V>& surface() { return surface_; }

  int32_t login() override {
    Answer answer = call("login");
    std::string user = local_user(room_);
    return answer.ret_or<int32_t>(surface_.relay([&](Handshake& h) { return h.login(room_, user, url_); }));
  }
  int32_t logout() override {
    Answer answer = call("logout");
    return answer.ret_or<int32_t>(surface_.relay([](Handshake& h) { return h.logout(); }));
  }
  int32_t auth() override {
    Answer answer = call("auth");
    return answer.ret_or<int32_t>(surface_.relay([](Handshake& h) { return h.auth(); }));
  }
  void setEnableDraw(bool enable) override {
    call("setEnableDraw", json::array({enable}));
    surface_.relay([enable](Handshake& h) { return h.set_draw(enable); });
  }

  json state() const {
    json out = surface_.state();
    out["url"] = url_;
    return out;
  }

 protected:
  const std::string& room() const { return room_; }
  const char* interface() const { return interface_; }

  Answer call(const char* op, json args = json::array()) {
    return Engine::get().call(op, std::move(args), interface_);
  }
  std::string url(const char* op) {
    Answer answer = call(op);
    return answer.ret_or<std::string>(url_);
  }
  // setupXCanvas and resetXCanvas.
  void attach(const char* op, V* view, bool reset) {
    call(op, json::array({surface_.id_of(view)}));
    surface_.attach(view, reset);
  }

 private:
  const std::string room_;
  const char* interface_;
  const std::string url_;
  Surface<V> surface_;
};

class SimWhiteboard final : public Drawing<parlo::IQVRoomWhiteboardController, WhiteboardView> {
 public:
  explicit SimWhiteboard(const std::string& room)
      : Drawing(room, "IQVRoomWhiteboardController", "whiteboardView", "https://whiteboard.parlo.sim/rooms/" + room) {}

  std::string getWhiteboardUrl() override { return url("getWhiteboardUrl"); }
  void setupWhiteboardCanvas(WhiteboardView* view) override { attach("setupWhiteboardCanvas", view, false); }
  void resetWhiteboardCanvas(WhiteboardView* view) override { attach("resetWhiteboardCanvas", view, true); }

  std::string getWhiteboardSharingUserUuid() override {
    Answer answer = call("getWhiteboardSharingUserUuid");
    std::string sharer;
    with_room(room(), [&](SimRoom& room) {
      sharer = sharing_user(room.state());
      return RoomEvents{};
    });
    return answer.ret_or<std::string>(sharer);
  }

  // One member shares the whiteboard at a time.
  void startWhiteboardShare(parlo::QVCompletion done) override {
    share("startWhiteboardShare", json::array(), std::move(done), [](const json& state, Answer& answer) {
      std::string me = local_uuid(state);
      std::string sharer = sharing_user(state);
      if (!sharer.empty() && sharer != me) fail(answer, kConflict, sharer + " is sharing the whiteboard");
      return std::make_pair(me, true);
    });
  }
  void stopWhiteboardShare(parlo::QVCompletion done) override {
    share("stopWhiteboardShare", json::array(), std::move(done),
          [](const json& state, Answer&) { return std::make_pair(local_uuid(state), false); });
  }
  void stopMemberWhiteboardShare(const std::string& user, parlo::QVCompletion done) override {
    share("stopMemberWhiteboardShare", json::array({user}), std::move(done),
          [user](const json&, Answer&) { return std::make_pair(user, false); });
  }

 private:
  static std::string sharing_user(const json& state) {
    if (state.at("localMember").is_object() && state["localMember"].value("isSharingWhiteboard", false)) {
      return local_uuid(state);
    }
    for (const json& member : state.at("remoteMembers")) {
      if (member.is_object() && member.value("isSharingWhiteboard", false)) return member.value("uuid", "");
    }
    return "";
  }

  // `decide` names the member whose sharing changes, and to what, or fails the answer.
  void share(const char* op, json args, parlo::QVCompletion done,
             const std::function<std::pair<std::string, bool>(const json&, Answer&)>& decide) {
    RoomOperation operation =
        operate(room(), interface(), op, std::move(args), [&](SimRoom& room, Answer& answer) -> RoomEvents {
          json state = room.state();
          auto [user, on] = decide(state, answer);
          if (answer.code != 0) return {};
          if (member_in(state, user).is_null()) return fail(answer, kNotFound, "no member " + user + " in the room");
          return room.update_member(user, json{{"isSharingWhiteboard", on}}, local_uuid(state));
        });
    conclude(room(), operation, std::move(done));
  }
};

class SimAnnotation final : public Drawing<parlo::IQVRoomAnnotationController, AnnotationView> {
 public:
  explicit SimAnnotation(const std::string& room)
      : Drawing(room, "IQVRoomAnnotationController", "annotationView", "https://annotation.parlo.sim/rooms/" + room) {}

  std::string getAnnotationUrl() override { return url("getAnnotationUrl"); }
  void setupAnnotationCanvas(AnnotationView* view) override { attach("setupAnnotationCanvas", view, false); }
  void resetAnnotationCanvas(AnnotationView* view) override { attach("resetAnnotationCanvas", view, true); }

  bool getIsAnnotationEnabled() override {
    Answer answer = call("getIsAnnotationEnabled");
    std::lock_guard<std::mutex> lock(mutex_);
    return answer.ret_or<bool>(enabled_);
  }

  // Refused while the room has annotation turned off.
  void startAnnotationShare(parlo::QVCompletion done) override {
    Answer answer = call("startAnnotationShare");
    if (answer.code == 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      if (enabled_) {
        sharing_ = true;
      } else {
        fail(answer, kRefused, "annotation is turned off in this room");
      }
    }
    Engine::get().finish(answer, std::move(done));
  }
  void stopAnnotationShare(parlo::QVCompletion done) override {
    Answer answer = call("stopAnnotationShare");
    if (answer.code == 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      sharing_ = false;
    }
    Engine::get().finish(answer, std::move(done));
  }

  // The room turns annotation on or off: onRoomAnnotationEnableChanged when it changes.
  void set_enabled(bool enabled) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (enabled_ == enabled) return;
      enabled_ = enabled;
      if (!enabled) sharing_ = false;
    }
    raise_later(room(), {event(&L::onRoomAnnotationEnableChanged, enabled)});
  }

  json state() const {
    json out = Drawing::state();
    std::lock_guard<std::mutex> lock(mutex_);
    out["enabled"] = enabled_;
    out["sharing"] = sharing_;
    return out;
  }

 private:
  mutable std::mutex mutex_;
  bool enabled_ = true;
  bool sharing_ = false;
};

PerRoom<SimWhiteboard>& whiteboards() {
  static auto* made = new PerRoom<SimWhiteboard>();
  return *made;
}
PerRoom<SimAnnotation>& annotations() {
  static auto* made = new PerRoom<SimAnnotation>();
  return *made;
}

template <class V>
EventTable<V> view_events() {
  return {
      {"onAuth", op(&V::onAuth)},
      {"onLogout", op(&V::onLogout)},
      {"onDrawEnableChanged", op(&V::onDrawEnableChanged)},
      {"onToolConfigChanged", op(&V::onToolConfigChanged)},
      {"onLogin", op(&V::onLogin)},
  };
}

// The kind of `V`'s views: each room's is found through its controller in `made`.
template <class V, class Controller>
void define_views(const char* kind, PerRoom<Controller>& made) {
  Events::get().install(kind, std::make_unique<ViewKind<V>>(
                                  view_events<V>(), [&made](const std::string& room, std::shared_ptr<void>& keep) {
                                    auto controller = made.find(room);
                                    keep = controller;
                                    return controller ? &controller->surface() : nullptr;
                                  }));
}

// A controller for every joined room, found again by script commands.
template <class Controller, class Interface>
ControllerFactory factory(PerRoom<Controller>& made) {
  return [&made](const std::string& room) -> std::shared_ptr<void> {
    auto controller = std::make_shared<Controller>(room);
    controller->surface().owned_by(controller);
    made.made(room, controller);
    return std::shared_ptr<Interface>(controller);
  };
}

// sim.whiteboard.* and sim.annotation.*: { room, ... }.
template <class Controller>
bool add_surface_commands(const std::string& name, PerRoom<Controller>& made) {
  return add_command(name + ".get",
                     [&made, name](const json& args) {
                       return made.at(args.at("room").get<std::string>(), name.c_str())->state();
                     }) &&
         add_command(name + ".push", [&made, name](const json& args) {
           auto controller = made.at(args.at("room").get<std::string>(), name.c_str());
           ViewOp op = view_op(args.at("event").get<std::string>());
           return controller->surface().push(op, args.at("text").get<std::string>(), delay_ms_of(args));
         });
}

const bool defined =
    add_room_controller("whiteboardController", factory<SimWhiteboard, parlo::IQVRoomWhiteboardController>(whiteboards())) &&
    add_room_controller("annotationController", factory<SimAnnotation, parlo::IQVRoomAnnotationController>(annotations())) &&
    (define_views<WhiteboardView>("whiteboardView", whiteboards()), true) &&
    (define_views<AnnotationView>("annotationView", annotations()), true) &&
    add_surface_commands("whiteboard", whiteboards()) && add_surface_commands("annotation", annotations()) &&
    add_command("annotation.setEnabled", [](const json& args) {
      annotations().at(args.at("room").get<std::string>(), "annotation")->set_enabled(args.at("enabled").get<bool>());
      return json(true);
    });

}  // namespace
}  // namespace parlo_sim
