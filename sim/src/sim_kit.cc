#include "sim_kit.h"

#include <atomic>
#include <mutex>

#include "events.h"
#include "json_records.h"

namespace parlo_sim {
namespace {

Engine& engine() { return Engine::get(); }

using parlo::IQVAuthListener;
using parlo::IQVGlobalEventListener;

Kind<IQVAuthListener>& auth_listeners() {
  static Kind<IQVAuthListener>& kind = Events::get().define<IQVAuthListener>("auth", {
      {"onAuthEvent", op(&IQVAuthListener::onAuthEvent)},
  });
  return kind;
}

Kind<IQVGlobalEventListener>& global_listeners() {
  static Kind<IQVGlobalEventListener>& kind = Events::get().define<IQVGlobalEventListener>("global", {
      {"onBeforeRtcEngineInitialize", op(&IQVGlobalEventListener::onBeforeRtcEngineInitialize)},
      {"onAfterRtcEngineInitialize", op(&IQVGlobalEventListener::onAfterRtcEngineInitialize)},
      {"onBeforeRtcEngineRelease", op(&IQVGlobalEventListener::onBeforeRtcEngineRelease)},
      {"onRtcEngineEvent", op(&IQVGlobalEventListener::onRtcEngineEvent)},
      {"onRtcEngineMessage", op(&IQVGlobalEventListener::onRtcEngineMessage)},
      {"onRtcEngineWarning", op(&IQVGlobalEventListener::onRtcEngineWarning)},
  });
  return kind;
}

// The kinds exist from the start, so script can ask about them before anything registers.
const bool kinds_defined = (auth_listeners(), global_listeners(), true);

// Read on every call the module makes, so without the lock; made and deleted under it.
std::mutex g_kit_mutex;
std::atomic<SimParlo*> g_kit{nullptr};

// Who is signed in: rooms make this account the local member.
std::mutex g_account_mutex;
std::string g_account;

void sign_in(const std::string& account) {
  std::lock_guard<std::mutex> lock(g_account_mutex);
  g_account = account;
}

}  // namespace

// --- kit ---

void SimParlo::initialize(const parlo::ParloOptions& options, parlo::QVCompletion done) {
  Answer answer = engine().call("initialize", json::array({options}));
  if (answer.code == 0) {
    initialized_ = true;
    log_path_ = options.logPath.empty() ? "/tmp/parlo-sim/logs" : options.logPath;
  }
  // The real SDK completes initialize inside the call, whatever else was scripted.
  done(answer.code, answer.message);
}

void SimParlo::release() {
  engine().call("release");
  initialized_ = false;
}

bool SimParlo::isInitialized() { return engine().call("isInitialized").ret_or<bool>(initialized_); }

void SimParlo::getSdkVersions(parlo::SdkVersions& versions) {
  Answer answer = engine().call("getSdkVersions");
  versions = answer.result_or<parlo::SdkVersions>({"sim-im 3.2.0", "sim-rtc 5.1.0", "sim-wb 2.0.4", "sim-parlo 1.0.0"});
}

int32_t SimParlo::switchLanguage(int32_t language) {
  return engine().call("switchLanguage", {language}).ret_or<int32_t>(0);
}

parlo::IQVAuthService* SimParlo::getAuthService() { return engine().linked("authService") ? &auth_ : nullptr; }
parlo::IQVRoomService* SimParlo::getRoomService() { return engine().linked("roomService") ? &rooms_ : nullptr; }
parlo::IQVMessageChannelService* SimParlo::getMessageChannelService() {
  return engine().linked("messageChannelService") ? &channel_ : nullptr;
}
parlo::IQVVornService* SimParlo::getVornService() { return engine().linked("vornService") ? &vorn_ : nullptr; }

void SimParlo::uploadLog(parlo::QVResultCompletion<std::string> done) {
  Answer answer = engine().call("uploadLog");
  engine().finish(answer, std::move(done), answer.result_or<std::string>("https://logs.parlo.sim/upload/sim-device"));
}

void SimParlo::getCurrentLogPath(std::string& path) {
  Answer answer = engine().call("getCurrentLogPath");
  path = answer.result_or<std::string>(log_path_);
}

void SimParlo::addGlobalEventListener(parlo::IQVGlobalEventListener* listener) {
  engine().call("addGlobalEventListener", {engine().id_of(listener, "global")});
  global_listeners().add(listener);
}

void SimParlo::removeGlobalEventListener(parlo::IQVGlobalEventListener* listener) {
  engine().call("removeGlobalEventListener", {engine().id_of(listener, "global")});
  global_listeners().remove(listener);
  engine().forget(listener);
}

void SimParlo::getDeviceId(std::string& deviceId) {
  deviceId = engine().call("getDeviceId").result_or<std::string>("sim-device-0001");
}

int32_t SimParlo::getNetworkType() { return engine().call("getNetworkType").ret_or<int32_t>(1); }

// --- auth ---

void SimAuth::login(const std::string& account, const std::string& token, parlo::QVCompletion done) {
  Answer answer = engine().call("login", {account, token});
  if (answer.code == 0) {
    logged_in_ = true;
    sign_in(account);
  }
  engine().finish(answer, std::move(done));
}

void SimAuth::loginByDynamicToken(const std::string& account, const std::string& token, const std::string& authType,
                                  parlo::QVCompletion done) {
  Answer answer = engine().call("loginByDynamicToken", {account, token, authType});
  if (answer.code == 0) {
    logged_in_ = true;
    sign_in(account);
  }
  engine().finish(answer, std::move(done));
}

void SimAuth::logout(parlo::QVCompletion done) {
  Answer answer = engine().call("logout");
  if (answer.code == 0) {
    logged_in_ = false;
    sign_in("");
  }
  engine().finish(answer, std::move(done));
}

bool SimAuth::isLoggedIn() { return engine().call("isLoggedIn").ret_or<bool>(logged_in_); }

void SimAuth::addAuthListener(parlo::IQVAuthListener* listener) {
  engine().call("addAuthListener", {engine().id_of(listener, "auth")});
  auth_listeners().add(listener);
}

void SimAuth::removeAuthListener(parlo::IQVAuthListener* listener) {
  engine().call("removeAuthListener", {engine().id_of(listener, "auth")});
  auth_listeners().remove(listener);
  engine().forget(listener);
}

std::string signed_in_account() {
  std::lock_guard<std::mutex> lock(g_account_mutex);
  return g_account;
}

// --- object storage ---

void SimVorn::setVornDownloadFilePath(const std::string& path) { engine().call("setVornDownloadFilePath", {path}); }

void SimVorn::uploadResource(const std::string& localPath, parlo::QVResultCompletion<std::string> done) {
  Answer answer = engine().call("uploadResource", {localPath});
  std::string name = localPath.substr(localPath.find_last_of('/') + 1);
  engine().finish(answer, std::move(done), answer.result_or<std::string>("https://vorn.parlo.sim/objects/" + name));
}

}  // namespace parlo_sim

// --- entry points ---

parlo::IQVParlo* createQVParlo() {
  using namespace parlo_sim;
  if (engine().links_scripted() && !engine().linked("kit")) return nullptr;
  if (SimParlo* kit = g_kit.load(std::memory_order_acquire)) return kit;
  std::lock_guard<std::mutex> lock(g_kit_mutex);
  if (g_kit.load() == nullptr) {
    g_kit.store(new SimParlo(), std::memory_order_release);
    engine().count("kitsCreated");
  }
  return g_kit.load();
}

void destroyQVParlo() {
  using namespace parlo_sim;
  engine().call("destroyQVParlo");
  engine().count("destroyCalls");
  std::lock_guard<std::mutex> lock(g_kit_mutex);
  delete g_kit.exchange(nullptr);
}
