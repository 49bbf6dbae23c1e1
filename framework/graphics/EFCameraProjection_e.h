/*
===============================================================================

	Projections of a camera and of the visibility volume built for it.

===============================================================================
*/
#ifndef EF_CAMERA_PROJECTION_E_H
#define EF_CAMERA_PROJECTION_E_H

enum EFCameraProjection_e {
	EF_CAMERA_PERSPECTIVE	= 0,
	EF_CAMERA_PARALLEL		= 1,
};

#endif
