// IQVVornServiceWrap: the object-storage service (uploads and the download folder).
#pragma once

#include <napi.h>

#include "core/wrap.h"

namespace brimo {

class IQVVornServiceWrap : public Wrap<IQVVornServiceWrap> {
 public:
  static constexpr const char* kClassName = "IQVVornServiceWrap";
  static constexpr const char* kTraceName = "IQVVornServiceWrap";
  static constexpr auto kChain = chain(NullReport{"IQVParlo"}, via<&parlo::IQVParlo::getVornService>("vornService"));

  static void Register(Napi::Env env, Napi::Object exports);
  explicit IQVVornServiceWrap(const Napi::CallbackInfo& info);
};

}  // namespace brimo
