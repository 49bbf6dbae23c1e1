/*
===============================================================================

	Object contact (post-collision): watches one primitive of the body
	for contact with one primitive of one other object. The body's
	contact notification (23) marks every such module of the body whose
	tags and other object match; after each pass with a stage the mark
	moves the state: a contact starting sets bit 0 (state 1), one ending
	sets bit 1 (state 2), each from state 0 and notified by the
	state-change rule. The mark is cleared after every pass.

	SetParams registers the body's owner for notification 23 (newest
	registration wins for one owner). The other object's id goes through
	the running-object rule.

===============================================================================
*/
#ifndef EF_DM_OBJ_COLL_H
#define EF_DM_OBJ_COLL_H

#include "framework/physics/EFPhysicModule.h"

class EFDMObjColl : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x40000023;

	explicit				EFDMObjColl( EFPhysic * owner );
							~EFDMObjColl() override = default;

	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMObjCollParams (registers for the contacts); null only clears the
	// contact mark.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	// Notification 23 to the owner: marks the matching modules; 0.
	static s32				CollisionCB( void * callerData, void * eventData );

	u32						mui32Tag;
	u32						mui32OtherTag;
	u32						mui32OtherObject;
	u32						mui32ContactSeen;
};

#endif
