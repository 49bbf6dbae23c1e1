#include "framework/physics/EFObjCollisionPolygon.h"

#include "graphics3d/core/RwMatrix.h"

#include <initializer_list>

EFObjCollisionPolygon::EFObjCollisionPolygon( DTFrame * frame )
	: EFObjCollisionPrim( frame ), mpoWorldMatrix( RwMatrixCreate() ), mpoInverseMatrix( RwMatrixCreate() ),
	  mui32NbPolygons( 0 ), mpoFirstPolygon( nullptr ) {
	SetShape( EF_PRIM_POLYGON );
}

EFObjCollisionPolygon::~EFObjCollisionPolygon() {
	for ( RwMatrix * matrix : { mpoWorldMatrix, mpoInverseMatrix } ) {
		if ( matrix != nullptr ) {
			RwMatrixDestroy( matrix );
		}
	}
}

u32 EFObjCollisionPolygon::CheckEnvCollision( const EFCheckCollisionIn &, EFCheckCollisionOut &,
											  EFEnvCollisionPrim * ) {
	return 0;
}

u32 EFObjCollisionPolygon::CheckObjPrimCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												  EFObjCollisionPrim * other ) {
	if ( !HasMatrices() || other->mui32Shape > EF_PRIM_BBOX ) {
		return 0;
	}
	return Mirror( in, out, other );
}

bool EFObjCollisionPolygon::CheckPointIntersection( const DTVector3d & ) const {
	return false;
}

u32 EFObjCollisionPolygon::CheckParticlesIntersection( PLParticle *, bool ) {
	return 0;
}

u32 EFObjCollisionPolygon::RayIntersect( const RayIntersectIn &, EFRayIntersectOut &, f32 & ) {
	return 0;
}

f32 EFObjCollisionPolygon::GetMinRadius() {
	return 0.0f;
}

void EFObjCollisionPolygon::GetEscapeNoPF( const DTVector3d &, DTVector3d &, DTVector3d & ) const {
}
