/*
===============================================================================

	A visibility volume of six planes, normals pointing out, and the
	projection it was built for. Plane order: 0 near, 1 far, 2 right (+x),
	3 left (-x), 4 top (+y), 5 bottom (-y). The camera looks along +z.

===============================================================================
*/
#ifndef EF_FRUSTUM_H
#define EF_FRUSTUM_H

#include "framework/graphics/EFCameraProjection_e.h"
#include "framework/graphics/EFPlane.h"

constexpr u32 EF_FRUSTUM_PLANES = 6;

class EFFrustum {
public:
	EFPlane					moPlanes[EF_FRUSTUM_PLANES];
	EFCameraProjection_e	meProjection;

							EFFrustum() : meProjection( EF_CAMERA_PERSPECTIVE ) {}

	// Builds the camera-space volume from the half view window (w, h),
	// the near and far distances and the projection, then normalises.
	void					SetFromCameraParams( f32 w, f32 h, f32 nearDist, f32 farDist, EFCameraProjection_e projection );
	// Makes every normal unit length; distances are kept as they are.
	void					Normalize();
	// Every plane carried by matrix into out.
	void					TransformPlanes( const DTMatrix & matrix, EFFrustum & out ) const;
};

#endif
