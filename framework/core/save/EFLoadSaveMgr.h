/*
===============================================================================

	The memory-card save manager, one global object (goLoadSaveMgr).

===============================================================================
*/
#ifndef EF_LOAD_SAVE_MGR_H
#define EF_LOAD_SAVE_MGR_H

#include "framework/core/save/EFLoadSaveMgrGC.h"

class EFLoadSaveMgr : public EFLoadSaveMgr_SP {
};

extern EFLoadSaveMgr	goLoadSaveMgr;

#endif
