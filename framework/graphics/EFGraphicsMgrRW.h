/*
===============================================================================

	Platform half of the graphics manager: the 3D library's start and
	stop, the main rasters, the camera render state, the stencil emulation,
	the frame pacing and the flip.

	The constructor switches to the global heap, initialises the library
	on the engine's memory functions, attaches every plug-in, picks the
	render mode of the console's TV format, scales its vertical filter by
	BrightnessLevel (default 0.5, scale clamp(2 x level, 0, 2)), opens the
	device with the pixel format Stencil (default 1) selects, reads the
	sub-systems and video modes, starts the library, makes the main
	rasters and the shared work matrices and installs the pre-retrace
	filter MaxFPS (default 30) selects. DisplayMode "NTSC" selects TV mode
	0 and "PAL" mode 1 (values arrive upper-cased); anything else leaves
	the mode. The destructor takes the library down as far as this manager
	brought it up.

	Stencil emulation: destination alpha serves as the mask; Stencil is
	read again on every call.

===============================================================================
*/
#ifndef EF_GRAPHICS_MGR_RW_H
#define EF_GRAPHICS_MGR_RW_H

#include "framework/graphics/EFGraphicsMgr_BC.h"
#include "platform/gx/GXRenderMode.h"

class EFCamera;
struct RwRaster;
struct RxPipeline;

// The saved source blend of no saved blend.
constexpr u32 EF_NO_SAVED_BLEND = 0xFFFFFFFF;

class EFGraphicsMgr_SP : public EFGraphicsMgr_BC {
public:
	explicit				EFGraphicsMgr_SP( const EFAppContext& context );
							~EFGraphicsMgr_SP() override;

	// Reads DisplayMode and refreshes the driver and mode lists; the
	// argument is not used. Always 1.
	s32						SetVideoSettings( s32 showDialog );
	// Non-zero when every tested plug-in attached.
	s32						AttachPlugins();
	void					UpdateDriverVector();
	void					UpdateDisplayModeVector();
	// 0 when a main raster could not be made (it stays null).
	s32						CreateRasters();
	void					DestroyRasters();
	void					SetRenderState( EFCamera& camera );
	// With Stencil: frame-buffer alpha writes on or off.
	void					EnableStencilWrite( u32 enable );
	// With Stencil: on saves the source blend once and blends by inverse
	// destination alpha; off restores the saved blend.
	void					EnableStencilRead( u32 enable );
	// Non-zero stops every drawing, the flip included; zero resumes.
	void					Pause( u32 pause );
	// Shows the main camera raster and frees the disc message's frame
	// buffer.
	void					Flip();
	// Replaces the current texture dictionary by a new empty one.
	void					PostTerminate();

	f32						GetBrightnessLevel() const { return mfBrightnessLevel; }
	s32						GetMaxFPS() const { return mi32MaxFPS; }
	RwRaster*				GetCameraRaster() const { return mpoCameraRaster; }
	RwRaster*				GetDepthRaster() const { return mpoDepthRaster; }
	u32						GetSavedSrcBlend() const { return mui32SavedSrcBlend; }

private:
	void					FreeDriverNames();

	f32						mfBrightnessLevel;
	s32						mi32MaxFPS;
	RwRaster*				mpoCameraRaster;
	RwRaster*				mpoDepthRaster;
	u32						mui32SavedSrcBlend;
	// How far this manager brought the library up: 1 initialised, 2
	// opened, 3 started.
	u32						mui32LibraryState;
};

// One step of AttachPlugins: the attach and how its result is judged.
enum EFPlugInTest_e {
	EF_PLUGIN_FAILS_ON_ZERO,		// 0 ends the sequence
	EF_PLUGIN_FAILS_UNLESS_ONE,		// anything but 1 ends it
	EF_PLUGIN_UNTESTED,				// the result is not looked at
	EF_PLUGIN_IS_RESULT,			// the result is AttachPlugins' result
};
struct EFPlugInAttachStep_s {
	const char*		name;
	s32				( *attach )();
	EFPlugInTest_e	test;
};
constexpr u32 EF_PLUGIN_ATTACH_STEPS = 7;
// The library's collision, world, hierarchical animation and skin
// plug-ins, then the texture fader, the collision primitives and the
// atomic data, in the order they attach.
extern EFPlugInAttachStep_s gaoPlugInAttachSteps[EF_PLUGIN_ATTACH_STEPS];

// Creates nothing; 1.
s32		CreateAllPipeLine();
// Destroys each engine pipeline that is set and clears it.
void	DestroyAllPipeLine();
// Pre-retrace filters: every count, or only odd counts (30 a second).
void	Retrace60CallBack( u32 retraceCount );
void	Retrace30CallBack( u32 retraceCount );

// The pre-retrace callback installed before the engine's own.
extern void ( *RWPreRetraceCallBack )( u32 retraceCount );
// The render mode the device was opened with, shared with the movie player.
extern GXRenderModeObj	g_rmode;
// Engine pipelines that nothing makes.
extern RxPipeline*		gpPipeDbgWiredFrame;
extern RxPipeline*		gpPipeDbgTriangle;
extern RxPipeline*		gpPipeMaterialParticle;
extern RxPipeline*		gpPipeMaterialTest;
extern RxPipeline*		gpPipeInstanceParticle;
extern RxPipeline*		gpPipeInstanceAtomicTest;

#endif
