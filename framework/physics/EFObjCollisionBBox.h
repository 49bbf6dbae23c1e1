/*
===============================================================================

	Box collision primitive: an oriented box about the primitive's centre
	with half extents H along the frame's axes (0 until the hot spot or
	the caller sets them; mfMaxRadius must then hold |H|).

	The box owns three matrices, created with it and destroyed with it:
	box to world, world to box, and the frame's world rotation transposed
	and scaled by H. A box whose matrices could not be created answers
	every test with "no contact".

	The box mirrors the sphere's and the capsule's tests and tests boxes
	and polygon primitives itself. Its tests and queries are not built
	yet: each answers "no contact".

===============================================================================
*/
#ifndef EF_OBJ_COLLISION_BBOX_H
#define EF_OBJ_COLLISION_BBOX_H

#include "framework/physics/EFObjCollisionPrim.h"

struct RwMatrix;

class EFObjCollisionBBox : public EFObjCollisionPrim {
public:
	explicit				EFObjCollisionBBox( DTFrame * frame );
							~EFObjCollisionBBox() override;

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

	u32						CheckBBoxCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												EFObjCollisionPrim * other );
	u32						CheckPolygonCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												   EFObjCollisionPrim * other );

	// Whether the three matrices exist.
	bool					HasMatrices() const;

	DTVector3d				moHalfExtents;
	RwMatrix *				mpoBoxToWorld;
	RwMatrix *				mpoWorldToBox;
	RwMatrix *				mpoScaledTranspose;
};

#endif
