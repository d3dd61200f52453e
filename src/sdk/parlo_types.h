// Basic types shared by every parlo SDK interface: completions and export macros.
// This directory is the only place in the module that knows the SDK's shapes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#if defined(_WIN32)
#define PARLO_API __declspec(dllimport)
#else
#define PARLO_API __attribute__((visibility("default")))
#endif

namespace parlo {

// The SDK invokes a completion at most once, on a thread of its choice, possibly
// before the operation that took it has returned.
using QVCompletion = std::function<void(int32_t code, const std::string& message)>;

template <class Result>
using QVResultCompletion =
    std::function<void(int32_t code, const std::string& message, const Result& result)>;

}  // namespace parlo
