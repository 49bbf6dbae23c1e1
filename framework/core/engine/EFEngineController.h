/*
===============================================================================

	Engine controller: the engine's spine.

	StartEngine makes the one controller (gpoEngineController) from the
	start-up context. Its constructor creates every manager and publishes
	it; InitializeFramework initialises them in a fixed order, stopping at
	the first failure; MainLoop runs frames until the quit flag is set;
	TerminateFramework and the destructor take everything down.

	Frame time: each frame's measured time goes into a ring of ten entries
	(each starting at 0.02 s) and is clamped there to [0.0001, 0.05] s; the
	frame step is the mean of the ring. A level change asked for during a
	frame is carried out after the frame's last step. While a movie plays
	only the controllers, palettes, motion trails and the render run.

	On the host a frame count (HostSettings::framesToRun, 0 = none) sets
	the quit flag once reached, so the normal shutdown runs.

===============================================================================
*/
#ifndef EF_ENGINE_CONTROLLER_H
#define EF_ENGINE_CONTROLLER_H

#include "datatypes/base/DTTypes.h"
#include "framework/core/input/EFDemoLoop.h"
#include "framework/core/engine/EFTimer.h"

class EFAppContext;
class EFCamera;

// Flags.
constexpr u32 EF_CONTROLLER_SINGLE_STEP    = 0x1;	// never used
constexpr u32 EF_CONTROLLER_RUNNING        = 0x2;
constexpr u32 EF_CONTROLLER_QUIT           = 0x4;
constexpr u32 EF_CONTROLLER_LEVEL_PENDING  = 0x8;
constexpr u32 EF_CONTROLLER_MOVIE_PENDING  = 0x10;
constexpr u32 EF_CONTROLLER_CLOCK_SLAVING  = 0x20;	// nothing sets it

constexpr u32 EF_FRAME_TIME_RING_SIZE     = 10;
constexpr f32 EF_FRAME_TIME_INITIAL       = 0.02f;
constexpr f32 EF_FRAME_TIME_MIN           = 0.0001f;
constexpr f32 EF_FRAME_TIME_MAX           = 0.05f;

constexpr u32 EF_CONTROLLER_LANGUAGE_SIZE = 510;
constexpr u32 EF_CONTROLLER_PATH_SIZE     = 500;
constexpr u32 EF_CONTROLLER_PREFIX_SIZE   = 502;
constexpr u32 EF_DEMO_LAUNCH_WORDS        = 4;

class EFEngineController {
public:
	explicit				EFEngineController( const EFAppContext& context );
							~EFEngineController();
							EFEngineController( const EFEngineController& ) = delete;
	EFEngineController&		operator=( const EFEngineController& ) = delete;

	// 1 after a normal quit, 0 when the framework could not be initialised
	// (the controller is then left allocated).
	static u32				StartEngine( const EFAppContext& context );

	// 1, or 0 at the first manager that failed.
	u32						InitializeFramework();
	void					MainLoop();
	void					LoadLevel( u32 argument );
	void					Reset();
	void					TerminateFramework();
	void					FrameDone( f32 dt );
	void					ForceClass();

	// Frame-time rule: enters a measured time and returns the new step.
	f32						AddFrameTime( f32 raw );

	u32						GetFlags() const { return mui32Flags; }
	void					SetFlags( u32 flags ) { mui32Flags |= flags; }
	void					ClearFlags( u32 flags ) { mui32Flags &= ~flags; }
	f32						GetFrameDeltaTime() const { return mfFrameTime; }
	f32						GetGameTime() const { return mfGameTime; }
	u32						GetFrameCounter() const { return mui32FrameCounter; }
	const char*				GetLanguage() const { return mszLanguage; }
	const char*				GetLevelPath() const { return mszLevelPath; }
	const char*				GetResFilename() const { return mszResFilename; }
	const char*				GetPathPrefix() const { return mszPathPrefix; }
	u32						GetDemoLaunchData( u32 index ) const;
	// Bounded copies into the level path and the language: a longer text
	// is cut (debug print), a null one changes nothing.
	void					SetLevelPath( const char* path );
	void					SetLanguage( const char* language );
	// Hands over a save image of length bytes (engine allocator) to
	// restore at the next level change; the controller frees it.
	void					SetPendingSaveImage( char* image, u32 length ) {
		mpoPendingSaveImage = image;
		mui32PendingSaveImageLength = length;
	}
	char*					GetPendingSaveImage() const { return mpoPendingSaveImage; }
	// The demo recorder, through which input actions route their values.
	EFDemoLoop&				GetDemoLoop() { return moDemoLoop; }

private:
	void					RunFrame( bool playing );
	void					EmptyCameraFrame();
	void					RestorePendingSaveImage();

	u32						mui32Reserved;
	EFTimer					moLimiterTimer;
	EFTimer					moFrameTimer;
	EFDemoLoop				moDemoLoop;
	u32						mui32Flags;
	f32						mfGameTime;
	// Clock-slaving fields, dormant.
	f32						mfSlaveTime;
	f32						mfSlaveOffset;
	f32						mfSlaveScale;
	f32						mfSlaveStep;
	f32						mfFrameTime;
	// Largest float: no limit.
	f32						mfMinFrameTime;
	u32						mui32FrameCounter;
	char*					mpoPendingSaveImage;
	u32						mui32PendingSaveImageLength;
	char					mszLanguage[EF_CONTROLLER_LANGUAGE_SIZE];
	char					mszLevelPath[EF_CONTROLLER_PATH_SIZE];
	char					mszResFilename[EF_CONTROLLER_PATH_SIZE];
	char					mszPathPrefix[EF_CONTROLLER_PREFIX_SIZE];
	u32						mui32DemoLaunchData[EF_DEMO_LAUNCH_WORDS];

	// Measured frame times, clamped, and the index of the next entry.
	static f32				PrevFrameTimes[EF_FRAME_TIME_RING_SIZE];
	static u32				mui32FrameTimeIndex;
};

extern EFEngineController*	gpoEngineController;
// The camera of the controller's empty frames, made without a frame.
extern EFCamera*			gpoTestCamera;

#endif
