/*
===============================================================================

	A projector as the projector manager keeps it: once per rendered
	camera, a visible projector with a texture hands one occurrence to the
	manager; End has nothing to do.

===============================================================================
*/
#ifndef EF_PROJECTOR_H
#define EF_PROJECTOR_H

#include "framework/graphics/effects/EFProjector_BC.h"

class EFProjector : public EFProjector_BC {
public:
	explicit				EFProjector( u32 handle ) : EFProjector_BC( handle ) {}

	// Adds an occurrence to goProjectorMgr when visible and textured.
	void					Begin();
	void					End() {}
};

#endif
