/*
===============================================================================

	Portable half of the memory-card save manager: the queue of card
	actions advanced one step a frame. Placeholder body: nothing is queued.

===============================================================================
*/
#ifndef EF_LOAD_SAVE_MGR_BC_H
#define EF_LOAD_SAVE_MGR_BC_H

#include "framework/core/save/EFLoadSaveBuff.h"

class EFLoadSaveMgr_BC : public EFLoadSaveBuff {
public:
	// 1.
	u32						Initialize();
	void					Update();
	void					Terminate();

protected:
	virtual u32				SpecificInitialize();
	virtual void			SpecificUpdate();
};

#endif
