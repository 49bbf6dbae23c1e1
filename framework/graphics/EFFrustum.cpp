#include "framework/graphics/EFFrustum.h"

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
