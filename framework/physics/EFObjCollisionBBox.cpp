#include "framework/physics/EFObjCollisionBBox.h"

#include "graphics3d/core/RwMatrix.h"

#include <initializer_list>

EFObjCollisionBBox::EFObjCollisionBBox( DTFrame * frame )
	: EFObjCollisionPrim( frame ), moHalfExtents(), mpoBoxToWorld( RwMatrixCreate() ), mpoWorldToBox( RwMatrixCreate() ),
	  mpoScaledTranspose( RwMatrixCreate() ) {
	SetShape( EF_PRIM_BBOX );
}

EFObjCollisionBBox::~EFObjCollisionBBox() {
	for ( RwMatrix * matrix : { mpoBoxToWorld, mpoWorldToBox, mpoScaledTranspose } ) {
		if ( matrix != nullptr ) {
			RwMatrixDestroy( matrix );
		}
	}
}

bool EFObjCollisionBBox::HasMatrices() const {
	return mpoBoxToWorld != nullptr && mpoWorldToBox != nullptr && mpoScaledTranspose != nullptr;
}

u32 EFObjCollisionBBox::CheckEnvCollision( const EFCheckCollisionIn &, EFCheckCollisionOut &, EFEnvCollisionPrim * ) {
	return 0;
}

u32 EFObjCollisionBBox::CheckObjPrimCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
											   EFObjCollisionPrim * other ) {
	if ( !HasMatrices() ) {
		return 0;
	}
	switch ( other->mui32Shape ) {
	case EF_PRIM_SPHERE:
	case EF_PRIM_SWEPT_SPHERE:
		return Mirror( in, out, other );
	case EF_PRIM_BBOX:
		return CheckBBoxCollision( in, out, other );
	case EF_PRIM_POLYGON:
		return CheckPolygonCollision( in, out, other );
	default:
		return 0;
	}
}

bool EFObjCollisionBBox::CheckPointIntersection( const DTVector3d & ) const {
	return false;
}

u32 EFObjCollisionBBox::CheckParticlesIntersection( PLParticle *, bool ) {
	return 0;
}

u32 EFObjCollisionBBox::RayIntersect( const RayIntersectIn &, EFRayIntersectOut &, f32 & ) {
	return 0;
}

f32 EFObjCollisionBBox::GetMinRadius() {
	return 0.0f;
}

void EFObjCollisionBBox::GetEscapeNoPF( const DTVector3d &, DTVector3d &, DTVector3d & ) const {
}

u32 EFObjCollisionBBox::CheckBBoxCollision( const EFCheckCollisionIn &, EFCheckCollisionOut &, EFObjCollisionPrim * ) {
	return 0;
}

u32 EFObjCollisionBBox::CheckPolygonCollision( const EFCheckCollisionIn &, EFCheckCollisionOut &, EFObjCollisionPrim * ) {
	return 0;
}
