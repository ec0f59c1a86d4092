#include "plugin/qvmtsfrs.h"

// Placeholder until the boundary is built.
extern "C" uint8_t QV_CALL PlugInQuarvel(void) noexcept { return 1; }
