/*
===============================================================================

	Frame distortion, portable half: which game object's mesh is drawn
	over the grabbed frame, at which level of detail, and the matrix that
	distorts the mesh before its vertices become texture coordinates.

	Parameters come as a type-2 block (EFFBDistortionParams). The object
	is looked up when they are set and its own id kept (0xFFFFFFFF when
	there is no such object); a given matrix is copied into the effect's
	own matrix (present from the first one on), while the caller's pointer is
	kept only to be handed back.

===============================================================================
*/
#ifndef EF_FB_EFFECT_FRAME_DISTORTION_BC_H
#define EF_FB_EFFECT_FRAME_DISTORTION_BC_H

#include "framework/graphics/effects/EFFBEffect.h"
#include "framework/logic/api/LogicTableFBEffects.h"
#include "graphics3d/core/RwMatrix.h"

class EFGameObject;

constexpr u32 EF_FB_EFFECT_FRAME_DISTORTION	= 2;
constexpr u32 EF_FB_NO_OBJECT				= 0xFFFFFFFF;


class EFFBEffect_FrameDistortion_BC : public EFFBEffect {
public:
							EFFBEffect_FrameDistortion_BC();

	// Enabled, the object exists and the camera of that clip slot sees it.
	bool					IsActive( u32 cameraIndex ) const override;
	void					Init( const EFCamera& camera ) override;
	void					Term() override;
	void					SetParams( u32 type, const void* params ) override;
	void					GetParams( u32 type, void* params ) const override;
	// The object's world position transformed by matrix; the origin
	// without the object.
	DTVector3d				GetPosition( const DTMatrix* matrix ) const override;

	u32						mui32First;
	u32						mui32ObjectId;
	u32						mui32Lod;
	// Null until a matrix is given, then &moOwnMatrix.
	DTMatrix*				mpoMatrix;
	RwMatrix				moOwnMatrix;
	DTMatrix*				mpoCallerMatrix;

protected:
	EFGameObject*			GetObject() const;
};

#endif
