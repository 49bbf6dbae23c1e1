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

// Results of ProjectOntoFrustum: which planes the point lay outside of.
enum EFFrustumProjection_e {
	EF_FRUSTUM_OUTSIDE_FAR			= 0,	// unchanged
	EF_FRUSTUM_OUTSIDE_NEAR			= 1,	// unchanged, whatever else
	EF_FRUSTUM_OUTSIDE_LEFT			= 2,
	EF_FRUSTUM_OUTSIDE_RIGHT		= 3,
	EF_FRUSTUM_OUTSIDE_TOP			= 4,
	EF_FRUSTUM_OUTSIDE_BOTTOM		= 5,
	EF_FRUSTUM_OUTSIDE_RIGHT_TOP	= 6,
	EF_FRUSTUM_OUTSIDE_LEFT_TOP		= 7,
	EF_FRUSTUM_OUTSIDE_RIGHT_BOTTOM	= 8,
	EF_FRUSTUM_OUTSIDE_LEFT_BOTTOM	= 9,
	EF_FRUSTUM_INSIDE				= 10,	// unchanged
};

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
	// Moves a point lying outside the side planes back onto them along
	// the camera's own axes (right: matrix's first row, up: its second),
	// the left or right plane first. Every test reads the unchanged
	// point; a point outside the near or far plane is not moved.
	EFFrustumProjection_e	ProjectOntoFrustum( const DTMatrix & matrix, const DTVector3d & point, DTVector3d * out ) const;
};

#endif
