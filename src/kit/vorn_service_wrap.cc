#include "kit/vorn_service_wrap.h"

namespace brimo {

using Vorn = parlo::IQVVornService;

void IQVVornServiceWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports,
         {
             row<&Vorn::setVornDownloadFilePath, ConvertFirst, Fail<Js::Null>, Returns<Js::Null>>("setVornDownloadFilePath"),
             row<&Vorn::uploadResource, ConvertFirst, Fail<Js::Null>, Returns<Js::Null>>("uploadResource"),
         });
}

IQVVornServiceWrap::IQVVornServiceWrap(const Napi::CallbackInfo& info) : Wrap(info) {}

}  // namespace brimo
