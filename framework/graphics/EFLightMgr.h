/*
===============================================================================

	The light manager, created and destroyed by the world and held in
	gpoEFLightMgr meanwhile.

===============================================================================
*/
#ifndef EF_LIGHT_MGR_H
#define EF_LIGHT_MGR_H

#include "framework/graphics/EFLightMgr_BC.h"

class EFLightMgr : public EFLightMgr_BC {
};

extern EFLightMgr*	gpoEFLightMgr;

#endif
