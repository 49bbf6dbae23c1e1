#include "framework/graphics/EFPlane.h"

#include "datatypes/maths/DTMatrix.h"

void EFPlane::Transform( const DTMatrix & matrix, EFPlane * out ) const {
	const DTVector3d & right = *matrix.GetRight();
	const DTVector3d & up = *matrix.GetUp();
	const DTVector3d & at = *matrix.GetAt();
	// Row vectors: the normal maps like a direction.
	const DTVector3d normal = right * moNormal.x + up * moNormal.y + at * moNormal.z;
	out->moNormal = normal;
	out->mfD = *matrix.GetPos() * normal + mfD;
}
