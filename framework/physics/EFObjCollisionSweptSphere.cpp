#include "framework/physics/EFObjCollisionSweptSphere.h"

EFObjCollisionSweptSphere::EFObjCollisionSweptSphere( DTFrame * frame )
	: EFObjCollisionPrim( frame ), moWorldVector(), mfRadius( 0.0f ),
	  moVector( 0.0f, EF_SWEPT_SPHERE_DEFAULT_LENGTH, 0.0f ) {
	SetShape( EF_PRIM_SWEPT_SPHERE );
}

u32 EFObjCollisionSweptSphere::CheckEnvCollision( const EFCheckCollisionIn &, EFCheckCollisionOut &,
												  EFEnvCollisionPrim * ) {
	return 0;
}

u32 EFObjCollisionSweptSphere::CheckObjPrimCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
													  EFObjCollisionPrim * other ) {
	switch ( other->mui32Shape ) {
	case EF_PRIM_SPHERE:
		return Mirror( in, out, other );
	case EF_PRIM_SWEPT_SPHERE:
		return CheckSweptSphereCollision( in, out, other );
	case EF_PRIM_BBOX:
		return CheckBBoxCollision( in, out, other );
	case EF_PRIM_POLYGON:
		return CheckPolygonCollision( in, out, other );
	default:
		return 0;
	}
}

bool EFObjCollisionSweptSphere::CheckPointIntersection( const DTVector3d & ) const {
	return false;
}

u32 EFObjCollisionSweptSphere::CheckParticlesIntersection( PLParticle *, bool ) {
	return 0;
}

u32 EFObjCollisionSweptSphere::RayIntersect( const RayIntersectIn &, EFRayIntersectOut &, f32 & ) {
	return 0;
}

f32 EFObjCollisionSweptSphere::GetMinRadius() {
	return mfRadius;
}

void EFObjCollisionSweptSphere::GetEscapeNoPF( const DTVector3d &, DTVector3d &, DTVector3d & ) const {
}

u32 EFObjCollisionSweptSphere::CheckSweptSphereCollision( const EFCheckCollisionIn &, EFCheckCollisionOut &,
														  EFObjCollisionPrim * ) {
	return 0;
}

u32 EFObjCollisionSweptSphere::CheckBBoxCollision( const EFCheckCollisionIn &, EFCheckCollisionOut &,
												   EFObjCollisionPrim * ) {
	return 0;
}

u32 EFObjCollisionSweptSphere::CheckPolygonCollision( const EFCheckCollisionIn &, EFCheckCollisionOut &,
													  EFObjCollisionPrim * ) {
	return 0;
}
