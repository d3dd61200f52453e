// The SDK's annotation controller of a joined room: annotation drawn over shared
// content, driven by a drawing page through a view, like the whiteboard.
#pragma once

#include <cstdint>
#include <string>

#include "sdk/parlo_types.h"

namespace parlo {

// The SDK calls a view from its own threads, from the moment a canvas call hands it
// over until the controller is handed another view; it never deletes it.
class IQVRoomAnnotationView {
 public:
  virtual ~IQVRoomAnnotationView() = default;
  virtual void onAuth(const std::string& auth) = 0;
  virtual void onLogout(const std::string& logout) = 0;
  virtual void onDrawEnableChanged(const std::string& enable) = 0;
  virtual void onToolConfigChanged(const std::string& config) = 0;
  virtual void onLogin(const std::string& login) = 0;
};

class IQVRoomAnnotationController {
 public:
  virtual std::string getAnnotationUrl() = 0;
  // The page's steps, relayed; each answers a code.
  virtual int32_t login() = 0;
  virtual int32_t logout() = 0;
  virtual int32_t auth() = 0;
  virtual void setEnableDraw(bool enable) = 0;
  virtual void setupAnnotationCanvas(IQVRoomAnnotationView* view) = 0;
  virtual void resetAnnotationCanvas(IQVRoomAnnotationView* view) = 0;
  virtual bool getIsAnnotationEnabled() = 0;
  virtual void startAnnotationShare(QVCompletion completion) = 0;
  virtual void stopAnnotationShare(QVCompletion completion) = 0;

 protected:
  virtual ~IQVRoomAnnotationController() = default;
};

}  // namespace parlo
