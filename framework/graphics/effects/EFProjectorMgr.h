/*
===============================================================================

	The projector manager (global object goProjectorMgr).

===============================================================================
*/
#ifndef EF_PROJECTOR_MGR_H
#define EF_PROJECTOR_MGR_H

#include "framework/graphics/effects/EFProjectorMgrRW.h"

class EFProjectorMgr : public EFProjectorMgr_SP {
};

extern EFProjectorMgr	goProjectorMgr;

#endif
