// The SDK's in-app invitation controller of a joined room: calls to users of the
// application, ringing in their own app.
#pragma once

#include <list>
#include <string>

#include "sdk/parlo_types.h"

namespace parlo {

class IQVRoomAppInviteController {
 public:
  virtual void callByUserUuids(const std::list<std::string>& userUuids, QVCompletion completion) = 0;
  virtual void callByUserUuid(const std::string& userUuid, QVCompletion completion) = 0;
  virtual void removeCall(const std::string& userUuid, QVCompletion completion) = 0;
  virtual void cancelCall(const std::string& userUuid, QVCompletion completion) = 0;

 protected:
  virtual ~IQVRoomAppInviteController() = default;
};

}  // namespace parlo
