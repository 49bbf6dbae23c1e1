#include "framework/physics/EFObjCollisionSweptSphere.h"

EFObjCollisionSweptSphere::EFObjCollisionSweptSphere( DTFrame * frame )
	: EFObjCollisionPrim( frame ), mfRadius( 0.0f ), moVector( 0.0f, EF_SWEPT_SPHERE_DEFAULT_LENGTH, 0.0f ) {
	mui32Shape = EF_PRIM_SWEPT_SPHERE;
}
