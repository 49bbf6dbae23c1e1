#include "framework/physics/EFObjCollisionSphere.h"

EFObjCollisionSphere::EFObjCollisionSphere( DTFrame * frame ) : EFObjCollisionPrim( frame ) {
	SetShape( EF_PRIM_SPHERE );
}

u32 EFObjCollisionSphere::CheckEnvCollision( const EFCheckCollisionIn &, EFCheckCollisionOut &, EFEnvCollisionPrim * ) {
	return 0;
}

u32 EFObjCollisionSphere::CheckObjPrimCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												 EFObjCollisionPrim * other ) {
	switch ( other->mui32Shape ) {
	case EF_PRIM_SPHERE:
		return CheckSphereCollision( in, out, other );
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

bool EFObjCollisionSphere::CheckPointIntersection( const DTVector3d & ) const {
	return false;
}

u32 EFObjCollisionSphere::CheckParticlesIntersection( PLParticle *, bool ) {
	return 0;
}

u32 EFObjCollisionSphere::RayIntersect( const RayIntersectIn &, EFRayIntersectOut &, f32 & ) {
	return 0;
}

f32 EFObjCollisionSphere::GetMinRadius() {
	return mfMaxRadius;
}

void EFObjCollisionSphere::GetEscapeNoPF( const DTVector3d &, DTVector3d &, DTVector3d & ) const {
}

u32 EFObjCollisionSphere::CheckSphereCollision( const EFCheckCollisionIn &, EFCheckCollisionOut &, EFObjCollisionPrim * ) {
	return 0;
}

u32 EFObjCollisionSphere::CheckSweptSphereCollision( const EFCheckCollisionIn &, EFCheckCollisionOut &,
													 EFObjCollisionPrim * ) {
	return 0;
}

u32 EFObjCollisionSphere::CheckBBoxCollision( const EFCheckCollisionIn &, EFCheckCollisionOut &, EFObjCollisionPrim * ) {
	return 0;
}

u32 EFObjCollisionSphere::CheckPolygonCollision( const EFCheckCollisionIn &, EFCheckCollisionOut &,
												 EFObjCollisionPrim * ) {
	return 0;
}
