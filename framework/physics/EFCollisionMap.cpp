#include "framework/physics/EFCollisionMap.h"

EFCollisionMap::EFCollisionMap() : mpoNextMap( nullptr ) {
}

EFCollisionMap::~EFCollisionMap() {
}

u32 EFCollisionMap::GetPrimitivesInSphere( EFGetPrimitivesInSphereData * ) {
	return 0;
}

RayIntersectResult EFCollisionMap::RayIntersect( const RayIntersectIn &, EFRayIntersectOut &, f32 & ) {
	return PS_RAY_NONE;
}
