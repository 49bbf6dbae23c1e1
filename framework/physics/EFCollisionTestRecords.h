/*
===============================================================================

	Records of the collision tests.

	EFCheckCollisionIn/Out carry a shape test: the mover travels with
	moVelocity, relative to a still other party, for at most mfMaxTime
	seconds; a contact gives the time of first contact and the unit normal
	pointing from the other party towards the mover, an overlap at the
	start gives the normal and the depth.

	The other records belong to the shared geometric routines of
	EFObjCollisionPrim. Every position in them is relative: the still
	party's reference point is the origin.

	The routines and the shape tests answer with a set of the result bits
	below. Callers of the shape tests look only at CS_COL_HIT and
	CS_COL_PUSH.

===============================================================================
*/
#ifndef EF_COLLISION_TEST_RECORDS_H
#define EF_COLLISION_TEST_RECORDS_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

// First contact during the motion: time and normal are set.
constexpr u32 CS_COL_HIT			= 0x1;
// Overlap at the start (shape tests): normal and push size are set.
constexpr u32 CS_COL_PUSH			= 0x2;
// A contact exists beyond the maximum time or distance.
constexpr u32 CS_COL_TOOLATE		= 0x4;
// The parties already overlap at time 0.
constexpr u32 CS_COL_INSIDE			= 0x8;
// No contact: no relative motion, parallel motion or a miss.
constexpr u32 CS_COL_NOAPPROACH		= 0x10;
// No contact: it lies before time 0 (moving apart).
constexpr u32 CS_COL_PAST			= 0x20;
// The nearest point of segment 1 is its start, its end, or strictly on it.
constexpr u32 CS_COL_BEFORESTART	= 0x40;
constexpr u32 CS_COL_AFTEREND		= 0x80;
constexpr u32 CS_COL_INSEGMENT		= 0x100;
// The two lines are parallel.
constexpr u32 CS_COL_PARALLEL		= 0x200;
// The distance was found (nearest-point routines).
constexpr u32 CS_COL_DISTANCE		= 0x400;
// The nearest point of segment 2 is its start, its end, or on it.
constexpr u32 CS_COL_SEG2START		= 0x800;
constexpr u32 CS_COL_SEG2END		= 0x1000;
constexpr u32 CS_COL_SEG2INSIDE		= 0x2000;

struct EFCheckCollisionIn {
	f32						mfMaxTime;
	DTVector3d				moVelocity;
};

struct EFCheckCollisionOut {
	DTVector3d				moColNormal;
	// The mover's displacement up to the contact.
	DTVector3d				moEffectivePartDep;
	f32						mfPushSize;
	f32						mfTime;
};

// A sphere of radius mfRadius (both radii summed) at moPos moving with
// moVel against a point.
struct EFCheckSphereSphereCollisionIn {
	DTVector3d				moPos;
	DTVector3d				moVel;
	f32						mfRadius;
};

struct EFCheckSphereSphereCollisionOut {
	DTVector3d				moNormal;
	DTVector3d				moPartDep;
	f32						mfTime;
};

// The same sphere against the segment from the origin to moVector.
struct EFCheckSphereVectorCollisionIn {
	DTVector3d				moVector;
	DTVector3d				moPos;
	DTVector3d				moVel;
	f32						mfRadius;
};

struct EFCheckSphereVectorCollisionOut {
	DTVector3d				moNormal;
	DTVector3d				moPartDep;
	f32						mfTime;
};

// The same sphere against the segment from the origin to moSweep, within
// mfMaxTime.
struct EFCheckSphereSweepCollisionIn {
	DTVector3d				moSweep;
	DTVector3d				moPos;
	DTVector3d				moVel;
	f32						mfRadius;
	f32						mfMaxTime;
};

struct EFCheckSphereSweepCollisionOut {
	DTVector3d				moNormal;
	f32						mfTime;
};

// Line 1 through the origin along moVector1, line 2 through moPos along
// moVector2.
struct EFGetVectorVectorDistanceIn {
	DTVector3d				moVector1;
	DTVector3d				moVector2;
	DTVector3d				moPos;
};

struct EFGetVectorVectorDistanceOut {
	f32						mfDistance;
	// From line 1 towards line 2.
	DTVector3d				moNormal;
};

// Segment 1 from the origin to moVector1, segment 2 from moPos to moPos +
// moVector2; nothing beyond mfMaxDist.
struct EFVectorVectorNearestPointIn {
	DTVector3d				moVector1;
	DTVector3d				moVector2;
	DTVector3d				moPos;
	f32						mfMaxDist;
};

struct EFVectorVectorNearestPointOut {
	DTVector3d				moNearestPointNormal;
	f32						mfDistance;
};

// A line through moPos along moVector2, thickened by mfRadius and moving
// with moVelocity, against the line through the origin along moVector1.
struct EFCheckInfiniteVectorVectorCollisionIn {
	DTVector3d				moVector1;
	DTVector3d				moVector2;
	DTVector3d				moPos;
	DTVector3d				moVelocity;
	f32						mfRadius;
};

struct EFCheckInfiniteVectorVectorCollisionOut {
	DTVector3d				moNormal;
	f32						mfTime;
};

// The segment from moPos to moPos + moVector2, thickened and moving,
// against the segment from the origin to moVector1; moNormal and mfTime
// are a contact of the infinite lines that the caller already found.
struct EFCheckFiniteVectorVectorCollisionIn {
	DTVector3d				moVector1;
	DTVector3d				moVector2;
	DTVector3d				moPos;
	DTVector3d				moVelocity;
	f32						mfRadius;
	DTVector3d				moNormal;
	f32						mfTime;
	f32						mfMaxTime;
};

struct EFCheckFiniteVectorVectorCollisionOut {
	DTVector3d				moNormal;
	f32						mfTime;
};

// The running state of a box-box test: the velocity of the box being
// tested (world space), the normal so far, the exit and entry times, the
// push size, and the state: 2 while no axis separates the boxes, 1 once
// an entry time was taken from a face axis, 0 otherwise.
struct EFCheckBBBBCollision {
	DTVector3d				moVelocity;
	DTVector3d				moNormal;
	f32						mfExitTime;
	f32						mfEntryTime;
	f32						mfPushSize;
	u32						mui32State;
};

#endif
