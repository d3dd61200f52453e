// Marks the module's diagnostic entry points (frame hub and carrier figures) as
// exported, so the simulated SDK's control module finds them through the dynamic
// loader. They are not on the module's script exports.
#pragma once

#if defined(_WIN32)
#define BRIMO_DIAGNOSTICS_EXPORT __declspec(dllexport)
#else
#define BRIMO_DIAGNOSTICS_EXPORT __attribute__((visibility("default")))
#endif
