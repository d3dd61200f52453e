// The module's own figures (its frame hub, its carriers and adapters), found
// through the dynamic loader in the module file that script names: tests and
// benchmarks read them beside the simulated SDK's counters.
#include <dlfcn.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "engine.h"

namespace parlo_sim {
namespace {

// The entry `symbol` of the loaded module file named by `settings.module`.
template <class Fn>
Fn module_entry(const json& settings, const char* symbol, const char* missing) {
  std::string path = settings.at("module").get<std::string>();
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (module == nullptr) throw std::invalid_argument("the module is not loaded: " + path);
  auto entry = reinterpret_cast<Fn>(dlsym(module, symbol));
  dlclose(module);
  if (entry == nullptr) throw std::invalid_argument(missing);
  return entry;
}

json hub_stats(const json& settings) {
  auto stats = module_entry<void (*)(uint64_t*)>(settings, "brimo_video_stats", "the module has no frame figures");
  uint64_t v[6] = {};
  stats(v);
  return json{{"stored", v[0]}, {"skipped", v[1]}, {"allocationFailures", v[2]},
              {"poolBlocksAllocated", v[3]}, {"poolFreeBlocks", v[4]}, {"held", v[5]}};
}

json bridge_stats(const json& settings) {
  auto stats = module_entry<void (*)(int64_t*)>(settings, "brimo_bridge_stats", "the module has no bridge figures");
  int64_t v[2] = {};
  stats(v);
  return json{{"calls", v[0]}, {"adapters", v[1]}};
}

// Carriers made and finalised by the runtime; alive is the difference.
json carrier_stats(const json& settings) {
  auto stats = module_entry<void (*)(uint64_t*)>(settings, "brimo_carrier_stats", "the module has no carrier figures");
  uint64_t v[2] = {};
  stats(v);
  return json{{"made", v[0]}, {"finalised", v[1]}, {"alive", v[0] - v[1]}};
}

const bool registered = add_command("hubStats", hub_stats) && add_command("bridgeStats", bridge_stats) &&
                        add_command("carrierStats", carrier_stats);

}  // namespace
}  // namespace parlo_sim
