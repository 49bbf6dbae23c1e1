/*
===============================================================================

	Swept-sphere collision primitive (a capsule), the usual body shape of
	characters: the points within mfRadius of the segment from C - A to
	C + A, C being the primitive's world position and A the world half
	axis. moVector is the half axis in the frame's space; a new primitive
	has (0, 0.1, 0) and radius 0. SetRadius and SetVector own the sizing
	rule: a half axis shorter than MIN_HALF_AXIS is lengthened to it (up
	when it is zero), and mfMaxRadius always holds r + |half axis|.

	The capsule mirrors the sphere's test and tests capsules, boxes and
	polygons itself, continuously over the motion: a hit reports the time
	of first contact, an overlap at the start the push out of it. Points
	beyond the axis's ends escape along a random heading; a body beside
	the axis slides off sideways.

===============================================================================
*/
#ifndef EF_OBJ_COLLISION_SWEPT_SPHERE_H
#define EF_OBJ_COLLISION_SWEPT_SPHERE_H

#include "framework/physics/EFObjCollisionPrim.h"

// Length along y of a new primitive's half axis.
constexpr f32 EF_SWEPT_SPHERE_DEFAULT_LENGTH = 0.1f;
// The shortest half axis a capsule keeps.
constexpr f32 EF_SWEPT_SPHERE_MIN_HALF_AXIS = 0.01f;

class EFObjCollisionSweptSphere : public EFObjCollisionPrim {
public:
	explicit				EFObjCollisionSweptSphere( DTFrame * frame );

	// The radius and the local half axis; both keep mfMaxRadius.
	void					SetRadius( f32 radius );
	void					SetVector( const DTVector3d & halfAxis );

	// The centre and the half axis in world space.
	void					PrecalcPrimData() override;
	// The single-polygon test with the world centre and half axis.
	u32						CheckEnvCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
											   EFEnvCollisionPrim * polygon ) override;
	u32						CheckObjPrimCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												   EFObjCollisionPrim * other ) override;
	bool					CheckPointIntersection( const DTVector3d & point ) const override;
	// Particles already marked with the global count are skipped; the
	// reach is the bounding radius plus the particle's.
	u32						CheckParticlesIntersection( PLParticle * first, bool count ) override;
	// A ray starting inside gives t = 0 and the reversed displacement as
	// its normal.
	u32						RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out, f32 & t ) override;
	f32						GetMinRadius() override;
	// A random heading beyond the axis's ends, else the horizontal
	// perpendicular of the axis on the position's side.
	void					GetEscapeNoPF( const DTVector3d & position, DTVector3d & escape,
										   DTVector3d & velocity ) const override;

	u32						CheckSphereCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												  EFObjCollisionPrim * other );
	u32						CheckSweptSphereCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
													   EFObjCollisionPrim * other );
	u32						CheckBBoxCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												EFObjCollisionPrim * other );
	u32						CheckPolygonCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												   EFObjCollisionPrim * other );
	// The capsule at centre with halfAxis against one polygon record, in
	// the polygon's space; environment is 1 for a collision map's polygon
	// (its attribute flags apply), 0 for a polygon primitive's.
	u32						CheckSinglePolygonCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
														 EFEnvCollisionPrim * polygon, const DTVector3d & centre,
														 const DTVector3d & halfAxis, u32 environment );

	DTVector3d				moWorldVector;
	f32						mfRadius;
	DTVector3d				moVector;
};

#endif
