/*
===============================================================================

	Environment probe (post-collision): watches one collision primitive
	of the body, optionally displaced and scaled for the test only, for
	contact with the environment polygons the stage gathered. The first
	polygon that one of the two masks lets through and whose nearest
	point lies inside the primitive is the contact: its normal, attribute
	record and nearest point are kept for logic (action 1).

	State word: 0 searching, 1 in contact, 2 contact lost. Lost is final
	until logic clears its bit; the contact is zeroed on the change to
	it. The changes to 1 and 2 are notified when the notify bits hold the
	new value.

	The module keeps a slot index read through the collision model: an
	unknown tag, or a slot array shrunk since, means no primitive and the
	update does nothing.

===============================================================================
*/
#ifndef EF_DM_ENV_COLL_H
#define EF_DM_ENV_COLL_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"
#include "framework/physics/EnvPrimAttribs.h"

class EFObjCollisionPrim;

// State values.
constexpr u32 EF_DM_ENV_COLL_CONTACT	= 1;
constexpr u32 EF_DM_ENV_COLL_LOST		= 2;

class EFDMEnvColl : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x40000022;

	explicit				EFDMEnvColl( EFPhysic * owner );
							~EFDMEnvColl() override = default;

	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMEnvCollParams; null: no primitive, zero offset, scale 1, masks 0.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;
	// 1: DMEnvCollContact.
	void					DoAction( u32 action, void * data ) override;

	// Scales the primitive for the test and gives the world offset.
	void					InitCollPrim( EFObjCollisionPrim * prim, DTVector3d & centre, DTVector3d & worldOffset );
	// Puts the saved size back.
	void					ResetCollPrim( EFObjCollisionPrim * prim );

	static EnvPrimAttribs	moNullAttribs;

	s32						mi32PrimIndex;
	DTVector3d				moOffset;
	f32						mfScale;
	u32						mui32UDDetectMask;
	u32						mui32DetectMask;
	u32						mui32LocalOffset;
	DTVector3d				moContactNormal;
	const EnvPrimAttribs *	mpoContactAttribs;
	DTVector3d				moContactPoint;
	f32						mfSavedRadius;
	DTVector3d				moSavedVector;

private:
	EFObjCollisionPrim *	GetPrim() const;
	bool					FindContact( EFCollisionStage & stage, EFObjCollisionPrim & prim,
										 const DTVector3d & centre, const DTVector3d & worldOffset );
};

#endif
