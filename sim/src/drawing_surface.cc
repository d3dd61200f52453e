#include "drawing_surface.h"

#include <chrono>
#include <stdexcept>

namespace parlo_sim {
namespace {

// Codes the SDK hands the page.
constexpr int32_t kNotLoggedIn = 401;

int64_t epoch_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

ViewOp view_op(const std::string& event) {
  static const std::map<std::string, ViewOp> ops = {
      {"onAuth", ViewOp::Auth},
      {"onLogout", ViewOp::Logout},
      {"onDrawEnableChanged", ViewOp::DrawEnable},
      {"onToolConfigChanged", ViewOp::ToolConfig},
      {"onLogin", ViewOp::Login},
  };
  auto found = ops.find(event);
  if (found == ops.end()) throw std::invalid_argument("no view event " + event);
  return found->second;
}

Pushes Handshake::login(const std::string& room, const std::string& user, const std::string& url) {
  stage_ = Stage::LoggedIn;
  room_ = room;
  ++logins_;
  json info{{"step", "login"}, {"code", 0}, {"roomUuid", room}, {"userUuid", user}, {"url", url}};
  return {{ViewOp::Login, info.dump()}};
}

Pushes Handshake::auth() {
  if (stage_ == Stage::Idle) {
    return {{ViewOp::Auth, json{{"step", "auth"}, {"code", kNotLoggedIn}, {"message", "log in first"}}.dump()}};
  }
  stage_ = Stage::Ready;
  const int64_t now = epoch_ms();
  json info{{"step", "auth"},
            {"code", 0},
            {"nonce", "sim-" + std::to_string(logins_)},
            {"curTime", now},
            {"checksum", std::to_string(std::hash<std::string>{}(room_ + std::to_string(now)))}};
  return {{ViewOp::Auth, info.dump()}, {ViewOp::DrawEnable, json{{"enable", draw_}}.dump()}};
}

Pushes Handshake::logout() {
  stage_ = Stage::Idle;
  return {{ViewOp::Logout, json{{"step", "logout"}, {"code", 0}}.dump()}};
}

// The page hears of its permission once it is in; before, the SDK only remembers it.
Pushes Handshake::set_draw(bool enable) {
  draw_ = enable;
  if (stage_ != Stage::Ready) return {};
  return {{ViewOp::DrawEnable, json{{"enable", enable}}.dump()}};
}

void Handshake::restart(bool reset) {
  stage_ = Stage::Idle;
  if (reset) draw_ = false;
}

json Handshake::state() const {
  static const char* names[] = {"idle", "loggedIn", "ready"};
  return json{{"handshake", names[static_cast<int>(stage_)]}, {"drawEnabled", draw_}};
}

}  // namespace parlo_sim
