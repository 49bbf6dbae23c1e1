/*
===============================================================================

	The particle manager, created and destroyed by the engine controller
	and held in gpoPLParticleMgr.

===============================================================================
*/
#ifndef PL_MGR_H
#define PL_MGR_H

#include "framework/graphics/particles/PLMgr_BC.h"

class PLMgr : public PLMgr_BC {
public:
							PLMgr();
							~PLMgr() override;
	void					Render();
};

extern PLMgr*	gpoPLParticleMgr;

#endif
