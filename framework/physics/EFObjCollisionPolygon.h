/*
===============================================================================

	Polygon collision primitive: a set of flat convex polygons, records
	laid out as the environment map's polygons (28 + 28 n bytes each) and
	expressed in the primitive's own space, riding on a frame.

	It owns two matrices, created with it and destroyed with it: its space
	to world and back. Without them it answers every test with "no
	contact". It never moves actively: every pairwise test is the mirror
	of the other shape's, and two polygon primitives never collide. Its
	ray test and escape are not built yet.

===============================================================================
*/
#ifndef EF_OBJ_COLLISION_POLYGON_H
#define EF_OBJ_COLLISION_POLYGON_H

#include "framework/physics/EFObjCollisionPrim.h"

struct RwMatrix;

class EFObjCollisionPolygon : public EFObjCollisionPrim {
public:
	explicit				EFObjCollisionPolygon( DTFrame * frame );
							~EFObjCollisionPolygon() override;

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

	// Whether both matrices exist.
	bool					HasMatrices() const { return mpoWorldMatrix != nullptr && mpoInverseMatrix != nullptr; }

	RwMatrix *				mpoWorldMatrix;
	RwMatrix *				mpoInverseMatrix;
	u32						mui32NbPolygons;
	EFEnvCollisionPrim *	mpoFirstPolygon;
};

#endif
