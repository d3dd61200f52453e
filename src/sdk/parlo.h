// The kit interface IQVParlo, its services, and the two entry points of the SDK
// library. Slots are declared in the SDK's order; unused slots stay as placeholders
// so the vtable layout matches the library.
#pragma once

#include "sdk/parlo_options.h"
#include "sdk/parlo_types.h"
#include "sdk/auth.h"
#include "sdk/vorn.h"
#include "sdk/room_service.h"
#include "sdk/message_channel.h"
#include "sdk/global_listener.h"

namespace parlo {

class IQVParlo {
 public:
  virtual void reservedSlot0() = 0;
  virtual void initialize(const ParloOptions& options, QVCompletion completion) = 0;
  virtual void release() = 0;
  virtual bool isInitialized() = 0;
  virtual void getSdkVersions(SdkVersions& versions) = 0;
  virtual int32_t switchLanguage(int32_t language) = 0;
  virtual IQVAuthService* getAuthService() = 0;
  virtual IQVRoomService* getRoomService() = 0;
  virtual IQVMessageChannelService* getMessageChannelService() = 0;
  virtual IQVVornService* getVornService() = 0;
  virtual void uploadLog(QVResultCompletion<std::string> completion) = 0;
  virtual void getCurrentLogPath(std::string& path) = 0;
  virtual void addGlobalEventListener(IQVGlobalEventListener* listener) = 0;
  virtual void removeGlobalEventListener(IQVGlobalEventListener* listener) = 0;
  virtual void reservedSlot14() = 0;
  virtual void getDeviceId(std::string& deviceId) = 0;
  virtual int32_t getNetworkType() = 0;

 protected:
  virtual ~IQVParlo() = default;
};

}  // namespace parlo

extern "C" {
// The kit, the same object on every call until destroyQVParlo; may be null.
PARLO_API parlo::IQVParlo* createQVParlo();
PARLO_API void destroyQVParlo();
}
