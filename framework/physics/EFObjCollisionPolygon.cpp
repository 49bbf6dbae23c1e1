#include "framework/physics/EFObjCollisionPolygon.h"

EFObjCollisionPolygon::EFObjCollisionPolygon( DTFrame * frame ) : EFObjCollisionPrim( frame ) {
	mui32Shape = EF_PRIM_POLYGON;
}
