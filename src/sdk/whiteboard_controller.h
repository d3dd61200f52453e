// The SDK's whiteboard controller of a joined room, and the view through which it
// talks to the drawing page that script hosts: the SDK pushes strings to the page
// through the view; script relays the page's login, logout and authentication steps
// back through the controller.
#pragma once

#include <cstdint>
#include <string>

#include "sdk/parlo_types.h"

namespace parlo {

// The SDK calls a view from its own threads, from the moment a canvas call hands it
// over until the controller is handed another view; it never deletes it.
class IQVRoomWhiteboardView {
 public:
  virtual ~IQVRoomWhiteboardView() = default;
  virtual void onAuth(const std::string& auth) = 0;
  virtual void onLogout(const std::string& logout) = 0;
  virtual void onDrawEnableChanged(const std::string& enable) = 0;
  virtual void onToolConfigChanged(const std::string& config) = 0;
  virtual void onLogin(const std::string& login) = 0;
};

class IQVRoomWhiteboardController {
 public:
  virtual std::string getWhiteboardUrl() = 0;
  // The page's steps, relayed; each answers a code.
  virtual int32_t login() = 0;
  virtual int32_t logout() = 0;
  virtual int32_t auth() = 0;
  virtual void setEnableDraw(bool enable) = 0;
  virtual void setupWhiteboardCanvas(IQVRoomWhiteboardView* view) = 0;
  virtual void resetWhiteboardCanvas(IQVRoomWhiteboardView* view) = 0;
  virtual std::string getWhiteboardSharingUserUuid() = 0;
  virtual void startWhiteboardShare(QVCompletion completion) = 0;
  virtual void stopWhiteboardShare(QVCompletion completion) = 0;
  virtual void stopMemberWhiteboardShare(const std::string& userUuid, QVCompletion completion) = 0;

 protected:
  virtual ~IQVRoomWhiteboardController() = default;
};

}  // namespace parlo
