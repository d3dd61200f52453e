// The simulated kit and its services.
#pragma once

#include <atomic>
#include <memory>

#include "engine.h"
#include "sim_message_channel.h"
#include "sim_rooms.h"
#include "sdk/parlo.h"

namespace parlo_sim {

class SimAuth final : public parlo::IQVAuthService {
 public:
  void reservedSlot0() override {}
  void login(const std::string& account, const std::string& token, parlo::QVCompletion done) override;
  void loginByDynamicToken(const std::string& account, const std::string& token, const std::string& authType,
                           parlo::QVCompletion done) override;
  void logout(parlo::QVCompletion done) override;
  bool isLoggedIn() override;
  void addAuthListener(parlo::IQVAuthListener* listener) override;
  void removeAuthListener(parlo::IQVAuthListener* listener) override;

 private:
  std::atomic<bool> logged_in_{false};
};

class SimVorn final : public parlo::IQVVornService {
 public:
  void reservedSlot0() override {}
  void setVornDownloadFilePath(const std::string& path) override;
  void uploadResource(const std::string& localPath, parlo::QVResultCompletion<std::string> done) override;
};

class SimParlo final : public parlo::IQVParlo {
 public:
  ~SimParlo() override = default;

  void reservedSlot0() override {}
  void initialize(const parlo::ParloOptions& options, parlo::QVCompletion done) override;
  void release() override;
  bool isInitialized() override;
  void getSdkVersions(parlo::SdkVersions& versions) override;
  int32_t switchLanguage(int32_t language) override;
  parlo::IQVAuthService* getAuthService() override;
  parlo::IQVRoomService* getRoomService() override;
  parlo::IQVMessageChannelService* getMessageChannelService() override;
  parlo::IQVVornService* getVornService() override;
  void uploadLog(parlo::QVResultCompletion<std::string> done) override;
  void getCurrentLogPath(std::string& path) override;
  void addGlobalEventListener(parlo::IQVGlobalEventListener* listener) override;
  void removeGlobalEventListener(parlo::IQVGlobalEventListener* listener) override;
  void reservedSlot14() override {}
  void getDeviceId(std::string& deviceId) override;
  int32_t getNetworkType() override;

 private:
  std::atomic<bool> initialized_{false};
  std::string log_path_;
  SimAuth auth_;
  SimVorn vorn_;
  SimRoomService rooms_;
  SimMessageChannel channel_;
};

}  // namespace parlo_sim
