/*
===============================================================================

	Billboard manager (gpoBillboardMgr, made by the engine controller):
	groups of billboards in list order, appended at the tail, sharing one
	budget of billboards (500 until the logic sets another).

	A group is refused (-1, nothing added) when it would take the held
	count past the budget, when its block does not fit the heap's 32-bit
	sizes or cannot be allocated, or when its texture is unknown.

===============================================================================
*/
#ifndef EF_BILLBOARD_MGR_H
#define EF_BILLBOARD_MGR_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/containers/DTSimpleLinkList.h"
#include "framework/graphics/effects/EFBillboardGroup.h"

constexpr u32 EF_BILLBOARD_BUDGET		= 500;
constexpr u32 EF_BILLBOARD_ID_KIND		= 0x5A000000;
constexpr u32 EF_BILLBOARD_ID_MASK		= 0x00FFFFFF;

class EFBillboardMgr {
public:
							EFBillboardMgr();
							~EFBillboardMgr();

	// Frees every group; held 0, budget 500, id counter 0.
	void					Terminate();

	// The group's id, or 0xFFFFFFFF; the arrays come back through the
	// last four arguments.
	u32						AddBillboardGroup( u32 count, char* texture, u32 flags, DTVector3d** positions,
											   u32** colors, f32** rotations, f32** sizes );
	// 0, or -1 for an unknown id.
	s32						EnableBillboardGroupRender( u32 id, u32 enable );
	s32						RemoveBillboardGroup( u32 id );

	u32						GetBudget() const { return mui32Budget; }
	void					SetBudget( u32 budget ) { mui32Budget = budget; }

	// Every group whose render flag is set, in list order.
	void					Render();

	u32						mui32Budget;
	DTSimpleLinkList<EFBillboardGroup>	moGroups;

	static u32				smuiNumBillBoards;
	static u32				smuiCurrentGroupID;

private:
	EFBillboardGroup*		Find( u32 id ) const;
	static void				FreeGroup( EFBillboardGroup* group );
};

extern EFBillboardMgr*	gpoBillboardMgr;

#endif
