/*
===============================================================================

	Transform of one joint in the animation system, 72 bytes.

	Arrays of these are copied and reset in bulk. State bit 0 says the
	Euler angles changed and the quaternion must be rebuilt from them; this
	class sets and clears only that bit (the animation code owns the
	others). muiJointIndex is 0xFFFFFFFF for a record bound to no joint.

===============================================================================
*/
#ifndef DT_TRANSFO_H
#define DT_TRANSFO_H

#include "datatypes/maths/DTQuaternion.h"
#include "datatypes/maths/DTVector3d.h"

// State bit: the Euler angles are newer than the quaternion.
constexpr u32 DT_TRANSFO_EULER_CHANGED	= 0x1;
// Joint index of a record bound to no joint.
constexpr u32 DT_TRANSFO_NO_JOINT		= 0xFFFFFFFF;

class DTTransfo {
public:
	// Unit scaling, everything else zero, no joint.
							DTTransfo();

	// Copies count consecutive records from source into this record and
	// the ones after it.
	void					Copy( const DTTransfo * source, const u32 count );
	// For this record and the count - 1 after it: unit scaling, zero
	// translation and angles, state exactly DT_TRANSFO_EULER_CHANGED.
	// Rotation, inverse parent scale and joint index stay.
	void					ResetEuler( const u32 count );
	// Rebuilds the quaternion from the Euler angles when they changed.
	void					UpdateTransfo();

	DTVector3d				mScaling;
	DTVector3d				mTranslation;
	DTVector3d				mEulerRotation;
	DTQuaternion			mRotation;
	DTVector3d				mInverseScaleParent;
	u32						muiState;
	u32						muiJointIndex;
};

static_assert( sizeof( DTTransfo ) == 72, "a joint transform is 72 bytes" );

#endif
