#include "datatypes/maths/DTMatrix.h"

#include <cmath>

DTMatrix *	DTMatrix::mpoWork = nullptr;
DTMatrix *	DTMatrix::mpoWorkIn = nullptr;
u8			DTMatrix::bInit = 0;

namespace {

f32 SineOf( const f32 angle ) {
	return static_cast<f32>( std::sin( static_cast<f64>( angle ) ) );
}

f32 CosineOf( const f32 angle ) {
	return static_cast<f32>( std::cos( static_cast<f64>( angle ) ) );
}

} // namespace

void DTMatrix::SetToRotation( const DTVector3d & euler ) {
	const f32 sx = SineOf( euler.x );
	const f32 cx = CosineOf( euler.x );
	const f32 sy = SineOf( euler.y );
	const f32 cy = CosineOf( euler.y );
	const f32 sz = SineOf( euler.z );
	const f32 cz = CosineOf( euler.z );
	oMat.right = { cy * cz, cy * sz, -sy };
	oMat.up = { sx * sy * cz - cx * sz, sx * sy * sz + cx * cz, sx * cy };
	oMat.at = { cx * sy * cz + sx * sz, cx * sy * sz - sx * cz, cx * cy };
}
