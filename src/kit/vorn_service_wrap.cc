#include "kit/vorn_service_wrap.h"

#include "core/carrier.h"

namespace brimo {
namespace {

const NullReport kNull{"IQVParlo"};

}  // namespace

void IQVVornServiceWrap::Register(Napi::Env env, Napi::Object exports) {
  define(env, exports,
         {
             InstanceMethod<&IQVVornServiceWrap::setVornDownloadFilePath>("setVornDownloadFilePath"),
             InstanceMethod<&IQVVornServiceWrap::uploadResource>("uploadResource"),
         });
}

IQVVornServiceWrap::IQVVornServiceWrap(const Napi::CallbackInfo& info) : Wrap(info) {}

parlo::IQVVornService* IQVVornServiceWrap::resolve(Napi::Env env) {
  return resolve_service<&parlo::IQVParlo::getVornService>(env, kNull, "vornService");
}

Napi::Value IQVVornServiceWrap::setVornDownloadFilePath(const Napi::CallbackInfo& info) {
  std::string path = utf8(info[0]);
  if (auto* vorn = resolve(info.Env())) vorn->setVornDownloadFilePath(path);
  return info.Env().Null();
}

Napi::Value IQVVornServiceWrap::uploadResource(const Napi::CallbackInfo& info) {
  std::string path = utf8(info[0]);
  auto* vorn = resolve(info.Env());
  if (vorn == nullptr) return fail_callback(info.Env(), info[1], info.Env().Null());
  vorn->uploadResource(path, complete<std::string>(info.Env(), info[1]));
  return info.Env().Null();
}

}  // namespace brimo
