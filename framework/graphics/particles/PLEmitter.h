/*
===============================================================================

	A particle emitter.

===============================================================================
*/
#ifndef PL_EMITTER_H
#define PL_EMITTER_H

#include "framework/graphics/particles/PLEmitter_BC.h"

class PLEmitter : public PLEmitter_BC {
};

#endif
