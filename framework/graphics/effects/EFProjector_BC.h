/*
===============================================================================

	Portable part of a projector: a positioned instance that throws its
	texture along the look-at axis of its frame. It owns a camera of its
	own (made with a frame of its own, deleted with the projector) whose
	frame, view window and projection describe the projection volume.

	Setters only store. Begin fills one occurrence for the projector
	manager and sets the camera up: the projector's world matrix becomes
	the camera frame's modelling matrix after the clip planes, view window
	and projection are set, so the frame is dirty and the next camera
	begin recomputes the camera's view matrix from it.

===============================================================================
*/
#ifndef EF_PROJECTOR_BC_H
#define EF_PROJECTOR_BC_H

#include "framework/core/world/EFPosData.h"

class EFCamera;
struct RwTexture;
struct _sProjectorOccurence;

// muiFlags.
constexpr u32 EF_PROJECTOR_VISIBLE			= 0x1;
// Projection types: 0 parallel, anything else perspective.
constexpr u32 EF_PROJECTOR_PARALLEL			= 0;

class EFProjector_BC : public EFPosData {
public:
	explicit				EFProjector_BC( u32 handle );
	// Deletes the camera.
							~EFProjector_BC() override;

	void					SetFlags( u32 flags ) { muiFlags = flags; }
	u32						GetFlags() const { return muiFlags; }
	u32						GetHandle() const { return muiHandle; }
	// Null when the current dictionary does not hold the name.
	void					SetTexture( const char * name );
	RwTexture *				GetTexture() const { return mpoTexture; }
	void					SetSize( f32 width, f32 height );
	void					SetReachDistance( f32 reach ) { mfReachDistance = reach; }
	void					SetColor( f32 a, f32 b, f32 c, f32 d );
	void					SetBlendingFunction( u32 function ) { muiBlendingFunction = function; }
	void					SetProjectionType( u32 type ) { muiProjectionType = type; }
	EFCamera *				GetCamera() const { return mpoCamera; }

	// Fills occurrence from the frame's world matrix and sets the camera up.
	void					Begin( _sProjectorOccurence & occurrence );

protected:
	u32						muiFlags;
	u32						muiHandle;
	RwTexture *				mpoTexture;
	f32						mfWidth;
	f32						mfHeight;
	f32						mfReachDistance;
	f32						mafColor[4];
	u32						muiBlendingFunction;
	u32						muiProjectionType;
	EFCamera *				mpoCamera;
};

#endif
