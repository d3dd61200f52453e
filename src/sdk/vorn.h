// The SDK's object-storage service.
#pragma once

#include "sdk/parlo_types.h"

namespace parlo {

class IQVVornService {
 public:
  virtual void reservedSlot0() = 0;
  virtual void setVornDownloadFilePath(const std::string& path) = 0;
  // The completion's result is the SDK's text answer of the upload.
  virtual void uploadResource(const std::string& localPath, QVResultCompletion<std::string> completion) = 0;

 protected:
  virtual ~IQVVornService() = default;
};

}  // namespace parlo
