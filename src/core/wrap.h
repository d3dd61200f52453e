// The shape of every script class: a native object bound to its script object,
// made by script with `new` or by native code through the class's constructor
// reference, deleted when the script object is collected.
#pragma once

#include <napi.h>

#include <string>
#include <vector>

#include "core/bind.h"
#include "core/from_js.h"
#include "core/lifetime.h"
#include "core/resolve.h"
#include "core/trace.h"

namespace brimo {

// T states its script name (kClassName) and the name its construction and
// destruction trace lines carry (kTraceName, or nullptr for none).
template <class T>
class Wrap : public Napi::ObjectWrap<T> {
 public:
  using Methods = std::vector<Napi::ClassPropertyDescriptor<T>>;

  explicit Wrap(const Napi::CallbackInfo& info) : Napi::ObjectWrap<T>(info) {
    if (T::kTraceName != nullptr) trace("%s \n", T::kTraceName);
  }
  ~Wrap() override {
    if (T::kTraceName != nullptr) trace("~%s \n", T::kTraceName);
  }

  // Makes an instance through the constructor reference, as `new` would.
  static Napi::Object make(const std::vector<napi_value>& args = {}) { return constructor().New(args); }

  // The SDK object of this call, walked afresh along T::kChain; null (and the
  // class's report made) when a link is missing.
  auto resolve(Napi::Env env) const { return T::kChain.walk(env, static_cast<const T&>(*this)); }
  // The walk again within the same call, after conversions that can run script.
  auto resolve_again(Napi::Env env) const { return T::kChain.walk_again(env, static_cast<const T&>(*this)); }
  // The same walk without a word, for listener registration.
  auto find() const { return T::kChain.find(static_cast<const T&>(*this)); }

 protected:
  // Defines the class, keeps its constructor for the life of the process and sets
  // it on exports. A failing step leaves the runtime's error pending and the
  // registration goes on.
  static void define(Napi::Env env, Napi::Object exports, const Methods& methods) {
    Napi::Function cls = Napi::ObjectWrap<T>::DefineClass(env, T::kClassName, methods);
    if (cls.IsEmpty()) return;
    constructor() = Napi::Persistent(cls);
    constructor().SuppressDestruct();
    exports.Set(T::kClassName, cls);
  }

  // An ordinary method: one row, everything else derived from the SDK operation.
  template <auto Op, class... Opts>
  static Napi::ClassPropertyDescriptor<T> row(const char* name) {
    return describe<T, Binder<T, Op, Opts...>>(name);
  }
  // The add and remove methods of a listener kind.
  template <class Kind>
  static Napi::ClassPropertyDescriptor<T> listen(const char* name) {
    return describe<T, typename Kind::template Adding<T>>(name);
  }
  template <class Kind>
  static Napi::ClassPropertyDescriptor<T> unlisten(const char* name) {
    return describe<T, typename Kind::template Removing<T>>(name);
  }

  // Heap-held and never freed: native code may make instances until the environment
  // that loaded the module ends; its teardown lets go of the constructor, and the
  // next load defines the class again.
  static Napi::FunctionReference& constructor() {
    static auto* reference = [] {
      at_teardown([] { constructor().Reset(); });
      return new Napi::FunctionReference();
    }();
    return *reference;
  }
};

// A wrapper bound to one room: it keeps the room UUID given to its constructor and
// finds the room again on every call, along a chain through the room's context.
template <class T>
class RoomBound : public Wrap<T> {
 public:
  explicit RoomBound(const Napi::CallbackInfo& info) : Wrap<T>(info), room_uuid_(utf8(info[0])) {}
  const std::string& room_uuid() const { return room_uuid_; }

 private:
  std::string room_uuid_;
};

// A strong reference (count 1) to a wrapper made by another wrapper.
inline Napi::ObjectReference hold(Napi::Object object) { return Napi::Persistent(object); }

}  // namespace brimo
