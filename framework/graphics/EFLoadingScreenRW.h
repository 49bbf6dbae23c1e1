/*
===============================================================================

	Platform half of the loading screen: a full-screen background picture
	with a progress bar over it, drawn by its own camera and shown at once,
	outside the frame render, while a level loads.

	The two pictures come from the level's dictionary <name>.TXD, looked
	for in the level's language folder and then in its GEN folder, and are
	found by the names of LOAD.LS. Update draws only when 1/30 s passed
	since the last drawn frame, when frames are still owed (the two after
	loading) or when the load is complete, so presenting frames does not
	slow the load. The bar grows to the right, revealing its picture.

	A static observer sees every progress report (tests install one).

===============================================================================
*/
#ifndef EF_LOADING_SCREEN_RW_H
#define EF_LOADING_SCREEN_RW_H

#include "framework/core/engine/EFTimer.h"
#include "framework/graphics/EFLoadingScreen_BC.h"

class EFCamera;
struct RwTexture;

// Sees every progress report of every loading screen.
typedef void ( *EFLoadingScreenObserver )( f32 progress );

// ENGINE.INI defaults of the bar, in screen pixels.
constexpr s32 EF_LOADING_BAR_LEFT		= 318;
constexpr s32 EF_LOADING_BAR_TOP		= 400;
constexpr f32 EF_LOADING_BAR_WIDTH		= 100.0f;
constexpr f32 EF_LOADING_BAR_HEIGHT		= 50.0f;
// Shortest time between two drawn frames.
constexpr f32 EF_LOADING_FRAME_TIME		= 1.0f / 30.0f;
// Frames drawn regardless of the time after the pictures are found.
constexpr s32 EF_LOADING_FORCED_FRAMES	= 2;

class EFLoadingScreen_SP : public EFLoadingScreen_BC {
public:
							EFLoadingScreen_SP();
	// Destroys both textures and the camera.
							~EFLoadingScreen_SP() override;

	// Reads the two pictures of <name>.TXD (language folder, else GEN)
	// into the current dictionary on heap 0 and the bar size from
	// ENGINE.INI; 1, or 0 when neither file opens. The second argument is
	// not used.
	u32						LoadTextures( const char * name, const char * unused );

	// The two picture names; finds both pictures, owes two frames and
	// draws the first.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;

	// Reports the fraction of the load done (0..1); draws when due.
	void					Update( f32 progress );

	// Installs the observer (null for none); returns the previous one.
	static EFLoadingScreenObserver	SetObserver( EFLoadingScreenObserver observer );

	RwTexture *				mpoBackground;
	RwTexture *				mpoBar;
	EFCamera *				mpoCamera;
	EFTimer					moTimer;
	s32						mi32BarLeft;
	s32						mi32BarTop;
	f32						mfBarWidth;
	f32						mfBarHeight;
	s32						mi32ForcedFrames;

private:
	// Time since the last drawn frame.
	f32						mfSinceDrawn;

	void					Draw( f32 progress );

	static EFLoadingScreenObserver	mspfnObserver;
};

#endif
