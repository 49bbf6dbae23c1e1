#include "framework/graphics/EFPlane.h"

#include "datatypes/maths/DTMatrix.h"

#include <cmath>

void EFPlane::Transform( const DTMatrix & matrix, EFPlane * out ) const {
	const DTVector3d & right = *matrix.GetRight();
	const DTVector3d & up = *matrix.GetUp();
	const DTVector3d & at = *matrix.GetAt();
	// Row vectors: the normal maps like a direction.
	const DTVector3d normal = right * moNormal.x + up * moNormal.y + at * moNormal.z;
	out->moNormal = normal;
	out->mfD = *matrix.GetPos() * normal + mfD;
}

EFPlaneRayIntersectResult_e EFPlane::IntersectRay( const DTVector3d & origin, const DTVector3d & direction,
												   DTVector3d * hit ) const {
	const f32 denominator = moNormal * direction;
	if ( std::fabs( denominator ) < EF_PLANE_RAY_EPSILON ) {
		return std::fabs( Distance( origin ) ) < EF_PLANE_RAY_EPSILON ? EFPLANE_RAY_IN_PLANE : EFPLANE_RAY_PARALLEL;
	}
	const f32 t = ( mfD - moNormal * origin ) / denominator;
	*hit = origin + direction * t;
	return EFPLANE_RAY_POINT;
}
