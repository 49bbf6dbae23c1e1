/*
===============================================================================

	Box collision primitive: an oriented box about the primitive's centre
	with half extents H along its frame's axes, turning with the frame.
	SetHalfExtents keeps mfMaxRadius = |H|, the radius of the sphere about
	the centre that holds the box.

	The box owns three matrices, created with it and destroyed with it:
	box to world (the frame's world rotation at the box's centre; its rows
	are the box's axes), world to box, and the frame's world rotation
	transposed and scaled by H, which turns a direction u into the
	components (u . axis_k) H_k, so that their magnitudes sum to the box's
	half size along u. A box whose matrices could not be created answers
	every test with "no contact". It borrows DTMatrix::mpoWork within a
	call and keeps nothing in it.

	The box mirrors the sphere's and the capsule's tests and tests boxes
	and polygons itself by separating axes, with entry and exit times of
	the moving box: a hit reports the time of first contact, an overlap
	at the start the shallowest push found.

===============================================================================
*/
#ifndef EF_OBJ_COLLISION_BBOX_H
#define EF_OBJ_COLLISION_BBOX_H

#include "framework/physics/EFObjCollisionPrim.h"

struct RwMatrix;
class EFPlane;

class EFObjCollisionBBox : public EFObjCollisionPrim {
public:
	explicit				EFObjCollisionBBox( DTFrame * frame );
							~EFObjCollisionBBox() override;

	// The half extents; keeps mfMaxRadius.
	void					SetHalfExtents( const DTVector3d & halfExtents );

	// The centre, the box's matrices and the scaled transpose.
	void					PrecalcPrimData() override;
	// Moves the centre and both box matrices.
	void					Translate( const DTVector3d & v ) override;
	// The single-polygon test with the record's own plane and vertices.
	u32						CheckEnvCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
											   EFEnvCollisionPrim * polygon ) override;
	u32						CheckObjPrimCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												   EFObjCollisionPrim * other ) override;
	bool					CheckPointIntersection( const DTVector3d & point ) const override;
	// Particles marked with the global count are skipped in both modes.
	u32						CheckParticlesIntersection( PLParticle * first, bool count ) override;
	// Slabs in box space; a ray starting inside gives t = 0 and the
	// nearest face's normal.
	u32						RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out, f32 & t ) override;
	// The smallest half extent.
	f32						GetMinRadius() override;
	// Off the side of the box the position lies beyond, measured from the
	// frame's origin; diagonal beyond a corner.
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
	// The box against one polygon in world space. With environment 1 the
	// record's plane, vertices and attribute flags are used; with 0 the
	// given plane (a point P lies at n . P + d) and vertices, two-sided
	// and unfiltered. The vertex count is the record's.
	u32						CheckSinglePolygonCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
														 EFEnvCollisionPrim * polygon, const EFPlane * plane,
														 const DTVector3d * vertices, u32 environment );
	// This box against the other box's three face axes, in its space, on
	// the running state: 0, 1 (an entry taken) or 2 (a push taken), or
	// CS_COL_NOAPPROACH / CS_COL_PAST when they never meet.
	u32						CheckBBPtBBCollision( EFCheckBBBBCollision & state, EFObjCollisionBBox * other );

	// Whether the three matrices exist.
	bool					HasMatrices() const;

	DTVector3d				moHalfExtents;
	RwMatrix *				mpoBoxToWorld;
	RwMatrix *				mpoWorldToBox;
	RwMatrix *				mpoScaledTranspose;
};

#endif
