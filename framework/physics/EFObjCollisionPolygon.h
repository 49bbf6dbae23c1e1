/*
===============================================================================

	Polygon collision primitive: a set of flat convex polygons, records
	laid out as the environment map's polygons (28 + 28 n bytes each) and
	expressed in the primitive's own space, riding on a frame.

	It owns two matrices, created with it and destroyed with it: its space
	to world and back. Without them it answers every test with "no
	contact". It never moves actively: every pairwise test is the mirror
	of the other shape's, and two polygon primitives never collide. It has
	no environment, point, particle or escape answers; rays hit both
	sides of its polygons. The polygons are not owned: they are the
	model's plug-in data.

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

	// The polygon records: count of them from first (not owned); a null
	// first means none.
	void					SetPolygons( u32 count, EFEnvCollisionPrim * first );

	// The world position as the base computes it, the world matrix (the
	// frame's, at that position) and its inverse.
	void					PrecalcPrimData() override;
	// Moves the world position and both matrices' positions by v.
	void					Translate( const DTVector3d & v ) override;

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
