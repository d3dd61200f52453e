// Finding the SDK object again on every call. No wrapper keeps an SDK pointer:
// each call walks createQVParlo -> service -> room context -> controller, asking
// every getter afresh, and stops at the first null link, which the class reports
// in its own words (NullReport).
#pragma once

#include <napi.h>

#include <string>

#include "sdk/parlo.h"

namespace brimo {

// How a class reports a missing link of its chain. The message is assembled as
// "<prefix> <link> Null pointer exception", leaving out whatever is empty.
struct NullReport {
  enum class Action { Raise, Print };
  const char* prefix = "";     // usually the class name
  bool names_link = true;      // false: one message for every link
  Action action = Action::Raise;  // Print: write "<prefix> <link> is null" instead
  // Extra trace line written before raising, given the link's name; may be null.
  void (*trace_missing)(const char* link) = nullptr;

  void report(Napi::Env env, const char* link) const;
};

// Checks one link; reports it when null.
template <class T>
T* require_link(Napi::Env env, const NullReport& report, const char* link, T* value) {
  if (value == nullptr) report.report(env, link);
  return value;
}

inline parlo::IQVParlo* resolve_kit(Napi::Env env, const NullReport& report) {
  return require_link(env, report, "parlo", createQVParlo());
}

// kit -> one of its services, e.g. resolve_service<&parlo::IQVParlo::getAuthService>.
template <auto Getter>
auto resolve_service(Napi::Env env, const NullReport& report, const char* link) -> decltype((createQVParlo()->*Getter)()) {
  parlo::IQVParlo* kit = resolve_kit(env, report);
  if (kit == nullptr) return nullptr;
  return require_link(env, report, link, (kit->*Getter)());
}

// The quiet form, for listener registration: a missing link just makes the add or
// remove fail, without a word.
template <auto Getter>
auto find_service() -> decltype((createQVParlo()->*Getter)()) {
  parlo::IQVParlo* kit = createQVParlo();
  return kit == nullptr ? nullptr : (kit->*Getter)();
}

}  // namespace brimo
