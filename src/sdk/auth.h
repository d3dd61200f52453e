// The SDK's account service and its listener.
#pragma once

#include "sdk/parlo_types.h"

namespace parlo {

class IQVAuthListener {
 public:
  virtual ~IQVAuthListener() = default;
  virtual void onAuthEvent(int32_t event) = 0;
};

class IQVAuthService {
 public:
  virtual void reservedSlot0() = 0;
  virtual void login(const std::string& account, const std::string& token, QVCompletion completion) = 0;
  virtual void loginByDynamicToken(const std::string& account, const std::string& token,
                                   const std::string& authType, QVCompletion completion) = 0;
  virtual void logout(QVCompletion completion) = 0;
  virtual bool isLoggedIn() = 0;
  virtual void addAuthListener(IQVAuthListener* listener) = 0;
  virtual void removeAuthListener(IQVAuthListener* listener) = 0;

 protected:
  virtual ~IQVAuthService() = default;
};

}  // namespace parlo
