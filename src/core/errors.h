// Raising script errors. C++ exceptions are off: an error is a pending script
// exception that the script call throws once the method returns.
#pragma once

#include <napi.h>

#include <initializer_list>

namespace brimo {

// The first error of a call is the one script sees: throwing a second while one is
// pending would abort the process.
inline void raise_type_error(Napi::Env env, const char* message) {
  if (env.IsExceptionPending()) return;
  Napi::TypeError::New(env, message).ThrowAsJavaScriptException();
}

inline bool pending(Napi::Env env) { return env.IsExceptionPending(); }

// Script types as typeof reports them, for methods that check their arguments. The
// object test accepts objects and functions, not null.
enum class Arg { Object, Function, String, Number, Boolean };

// Raises "Wrong number of arguments" or "Wrong arguments" and answers false when the
// arguments do not match; extra arguments are allowed.
bool check_args(const Napi::CallbackInfo& info, std::initializer_list<Arg> expected);
// The type half alone: a missing argument is undefined and fails its test with
// "Wrong arguments".
bool check_types(const Napi::CallbackInfo& info, std::initializer_list<Arg> expected);

}  // namespace brimo
