/*
===============================================================================

	Brings a camera's view volumes up to date for a visibility test: the
	camera-space volume rebuilt from the view window, clip planes and
	projection when the view changed, the world-space volume carried by the
	camera's frame (when it has one), then the guard band.

===============================================================================
*/
#ifndef EF_CAMERA_FRUSTUM_H
#define EF_CAMERA_FRUSTUM_H

class EFCamera;

void EFRefreshWorldFrustum( EFCamera & camera );

#endif
