#include "framework/graphics/EFFrustum.h"

#include "datatypes/maths/DTMatrix.h"

#include <cmath>

void EFFrustum::SetFromCameraParams( const f32 w, const f32 h, const f32 nearDist, const f32 farDist,
									 const EFCameraProjection_e projection ) {
	moPlanes[0] = EFPlane( DTVector3d( 0.0f, 0.0f, -1.0f ), -nearDist );
	moPlanes[1] = EFPlane( DTVector3d( 0.0f, 0.0f, 1.0f ), farDist );
	if ( projection == EF_CAMERA_PARALLEL ) {
		moPlanes[2] = EFPlane( DTVector3d( 1.0f, 0.0f, 0.0f ), w );
		moPlanes[3] = EFPlane( DTVector3d( -1.0f, 0.0f, 0.0f ), w );
		moPlanes[4] = EFPlane( DTVector3d( 0.0f, 1.0f, 0.0f ), h );
		moPlanes[5] = EFPlane( DTVector3d( 0.0f, -1.0f, 0.0f ), h );
	} else {
		moPlanes[2] = EFPlane( DTVector3d( 1.0f, 0.0f, -w ), 0.0f );
		moPlanes[3] = EFPlane( DTVector3d( -1.0f, 0.0f, -w ), 0.0f );
		moPlanes[4] = EFPlane( DTVector3d( 0.0f, 1.0f, -h ), 0.0f );
		moPlanes[5] = EFPlane( DTVector3d( 0.0f, -1.0f, -h ), 0.0f );
	}
	meProjection = projection;
	Normalize();
}

void EFFrustum::Normalize() {
	for ( EFPlane & plane : moPlanes ) {
		const f32 length = std::sqrt( plane.moNormal.LengthSquare() );
		if ( length > 0.0f ) {
			plane.moNormal *= 1.0f / length;
		}
	}
}

void EFFrustum::TransformPlanes( const DTMatrix & matrix, EFFrustum & out ) const {
	for ( u32 i = 0; i < EF_FRUSTUM_PLANES; i++ ) {
		moPlanes[i].Transform( matrix, &out.moPlanes[i] );
	}
	out.meProjection = meProjection;
}

namespace {

// The point moved along axis until it lies on plane; unmoved when the axis
// runs parallel to the plane.
DTVector3d MoveOnto( const EFPlane & plane, const DTVector3d & point, const DTVector3d & axis ) {
	const f32 along = plane.moNormal * axis;
	if ( along == 0.0f ) {
		return point;
	}
	return point + axis * ( -plane.Distance( point ) / along );
}

}

EFFrustumProjection_e EFFrustum::ProjectOntoFrustum( const DTMatrix & matrix, const DTVector3d & point,
													 DTVector3d * out ) const {
	*out = point;
	if ( moPlanes[0].Distance( point ) > 0.0f ) {
		return EF_FRUSTUM_OUTSIDE_NEAR;
	}
	if ( moPlanes[1].Distance( point ) > 0.0f ) {
		return EF_FRUSTUM_OUTSIDE_FAR;
	}
	const bool right = moPlanes[2].Distance( point ) > 0.0f;
	const bool left = moPlanes[3].Distance( point ) > 0.0f;
	const bool top = moPlanes[4].Distance( point ) > 0.0f;
	const bool bottom = moPlanes[5].Distance( point ) > 0.0f;
	const DTVector3d & rightAxis = *matrix.GetRight();
	const DTVector3d & upAxis = *matrix.GetUp();
	if ( right ) {
		*out = MoveOnto( moPlanes[2], point, -rightAxis );
	} else if ( left ) {
		*out = MoveOnto( moPlanes[3], point, rightAxis );
	}
	if ( top ) {
		*out = MoveOnto( moPlanes[4], *out, -upAxis );
	} else if ( bottom ) {
		*out = MoveOnto( moPlanes[5], *out, upAxis );
	}
	if ( right ) {
		return top ? EF_FRUSTUM_OUTSIDE_RIGHT_TOP : ( bottom ? EF_FRUSTUM_OUTSIDE_RIGHT_BOTTOM : EF_FRUSTUM_OUTSIDE_RIGHT );
	}
	if ( left ) {
		return top ? EF_FRUSTUM_OUTSIDE_LEFT_TOP : ( bottom ? EF_FRUSTUM_OUTSIDE_LEFT_BOTTOM : EF_FRUSTUM_OUTSIDE_LEFT );
	}
	if ( top ) {
		return EF_FRUSTUM_OUTSIDE_TOP;
	}
	return bottom ? EF_FRUSTUM_OUTSIDE_BOTTOM : EF_FRUSTUM_INSIDE;
}
