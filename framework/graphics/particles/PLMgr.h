/*
===============================================================================

	The particle manager, created and destroyed by the engine controller
	and held in gpoPLParticleMgr.

	"PL_TYPE_CONTAINER" (class 41) and "PL_EMITTER_CONTAINER" (class 37)
	hand out this single manager, so a level's type records and then its
	emitter records load into it; no loader ever deletes it.

===============================================================================
*/
#ifndef PL_MGR_H
#define PL_MGR_H

#include "framework/graphics/particles/PLMgr_BC.h"

constexpr s32 PL_EMITTER_CONTAINER_CLASS_ID	= 37;
constexpr s32 PL_TYPE_CONTAINER_CLASS_ID	= 41;

class PLMgr : public PLMgr_BC {
public:
							PLMgr();
	// Also destroys the types' shared default material.
							~PLMgr() override;

	// The registry's factory: the existing manager, or null.
	static void *			Instanciate();
	// True: the controller owns the manager.
	bool					IsOwnedElsewhere() const override;
};

extern PLMgr*	gpoPLParticleMgr;

#endif
