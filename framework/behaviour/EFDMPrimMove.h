/*
===============================================================================

	Primitive anchor (pre-collision): moves the body so that one of its
	collision primitives stays at an anchor point. The anchor is taken
	again from the primitive when the primitive asks for it (prim flag
	0x2, then cleared) or after a physics frame in which the module did
	not run (frames the world spent paused excepted). A primitive whose
	attribute word 0 has 0x10 is left alone.

	The module keeps a slot index; an index that names no primitive (an
	unknown tag, or a slot array shrunk since) does nothing and reports
	the tag 0xFFFFFFFF.

===============================================================================
*/
#ifndef EF_DM_PRIM_MOVE_H
#define EF_DM_PRIM_MOVE_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

class EFObjCollisionPrim;

// Attribute word 0: the primitive is not held. Prim flag: re-anchor.
constexpr u32 EF_DM_PRIM_MOVE_SKIP		= 0x10;
constexpr u32 EF_DM_PRIM_MOVE_ANCHOR	= 0x2;

class EFDMPrimMove : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x1000000B;

	explicit				EFDMPrimMove( EFPhysic * owner );
							~EFDMPrimMove() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// DMPrimMoveParams: the tag's slot; null: slot 0.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	DTVector3d				moAnchor;
	u32						mui32PrimIndex;
	u32						mui32LastFrame;

private:
	EFObjCollisionPrim *	GetPrim() const;
};

#endif
