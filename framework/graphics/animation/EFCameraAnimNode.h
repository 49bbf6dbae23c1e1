/*
===============================================================================

	Animation node that flies a camera ("EF_CAMERA_ANIM_NODE", class 83).

	Its data block has the skeletal layout; only the channels are read
	(joints and set flags are not): targets 3-5 the position, 6 the x
	rotation (negated), 7 the y rotation (plus pi), 8 the z rotation, 20
	the lens focal length, which sets the camera's field of view to
	2 atan(12.4471197 / f) at once. The rotation part of the camera
	frame's matrix is rebuilt only when a rotation channel exists; the
	position is always set. Without a camera (Connect accepts only ids of
	kind 0x10) the node does nothing.

===============================================================================
*/
#ifndef EF_CAMERA_ANIM_NODE_H
#define EF_CAMERA_ANIM_NODE_H

#include "framework/graphics/animation/EFAnimNode.h"

class EFCamera;

constexpr s32 EF_CAMERA_ANIM_NODE_CLASS_ID	= 83;
// Kind (top byte) of camera ids.
constexpr u32 EF_CAMERA_ID_KIND				= 0x10;
// Channel of the lens focal length.
constexpr u32 EF_CAMERA_TARGET_FOCAL		= 20;
// Half the film width the focal length is measured against.
constexpr f32 EF_CAMERA_HALF_FILM			= 12.4471197f;

class EFCameraAnimNode : public EFAnimNode {
public:
							EFCameraAnimNode();

	static void *			Instanciate();

	EFAnimNode *			ShallowCopy() override;
	bool					Initialize( DTCreationParameters * params ) override;
	void					Connect( EFPosData * target ) override;
	f32						Update( f32 dt, DTWorkMemory & workMemory ) override;
	bool					Stop() override;

	EFCamera *				mpCamera;
};

#endif
