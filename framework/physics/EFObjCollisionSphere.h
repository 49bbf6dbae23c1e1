/*
===============================================================================

	Sphere collision primitive: the points within mfMaxRadius of the
	primitive's centre. It adds no member: the bounding radius is the
	sphere's own radius.

	The sphere tests every other shape itself. Its tests and queries are
	not built yet: each answers "no contact".

===============================================================================
*/
#ifndef EF_OBJ_COLLISION_SPHERE_H
#define EF_OBJ_COLLISION_SPHERE_H

#include "framework/physics/EFObjCollisionPrim.h"

class EFObjCollisionSphere : public EFObjCollisionPrim {
public:
	explicit				EFObjCollisionSphere( DTFrame * frame );

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

	u32						CheckSphereCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												  EFObjCollisionPrim * other );
	u32						CheckSweptSphereCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
													   EFObjCollisionPrim * other );
	u32						CheckBBoxCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												EFObjCollisionPrim * other );
	u32						CheckPolygonCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												   EFObjCollisionPrim * other );
};

#endif
