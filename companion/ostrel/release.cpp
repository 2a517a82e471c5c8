#include "ostrel.h"

// No file can be open yet; releasing any handle leaves nothing to keep.
extern "C" uint32_t COMPANIONAPI OstrelRelease(uint32_t) { return 0; }
