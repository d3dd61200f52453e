#include "core/from_js.h"

// Every conversion talks to Node-API directly with the value's own environment:
// node-addon-api's helpers hand back values without an environment when a call
// fails (as every call does while an exception is pending), and using one of those
// aborts the process. Here a failure raises the runtime's error (or keeps the one
// already pending) and yields "", 0 or false.

namespace brimo {

// Error::New reads the failed call's own error info, or rethrows an exception that
// was already pending instead.
void raise_failed(napi_env env) { Napi::Error::New(env).ThrowAsJavaScriptException(); }

namespace {

std::string read_utf8(napi_env env, napi_value value) {
  size_t length = 0;
  if (napi_get_value_string_utf8(env, value, nullptr, 0, &length) != napi_ok) {
    raise_failed(env);
    return {};
  }
  std::string text(length, '\0');
  napi_get_value_string_utf8(env, value, text.data(), length + 1, &length);
  return text;
}

template <class T, class Get>
T read_number(const Napi::Value& value, Get get) {
  T out{};
  if (value.IsEmpty()) return out;
  if (get(value.Env(), value, &out) != napi_ok) {
    raise_failed(value.Env());
    return T{};
  }
  return out;
}

Napi::Value checked(Napi::Env env, napi_status status, napi_value result) {
  if (status != napi_ok) {
    raise_failed(env);
    return Napi::Value(env, nullptr);
  }
  return Napi::Value(env, result);
}

}  // namespace

std::string utf8(const Napi::Value& value) {
  if (value.IsEmpty()) return {};
  return read_utf8(value.Env(), value);
}

int32_t int32(const Napi::Value& value) { return read_number<int32_t>(value, napi_get_value_int32); }
uint32_t uint32(const Napi::Value& value) { return read_number<uint32_t>(value, napi_get_value_uint32); }
int64_t int64_from_double(const Napi::Value& value) { return read_number<int64_t>(value, napi_get_value_int64); }
double number(const Napi::Value& value) { return read_number<double>(value, napi_get_value_double); }
bool boolean(const Napi::Value& value) { return read_number<bool>(value, napi_get_value_bool); }

bool truthy(const Napi::Value& value) {
  if (value.IsEmpty()) return false;
  napi_value coerced = nullptr;
  if (napi_coerce_to_bool(value.Env(), value, &coerced) != napi_ok) {
    raise_failed(value.Env());
    return false;
  }
  return read_number<bool>(Napi::Value(value.Env(), coerced), napi_get_value_bool);
}

std::string coerced_string(const Napi::Value& value) {
  if (value.IsEmpty()) return {};
  napi_value coerced = nullptr;
  if (napi_coerce_to_string(value.Env(), value, &coerced) != napi_ok) {
    raise_failed(value.Env());
    return {};
  }
  return read_utf8(value.Env(), coerced);
}

uint32_t array_length(const Napi::Value& value) {
  if (value.IsEmpty()) return 0;
  uint32_t length = 0;
  if (napi_get_array_length(value.Env(), value, &length) != napi_ok) {
    raise_failed(value.Env());
    return 0;
  }
  return length;
}

std::map<std::string, std::string> string_map(const Napi::Value& value) {
  std::map<std::string, std::string> map;
  each_property_name(value, [&](const Napi::Value& name) {
    std::string key = utf8(name);
    map[key] = utf8(property(value.Env(), value, name));
  });
  return map;
}

void raise_too_many(Napi::Env env) {
  if (env.IsExceptionPending()) return;
  Napi::RangeError::New(env, "A list or map argument may have at most 100000 entries").ThrowAsJavaScriptException();
}

uint32_t list_length(const Napi::Value& value) {
  uint32_t length = array_length(value);
  if (length <= kMaxEntries) return length;
  raise_too_many(value.Env());
  return 0;
}

Napi::Value property_names(const Napi::Value& object) {
  if (object.IsEmpty()) return object;
  Napi::Env env = object.Env();
  if (!is_object(object) && !object.IsNull() && !object.IsUndefined()) return Napi::Value(env, nullptr);
  if (object.IsTypedArray() && object.As<Napi::TypedArray>().ElementLength() > kMaxEntries) {
    raise_too_many(env);
    return Napi::Value(env, nullptr);
  }
  napi_value names = nullptr;
  if (napi_get_property_names(env, object, &names) != napi_ok) {
    raise_failed(env);
    return Napi::Value(env, nullptr);
  }
  Napi::Value list(env, names);
  if (array_length(list) > kMaxEntries) {
    raise_too_many(env);
    return Napi::Value(env, nullptr);
  }
  return list;
}

bool has(const Napi::Value& object, const char* key) {
  if (object.IsEmpty()) return false;
  bool found = false;
  if (napi_has_named_property(object.Env(), object, key, &found) != napi_ok) {
    raise_failed(object.Env());
    return false;
  }
  return found;
}

Napi::Value property(Napi::Env env, const Napi::Value& object, const char* key) {
  napi_value result = nullptr;
  napi_status status = napi_get_named_property(env, object, key, &result);
  return checked(env, status, result);
}

Napi::Value property(Napi::Env env, const Napi::Value& object, const Napi::Value& key) {
  napi_value result = nullptr;
  napi_status status = napi_get_property(env, object, key, &result);
  return checked(env, status, result);
}

Napi::Value element(Napi::Env env, const Napi::Value& object, uint32_t index) {
  napi_value result = nullptr;
  napi_status status = napi_get_element(env, object, index, &result);
  return checked(env, status, result);
}

}  // namespace brimo
