/*
===============================================================================

	Constraint rotation (pre-collision): turns the owner's frame a little
	each pass, about a pivot given in the object's axes, until its at
	axis points along one target direction and its up axis along
	another. The up axis snaps when the rate covers the whole turn or the
	up target lies along the current up. State bit 0 marks the first pass
	with both constraints met; the module never clears it.

===============================================================================
*/
#ifndef EF_DM_CONSTRAINT_ROTATION_H
#define EF_DM_CONSTRAINT_ROTATION_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

struct RwFrame;

class EFDMConstraintRotation : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x1000000E;

	explicit				EFDMConstraintRotation( EFPhysic * owner );
							~EFDMConstraintRotation() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// DMConstraintRotationParams; a target whose components are all below
	// 0.25 in size is not given, a given one is normalised.
	void					SetParams( void * params ) override;
	// Writes the targets and the rate; the record's pivot stays as it is.
	void					GetParams( void * params ) override;
	// The class defaults: SetParams (null).
	void					SetDefaultParams();

	DTVector3d				moUpTarget;
	DTVector3d				moAtTarget;
	DTVector3d				moPivot;
	u8						mbUpGiven;
	u8						mbAtGiven;
	f32						mfRate;

private:
	// Turns frame by radians about axis with the pivot kept in place.
	void					TurnAboutPivot( RwFrame * frame, const DTVector3d & axis, f32 radians ) const;
	void					SnapUp( RwFrame * frame ) const;
};

#endif
