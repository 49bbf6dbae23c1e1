/*
===============================================================================

	Engine data on library atomics (plug-in 0x01BAD008). Placeholder:
	attaching succeeds and registers nothing yet.

===============================================================================
*/
#ifndef AP_ATOMIC_DATA_PLUGIN_H
#define AP_ATOMIC_DATA_PLUGIN_H

#include "datatypes/base/DTTypes.h"

// 1 on success.
s32		ApAtomicDataPluginAttach();

#endif
