#include "framework/physics/EFObjCollisionSphere.h"

EFObjCollisionSphere::EFObjCollisionSphere( DTFrame * frame ) : EFObjCollisionPrim( frame ), mfRadius( 0.0f ) {
	mui32Shape = EF_PRIM_SPHERE;
}
