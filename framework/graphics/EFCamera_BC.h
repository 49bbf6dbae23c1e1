/*
===============================================================================

	Portable base of the scene camera: a positioned instance whose frame
	is made here when the caller gives none.

===============================================================================
*/
#ifndef EF_CAMERA_BC_H
#define EF_CAMERA_BC_H

#include "framework/core/world/EFPhysicData.h"

class EFCamera_BC : public EFPhysicData {
public:
	// A null frame gives the camera a frame of its own.
	explicit				EFCamera_BC( DTFrame* frame );
							~EFCamera_BC() override;
};

#endif
