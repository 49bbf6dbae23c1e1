/*
===============================================================================

	Memory-card half of the save manager. Placeholder body: no card
	operation is started.

===============================================================================
*/
#ifndef EF_LOAD_SAVE_MGR_GC_H
#define EF_LOAD_SAVE_MGR_GC_H

#include "framework/core/save/EFLoadSaveMgr_BC.h"

class EFLoadSaveMgr_SP : public EFLoadSaveMgr_BC {
protected:
	u32						SpecificInitialize() override;
	void					SpecificUpdate() override;
};

#endif
