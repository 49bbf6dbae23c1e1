/*
===============================================================================

	Sphere collision primitive: the points within mfMaxRadius (R) of the
	primitive's centre moPrimPos. It adds no member: the bounding radius
	is the sphere's own radius, and the base class keeps the centre.

	The sphere tests every other shape itself (the later shapes mirror
	these tests): another sphere, a capsule, an oriented box (in the box's
	space) and a polygon primitive (in its space, polygon by polygon).
	The single-polygon test serves both the polygon primitive and the
	level's collision map; with the environment flag set it reads the
	polygon's attribute record: 0x1 two-sided, 0x2 a mover along the
	normal passes through. A one-sided polygon never pushes or stops the
	sphere towards its back.

	Results: 0 none; CS_COL_HIT a first contact at mfTime with the normal
	and the displacement up to it; CS_COL_PUSH an overlap at the start
	with the normal and mfPushSize; CS_COL_TOOLATE a contact beyond the
	maximum time; other bits are no-contact codes of the shared routines.

===============================================================================
*/
#ifndef EF_OBJ_COLLISION_SPHERE_H
#define EF_OBJ_COLLISION_SPHERE_H

#include "framework/physics/EFObjCollisionPrim.h"

class EFObjCollisionSphere : public EFObjCollisionPrim {
public:
	explicit				EFObjCollisionSphere( DTFrame * frame );

	// The single-polygon test at the centre, as an environment polygon.
	u32						CheckEnvCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
											   EFEnvCollisionPrim * polygon ) override;
	u32						CheckObjPrimCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												   EFObjCollisionPrim * other ) override;
	bool					CheckPointIntersection( const DTVector3d & point ) const override;
	// With count, every particle not yet marked with the global count is
	// tested and each touching one is marked and counted; without it the
	// walk stops at the first touching particle (marks are not read).
	u32						CheckParticlesIntersection( PLParticle * first, bool count ) override;
	// A ray starting inside gives t = 0; an equal t is accepted.
	u32						RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out, f32 & t ) override;
	f32						GetMinRadius() override;
	// The horizontal velocity's direction, or a random horizontal heading
	// (one of 256) for a body that hardly moves; the position is unused.
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
	// The sphere at centre against one polygon record; environment is 1
	// for a collision map's polygon (its attribute flags apply), 0 for a
	// polygon primitive's.
	u32						CheckSinglePolygonCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
														 EFEnvCollisionPrim * polygon, DTVector3d & centre,
														 u32 environment );
};

#endif
