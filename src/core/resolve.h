// Finding the SDK object again on every call. No wrapper keeps an SDK pointer:
// each call walks createQVParlo -> service -> room context -> controller, asking
// every getter afresh, and stops at the first null link, which the class reports
// in its own words. Each class states its walk once, as data:
//
//   static constexpr auto kChain = chain(NullReport{"IQVRoomServiceWrap"},
//                                        via<&parlo::IQVParlo::getRoomService>("roomService"));
#pragma once

#include <napi.h>

#include <cstddef>
#include <string>
#include <tuple>

#include "core/trace.h"
#include "sdk/parlo.h"

namespace brimo {

// How a class reports a missing link of its chain.
struct NullReport {
  enum class Form {
    Named,    // "<prefix> <link> Null pointer exception" (an empty prefix is left out)
    Bare,     // "<prefix> Null pointer exception" for every link
    Printed,  // nothing raised; the line "<prefix> <link> is null" on standard output
  };
  const char* prefix = "";
  Form form = Form::Named;
  // An extra trace line written before raising, given the link's name; may be null.
  void (*before)(const char* link) = nullptr;
  // What the kit is called in a report; empty: the message names no link then.
  const char* kit = "parlo";
  // A trace line written as each call starts its walk; may be null.
  const char* announce = nullptr;

  void report(Napi::Env env, const char* link) const;
  bool raises() const { return form != Form::Printed; }
};

// A step that asks the previous SDK object for the next one through `Getter`.
template <auto Getter>
struct Via {
  const char* link;
  template <class From, class Self>
  auto operator()(From* from, const Self&) const {
    return (from->*Getter)();
  }
};

template <auto Getter>
constexpr Via<Getter> via(const char* link) {
  return {link};
}

// The step from the room service to the room context of the wrapper's room UUID.
struct RoomOf {
  const char* link;
  template <class Self>
  parlo::IQVRoomContext* operator()(parlo::IQVRoomService* rooms, const Self& self) const {
    return rooms->getRoomContext(self.room_uuid());
  }
};

// The walk from the kit ("parlo") through `Steps`. Self is the wrapper that walks it
// (steps may read its room UUID or flags).
template <class... Steps>
struct Chain {
  NullReport report;
  std::tuple<Steps...> steps;

  // Reports the first missing link; null then.
  template <class Self>
  auto walk(Napi::Env env, const Self& self) const {
    if (report.announce != nullptr) trace_text(report.announce);
    return walk_again(env, self);
  }

  // The same walk later in a call that has made its announcement already.
  template <class Self>
  auto walk_again(Napi::Env env, const Self& self) const {
    return descend<0>(&env, require(&env, report.kit, createQVParlo()), self);
  }

  // The quiet walk, for listener registration: a missing link just answers null.
  template <class Self>
  auto find(const Self& self) const {
    return descend<0>(nullptr, createQVParlo(), self);
  }

 private:
  template <class P>
  P* require(Napi::Env* env, const char* link, P* value) const {
    if (value == nullptr && env != nullptr) report.report(*env, link);
    return value;
  }

  template <std::size_t I, class From, class Self>
  auto descend(Napi::Env* env, From* from, const Self& self) const {
    if constexpr (I == sizeof...(Steps)) {
      return from;
    } else {
      const auto& step = std::get<I>(steps);
      using Next = decltype(step(from, self));
      using Target = decltype(descend<I + 1>(env, Next{}, self));
      if (from == nullptr) return Target{};
      return descend<I + 1>(env, require(env, step.link, step(from, self)), self);
    }
  }
};

template <class... Steps>
constexpr Chain<Steps...> chain(NullReport report, Steps... steps) {
  return {report, {steps...}};
}

// kit -> room service -> the room context of the wrapper's room UUID -> `last`.
template <class... Last>
constexpr auto room_chain(NullReport report, Last... last) {
  return chain(report, via<&parlo::IQVParlo::getRoomService>("roomService"), RoomOf{"roomContext"}, last...);
}

}  // namespace brimo
