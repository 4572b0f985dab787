// Seam of the buffer unit: what buffers take their storage from.
#ifndef LUMO_LUMOBUFFERDATA_P_H
#define LUMO_LUMOBUFFERDATA_P_H

#include "lumo/lumoglobal.h"

// Replaces Lumo::poolAllocate for new buffers; null restores it.
typedef void* (*LumoBufferAllocator)(unsigned int size);
LUMO_AUTOTEST_EXPORT void lumoBufferSetAllocator(LumoBufferAllocator allocator);

#endif
