// The SDK's SIP controller of a joined room: calls into the meeting through the
// telephone network or room systems, and its records.
#pragma once

#include <cstdint>
#include <list>
#include <string>

#include "sdk/parlo_types.h"

namespace parlo {

// The callee a number or room-system call made, and whether it was being called already.
struct SIPCallInfo {
  std::string userUuid;
  std::string name;
  bool isRepeatedCall = false;
};

// A room system to call out to.
struct RoomSystemDevice {
  int32_t protocol = 1;
  std::string deviceAddress;
  std::string name;
};

class IQVRoomSIPController {
 public:
  virtual void callByNumber(const std::string& number, const std::string& countryCode, const std::string& name,
                            QVResultCompletion<SIPCallInfo> completion) = 0;
  virtual void callByUserUuids(const std::list<std::string>& userUuids, QVCompletion completion) = 0;
  virtual void callByUserUuid(const std::string& userUuid, QVCompletion completion) = 0;
  virtual void removeCall(const std::string& userUuid, QVCompletion completion) = 0;
  virtual void cancelCall(const std::string& userUuid, QVCompletion completion) = 0;
  virtual void hangUpCall(const std::string& userUuid, QVCompletion completion) = 0;
  virtual void callOutRoomSystem(const RoomSystemDevice& device, QVResultCompletion<SIPCallInfo> completion) = 0;

 protected:
  virtual ~IQVRoomSIPController() = default;
};

}  // namespace parlo
