/*
===============================================================================

	Swept-sphere collision primitive (a capsule): the points within
	mfRadius of the segment from C - A to C + A, C being the primitive's
	world position and A the world half axis. moVector is the half axis
	in the frame's space; a new primitive has (0, 0.1, 0) and radius 0,
	which the hot spot or the caller replace.

	The capsule mirrors the sphere's test and tests the later shapes
	itself. Its tests and queries are not built yet: each answers "no
	contact".

===============================================================================
*/
#ifndef EF_OBJ_COLLISION_SWEPT_SPHERE_H
#define EF_OBJ_COLLISION_SWEPT_SPHERE_H

#include "framework/physics/EFObjCollisionPrim.h"

// Length along y of a new primitive's half axis.
constexpr f32 EF_SWEPT_SPHERE_DEFAULT_LENGTH = 0.1f;

class EFObjCollisionSweptSphere : public EFObjCollisionPrim {
public:
	explicit				EFObjCollisionSweptSphere( DTFrame * frame );

	u32						CheckEnvCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
											   EFEnvCollisionPrim * polygon ) override;
	u32						CheckObjPrimCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												   EFObjCollisionPrim * other ) override;
	bool					CheckPointIntersection( const DTVector3d & point ) const override;
	u32						CheckParticlesIntersection( PLParticle * first, bool count ) override;
	u32						RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out, f32 & t ) override;
	f32						GetMinRadius() override;
	void					GetEscapeNoPF( const DTVector3d & position, DTVector3d & escape,
										   DTVector3d & velocity ) const override;

	u32						CheckSweptSphereCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
													   EFObjCollisionPrim * other );
	u32						CheckBBoxCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												EFObjCollisionPrim * other );
	u32						CheckPolygonCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												   EFObjCollisionPrim * other );

	DTVector3d				moWorldVector;
	f32						mfRadius;
	DTVector3d				moVector;
};

#endif
