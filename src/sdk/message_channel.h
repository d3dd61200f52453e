// The SDK's message channel service. Its operations are declared with the channel.
#pragma once

#include "sdk/parlo_types.h"

namespace parlo {

class IQVMessageChannelService {
 protected:
  virtual ~IQVMessageChannelService() = default;
};

}  // namespace parlo
