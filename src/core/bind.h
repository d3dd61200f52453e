// The binder: an ordinary script method is one row of its class's method list,
//
//   row<&parlo::IQVRoomContext::changeMyName>("changeMyName"),
//   row<&Rtc::selectCameraDevice, Traced, Fail<-1>>("selectCameraDevice"),
//
// and everything else follows from the SDK operation's own signature: each
// parameter is read from the script argument in its position by the conversion of
// its type (records, lists and maps included); a trailing completion becomes the
// carrier of the callback in that position; an output reference parameter is what
// the method returns; otherwise the operation's result goes through to_js. The row's
// options say what the signature cannot: the failure value, the constant an
// asynchronous method returns, the trace line, argument checks and their place,
// boolean and string coercion, conversion before resolution, a result converter.
//
// A call runs: trace line, checks, resolution, conversion, then the SDK call. When a
// conversion can run script (a getter or Proxy inside a record, list or map, or a
// coercion calling toString), that script may have left the room or reset the SDK,
// so the object is resolved again before the call, and a gone object fails exactly
// as a failed resolution does.
#pragma once

#include <napi.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "core/carrier.h"
#include "core/errors.h"
#include "core/from_js.h"
#include "core/lifetime.h"
#include "core/listeners.h"
#include "core/record_reader.h"
#include "core/to_js.h"
#include "core/trace.h"
#include "sdk/parlo_types.h"

namespace brimo {

// Script constants a row returns or fails with where a number or boolean won't do:
// undefined, null, "" and [].
enum class Js { Undefined, Null, Empty, EmptyArray };

inline Napi::Value constant(Napi::Env env, Js value) {
  switch (value) {
    case Js::Null: return env.Null();
    case Js::Empty: return Napi::String::New(env, "");
    case Js::EmptyArray: return Napi::Array::New(env);
    case Js::Undefined: break;
  }
  return env.Undefined();
}
template <class V>
Napi::Value constant(Napi::Env env, V value) {
  return to_js(env, value);
}

// --- row options ---

struct Traced {};                 // writes "<name>\n" first
template <auto V>
struct Fail {};                   // the value returned when resolution fails (default undefined)
template <auto V>
struct Returns {};                // what a method without a result returns (default undefined)
template <Arg... A>
struct Check {};                  // "Wrong number of arguments" / "Wrong arguments" by typeof
template <std::size_t N>
struct Count {};                  // "Wrong number of arguments" with fewer than N, no type check
template <Arg... A>
struct Types {};                  // "Wrong arguments" by typeof, no count check
struct ChecksAfterResolve {};     // the checks run once the SDK object is found
struct ConvertFirst {};           // arguments are converted before resolution
struct Truthy {};                 // every boolean parameter counts by its truthiness
template <std::size_t... I>
struct Coerced {};                // these arguments are coerced (String(x), !!x, Number(x))
template <std::size_t I, auto F>
struct As {};                     // argument I is read by F(value) instead of its type's reader
template <std::size_t... I>
struct Skip {};                   // these parameters read no argument and keep their default
template <auto F>
struct Convert {};                // the result's converter, F(env, result) or, for an output
                                  // parameter, F(env, output, code), instead of to_js

namespace bind_detail {

template <class O>
struct is_fail : std::false_type {};
template <auto V>
struct is_fail<Fail<V>> : std::true_type {};
template <class O>
struct is_returns : std::false_type {};
template <auto V>
struct is_returns<Returns<V>> : std::true_type {};
template <class O>
struct is_check : std::false_type {};
template <Arg... A>
struct is_check<Check<A...>> : std::true_type {};
template <std::size_t N>
struct is_check<Count<N>> : std::true_type {};
template <Arg... A>
struct is_check<Types<A...>> : std::true_type {};
template <class O>
struct is_convert : std::false_type {};
template <auto F>
struct is_convert<Convert<F>> : std::true_type {};

// The first option that satisfies Pred, or Default.
template <template <class> class Pred, class Default, class... Opts>
struct first_of {
  using type = Default;
};
template <template <class> class Pred, class Default, class O, class... Rest>
struct first_of<Pred, Default, O, Rest...> {
  using type = std::conditional_t<Pred<O>::value, O, typename first_of<Pred, Default, Rest...>::type>;
};

template <auto V>
Napi::Value value_of(Napi::Env env, Fail<V>) {
  return constant(env, V);
}
template <auto V>
Napi::Value value_of(Napi::Env env, Returns<V>) {
  return constant(env, V);
}

template <Arg... A>
bool run_checks(const Napi::CallbackInfo& info, Check<A...>) {
  return check_args(info, {A...});
}
template <Arg... A>
bool run_checks(const Napi::CallbackInfo& info, Types<A...>) {
  return check_types(info, {A...});
}
template <std::size_t N>
bool run_checks(const Napi::CallbackInfo& info, Count<N>) {
  if (info.Length() >= N) return true;
  raise_type_error(info.Env(), "Wrong number of arguments");
  return false;
}

template <std::size_t I, class O>
struct coerces : std::false_type {};
template <std::size_t I, std::size_t... J>
struct coerces<I, Coerced<J...>> : std::bool_constant<((I == J) || ...)> {};
template <std::size_t I, class O>
struct skips : std::false_type {};
template <std::size_t I, std::size_t... J>
struct skips<I, Skip<J...>> : std::bool_constant<((I == J) || ...)> {};

// The reader a row names for argument I, if any: As<I, F>.
template <std::size_t I, class... Opts>
struct reader_for {
  static constexpr bool named = false;
};
template <std::size_t I, class O, class... Rest>
struct reader_for<I, O, Rest...> : reader_for<I, Rest...> {};
template <std::size_t I, auto F, class... Rest>
struct reader_for<I, As<I, F>, Rest...> {
  static constexpr bool named = true;
  static constexpr auto read = F;
};

// The SDK's completions: (code, message) or (code, message, result).
template <class P>
struct completion : std::false_type {
  using results = std::tuple<>;
};
template <>
struct completion<parlo::QVCompletion> : std::true_type {
  using results = std::tuple<>;
};
template <class R>
struct completion<std::function<void(int32_t, const std::string&, const R&)>> : std::true_type {
  using results = std::tuple<R>;
};

template <class P>
using bare = std::remove_cv_t<std::remove_reference_t<P>>;

// A parameter the SDK fills: a non-const lvalue reference.
template <class P>
constexpr bool is_out = std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>;

// Conversions that only read the value itself never run script: strings and numbers
// are read without coercion, booleans by value or truthiness.
template <class P>
constexpr bool plain = std::is_arithmetic_v<bare<P>> || std::is_same_v<bare<P>, std::string>;

template <class Op>
struct operation;
template <class C, class R, class... P>
struct operation<R (C::*)(P...)> {
  using target = C;
  using result = R;
  using params = std::tuple<P...>;
};

// What a parameter holds between conversion and the call; the completion is made
// at the call, after every conversion.
template <class P>
using held = std::conditional_t<completion<bare<P>>::value, std::nullptr_t, bare<P>>;

// Coerces a value as script's own conversion would, then reads it.
inline Napi::Value coerce_number(const Napi::Value& value) {
  napi_value out = nullptr;
  if (value.IsEmpty() || napi_coerce_to_number(value.Env(), value, &out) != napi_ok) {
    raise_failed(value.Env());
    return Napi::Value(value.Env(), nullptr);
  }
  return Napi::Value(value.Env(), out);
}

template <class T>
T read_coerced(const Napi::Value& value) {
  T out{};
  if constexpr (std::is_same_v<T, std::string>) {
    out = coerced_string(value);
  } else if constexpr (std::is_same_v<T, bool>) {
    out = truthy(value);
  } else if constexpr (std::is_arithmetic_v<T>) {
    Napi::Value number = coerce_number(value);
    if (!number.IsEmpty()) read_value(number, out);
  } else {
    read_value(value, out);
  }
  return out;
}

}  // namespace bind_detail

// One bound method: `Op` called on the object that `T::kChain` resolves.
template <class T, auto Op, class... Opts>
class Binder {
  using Operation = bind_detail::operation<decltype(Op)>;
  using Params = typename Operation::params;
  using Result = typename Operation::result;
  static constexpr std::size_t kCount = std::tuple_size_v<Params>;

  template <std::size_t I>
  using Param = std::tuple_element_t<I, Params>;
  template <std::size_t I>
  static constexpr bool is_completion = bind_detail::completion<bind_detail::bare<Param<I>>>::value;
  template <std::size_t I>
  static constexpr bool is_out = bind_detail::is_out<Param<I>>;

  template <class O>
  static constexpr bool has = (std::is_same_v<O, Opts> || ...);
  template <std::size_t I>
  static constexpr bool coerced = (bind_detail::coerces<I, Opts>::value || ...);
  // A parameter the SDK fills, or one the row keeps at its default, reads no argument.
  template <std::size_t I>
  static constexpr bool reads_nothing = is_out<I> || (bind_detail::skips<I, Opts>::value || ...);
  template <std::size_t I>
  using NamedReader = bind_detail::reader_for<I, Opts...>;

  using FailOption = typename bind_detail::first_of<bind_detail::is_fail, Fail<Js::Undefined>, Opts...>::type;
  using ReturnsOption = typename bind_detail::first_of<bind_detail::is_returns, Returns<Js::Undefined>, Opts...>::type;
  using CheckOption = typename bind_detail::first_of<bind_detail::is_check, void, Opts...>::type;
  using ConvertOption = typename bind_detail::first_of<bind_detail::is_convert, void, Opts...>::type;

  // The script argument each parameter reads: the SDK's own order, skipping the
  // parameters it fills.
  template <std::size_t I>
  static constexpr std::size_t script_index() {
    if constexpr (I == 0) {
      return 0;
    } else {
      return script_index<I - 1>() + (reads_nothing<I - 1> ? 0 : 1);
    }
  }

  static constexpr bool kAsync = [] {
    if constexpr (kCount == 0) {
      return false;
    } else {
      return is_completion<kCount - 1>;
    }
  }();

  template <std::size_t... I>
  static constexpr bool runs_script(std::index_sequence<I...>) {
    return ((!is_completion<I> && !reads_nothing<I> &&
             (NamedReader<I>::named || !bind_detail::plain<Param<I>> ||
              (coerced<I> && !std::is_same_v<bind_detail::bare<Param<I>>, bool>))) ||
            ...);
  }
  static constexpr bool kRunsScript = runs_script(std::make_index_sequence<kCount>{});

  template <std::size_t I>
  static auto read(const Napi::CallbackInfo& info) {
    using Held = bind_detail::held<Param<I>>;
    if constexpr (is_completion<I> || reads_nothing<I>) {
      return Held{};
    } else {
      Napi::Value value = info[script_index<I>()];
      if constexpr (NamedReader<I>::named) {
        return static_cast<Held>(NamedReader<I>::read(value));
      } else if constexpr (coerced<I>) {
        return bind_detail::read_coerced<Held>(value);
      } else if constexpr (std::is_same_v<Held, bool> && has<Truthy>) {
        return truthy(value);
      } else {
        Held out{};
        read_value(value, out);
        return out;
      }
    }
  }

  template <std::size_t... I>
  static auto read_all(const Napi::CallbackInfo& info, std::index_sequence<I...>) {
    // Braced initialisation keeps the reads in argument order.
    return std::tuple<bind_detail::held<Param<I>>...>{read<I>(info)...};
  }

  static Napi::Value fail(Napi::Env env) { return bind_detail::value_of(env, FailOption{}); }

  // A failed resolution: an asynchronous method tries callback(-1, "") first.
  static Napi::Value failed(const Napi::CallbackInfo& info) {
    if constexpr (kAsync) {
      return fail_callback(info.Env(), info[script_index<kCount - 1>()], fail(info.Env()));
    } else {
      return fail(info.Env());
    }
  }

  template <class R>
  static Napi::Value convert(Napi::Env env, const R& value) {
    if constexpr (std::is_void_v<ConvertOption>) {
      return to_js(env, value);
    } else {
      return convert_with(env, value, ConvertOption{});
    }
  }
  template <class R, auto F>
  static Napi::Value convert_with(Napi::Env env, const R& value, Convert<F>) {
    return F(env, value);
  }

  template <std::size_t I, class Held>
  static decltype(auto) pass(const Napi::CallbackInfo& info, Held& held) {
    if constexpr (is_completion<I>) {
      return make_completion(info, typename bind_detail::completion<bind_detail::bare<Param<I>>>::results{});
    } else {
      return (held);
    }
  }

  template <class... R>
  static auto make_completion(const Napi::CallbackInfo& info, std::tuple<R...>) {
    Napi::Value callback = info[script_index<kCount - 1>()];
    if constexpr (std::is_void_v<ConvertOption>) {
      return complete<R...>(info.Env(), callback);
    } else {
      return complete<R...>(info.Env(), callback, convert_function(ConvertOption{}));
    }
  }
  template <auto F>
  static auto convert_function(Convert<F>) {
    return F;
  }

  template <std::size_t I = 0>
  static constexpr std::size_t out_index() {
    if constexpr (I == kCount) {
      return kCount;
    } else if constexpr (is_out<I>) {
      return I;
    } else {
      return out_index<I + 1>();
    }
  }
  static constexpr std::size_t kOut = out_index();

  // The output parameter's value; an operation that also returns a code hands it
  // to a converter that asks for it.
  template <class Out, auto F>
  static Napi::Value convert_output(Napi::Env env, const Out& out, int32_t code, Convert<F>) {
    if constexpr (std::is_invocable_v<decltype(F), Napi::Env, const Out&, int32_t>) {
      return F(env, out, code);
    } else {
      return F(env, out);
    }
  }
  template <class Args>
  static Napi::Value output(Napi::Env env, Args& args, int32_t code = 0) {
    if constexpr (kOut == kCount) {
      return bind_detail::value_of(env, ReturnsOption{});
    } else if constexpr (std::is_void_v<ConvertOption>) {
      return to_js(env, std::get<kOut>(args));
    } else {
      return convert_output(env, std::get<kOut>(args), code, ConvertOption{});
    }
  }

  template <class Target, class Args, std::size_t... I>
  static Napi::Value invoke(const Napi::CallbackInfo& info, Target* target, Args& args, std::index_sequence<I...>) {
    Napi::Env env = info.Env();
    if constexpr (kAsync) {
      (target->*Op)(pass<I>(info, std::get<I>(args))...);
      return bind_detail::value_of(env, ReturnsOption{});
    } else if constexpr (std::is_void_v<Result>) {
      (target->*Op)(std::get<I>(args)...);
      return output(env, args);
    } else if constexpr (kOut != kCount) {
      // The code of an operation that fills an output parameter goes to its converter.
      return output(env, args, (target->*Op)(std::get<I>(args)...));
    } else {
      return convert(env, (target->*Op)(std::get<I>(args)...));
    }
  }

  static bool checks_pass(const Napi::CallbackInfo& info) {
    if constexpr (std::is_void_v<CheckOption>) {
      return true;
    } else {
      return bind_detail::run_checks(info, CheckOption{});
    }
  }

 public:
  static Napi::Value call(const T& self, const Napi::CallbackInfo& info) {
    Napi::Env env = info.Env();
    if constexpr (has<Traced>) trace("%s\n", static_cast<const char*>(info.Data()));
    if constexpr (!has<ChecksAfterResolve>) {
      if (!checks_pass(info)) return fail(env);
    }
    constexpr auto indices = std::make_index_sequence<kCount>{};
    if constexpr (has<ConvertFirst>) {
      auto args = read_all(info, indices);
      auto* target = self.resolve(env);
      if (target == nullptr) return failed(info);
      if constexpr (has<ChecksAfterResolve>) {
        if (!checks_pass(info)) return fail(env);
      }
      return invoke(info, target, args, indices);
    } else {
      auto* target = self.resolve(env);
      if (target == nullptr) return failed(info);
      if constexpr (has<ChecksAfterResolve>) {
        if (!checks_pass(info)) return fail(env);
      }
      auto args = read_all(info, indices);
      if constexpr (kRunsScript) {
        // Script run by the conversion may have taken the object away.
        target = self.resolve_again(env);
        if (target == nullptr) return failed(info);
      }
      return invoke(info, target, args, indices);
    }
  }
};

// The wrapper of a method's receiver. napi_unwrap finds it as a private property of
// the receiver, on the runtime's generic property path, and that lookup is most of
// what a simple method costs. Script calls the same object's methods many times in a
// row, so each class remembers its last receiver (weakly: the cache keeps nothing
// alive) and the wrapper found for it; an identity test then replaces the lookup. A
// collected receiver reads back as no value, so a new object at its address never
// matches. Used on the script thread only.
template <class T>
class Receivers {
 public:
  static T* unwrap(napi_env env, napi_value receiver) {
    Receivers& last = get();
    if (last.ref_ != nullptr) {
      napi_value held = nullptr;
      bool same = false;
      if (napi_get_reference_value(env, last.ref_, &held) == napi_ok && held != nullptr &&
          napi_strict_equals(env, held, receiver, &same) == napi_ok && same) {
        return last.wrapper_;
      }
    }
    T* found = T::Unwrap(Napi::Object(env, receiver));
    if (found == nullptr) return nullptr;
    // The reference belongs to the environment that made it: when that one ends the
    // runtime frees it, and the next environment starts with nothing remembered.
    static const bool forget_at_teardown = (at_teardown([] { get() = Receivers(); }), true);
    (void)forget_at_teardown;
    if (last.ref_ != nullptr) napi_delete_reference(env, last.ref_);
    last.ref_ = nullptr;
    if (napi_create_reference(env, receiver, 0, &last.ref_) == napi_ok) last.wrapper_ = found;
    return found;
  }

 private:
  static Receivers& get() {
    static Receivers receivers;
    return receivers;
  }
  napi_ref ref_ = nullptr;
  T* wrapper_ = nullptr;
};

// The script entry of a row: finds the wrapper, then runs its binder. The row's name
// travels as the method's data, for its trace line.
template <class T, class Bound>
napi_value bound_entry(napi_env env, napi_callback_info callback_info) {
  Napi::CallbackInfo info(env, callback_info);
  T* self = Receivers<T>::unwrap(env, info.This());
  if (self == nullptr) return nullptr;
  return Bound::call(*self, info);
}

template <class T, class Bound>
Napi::ClassPropertyDescriptor<T> describe(const char* name) {
  napi_property_descriptor desc{};
  desc.utf8name = name;
  desc.method = &bound_entry<T, Bound>;
  desc.attributes = napi_default;
  desc.data = const_cast<char*>(name);
  return desc;
}

// --- listener rows ---

// One listener kind, stated once: its adapter, the SDK's add and remove operations
// on the object the class resolves, and its registry table.
template <class Adapter, auto Add, auto Remove, auto Table>
struct ListenerKind {
  // What a class's walk needs to find a registration's SDK object again without
  // the wrapper: the room UUID, for the room-level kinds.
  struct Room {
    std::string uuid;
    const std::string& room_uuid() const { return uuid; }
  };

  // Unregisters an adapter at the teardown, from the SDK object the class's walk
  // finds for `room` then.
  template <class T>
  static AdapterBase::Withdraw withdraw_from(std::string room) {
    return [room = Room{std::move(room)}](AdapterBase* adapter) {
      auto* target = T::kChain.find(room);
      if (target == nullptr) return false;
      (target->*Remove)(static_cast<Adapter*>(adapter));
      return true;
    };
  }

  template <class T>
  struct Adding {
    static Napi::Value call(const T& self, const Napi::CallbackInfo& info) {
      auto& table = ListenerRegistry::get().*Table;
      if constexpr (std::is_same_v<std::remove_reference_t<decltype(table)>, RoomTable>) {
        return add_room_listener<Adapter>(info.Env(), info[0], table, self.room_uuid(), self.find(), Add,
                                          withdraw_from<T>(self.room_uuid()));
      } else {
        return add_listener<Adapter>(info.Env(), info[0], table, self.find(), Add, withdraw_from<T>(""));
      }
    }
  };
  template <class T>
  struct Removing {
    static Napi::Value call(const T& self, const Napi::CallbackInfo& info) {
      auto& table = ListenerRegistry::get().*Table;
      if constexpr (std::is_same_v<std::remove_reference_t<decltype(table)>, RoomTable>) {
        return remove_room_listener<Adapter>(info.Env(), info[0], table, self.room_uuid(), self.find(), Remove);
      } else {
        return remove_listener<Adapter>(info.Env(), info[0], table, [&self] { return self.find(); }, Remove);
      }
    }
  };
};

}  // namespace brimo
