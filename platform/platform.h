#pragma once
#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace platform {

// What the system asks of Windows, handed to each unit by its deliverable.
struct Platform {
    Registry& registry;
    System& system;
    Clock& clock;
};

}  // namespace platform
