/*
===============================================================================

	Constant spin (pre-collision): turns the owner's frame in place about
	an axis of the object's own (unit, carried through the frame's
	modelling matrix) by speed × dt each pass. Speed 0, or an axis that
	is zero once normalised, turns nothing: a rotation about a zero axis
	would scale the frame instead.

===============================================================================
*/
#ifndef EF_DM_ROTATE_H
#define EF_DM_ROTATE_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

class EFDMRotate : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x1000000A;

	explicit				EFDMRotate( EFPhysic * owner );
							~EFDMRotate() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// DMRotateParams, the axis normalised (zero when it has no length);
	// null restores speed 0 about (0, 1, 0).
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	DTVector3d				moAxis;
	f32						mfSpeed;
};

#endif
