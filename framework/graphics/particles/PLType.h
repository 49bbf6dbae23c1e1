/*
===============================================================================

	A particle type.

===============================================================================
*/
#ifndef PL_TYPE_H
#define PL_TYPE_H

#include "framework/graphics/particles/PLType_BC.h"

class PLType : public PLType_BC {
};

#endif
