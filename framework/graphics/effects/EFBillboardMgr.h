/*
===============================================================================

	Billboard manager (gpoBillboardMgr), created by the engine controller.

	Placeholder body: it keeps its budget word, 500 until the billboards
	are built and reset to 500 by Terminate; no group is ever made.

===============================================================================
*/
#ifndef EF_BILLBOARD_MGR_H
#define EF_BILLBOARD_MGR_H

#include "datatypes/base/DTTypes.h"

class DTVector3d;

constexpr u32 EF_BILLBOARD_BUDGET = 500;

class EFBillboardMgr {
public:
							EFBillboardMgr();
							~EFBillboardMgr();

	void					Terminate();

	// Id 0x5A000000 | counter, or 0xFFFFFFFF.
	u32						AddBillboardGroup( u32 count, char* texture, u32 flags, DTVector3d** positions,
											   u32** colors, f32** sizes, f32** angles );
	s32						EnableBillboardGroupRender( u32 id, u32 enable );
	// 0xFFFFFFFF when the group is unknown.
	s32						RemoveBillboardGroup( u32 id );

	u32						GetBudget() const { return mui32Budget; }

	void					Render();

private:
	u32						mui32Budget;
};

extern EFBillboardMgr*	gpoBillboardMgr;

#endif
