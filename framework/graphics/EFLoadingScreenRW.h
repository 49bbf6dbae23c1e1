/*
===============================================================================

	Platform half of the loading screen: its picture dictionary and the
	progress updates of a level load.

	The pictures come from the level's dictionary <name>.TXD, looked for in
	the level's language folder and then in its GEN folder. Minimal body
	until the screen is drawn: LoadTextures only checks that one of the two
	files opens, and Update records the fraction it is given (and hands it
	to the observer, when one is installed).

===============================================================================
*/
#ifndef EF_LOADING_SCREEN_RW_H
#define EF_LOADING_SCREEN_RW_H

#include "framework/graphics/EFLoadingScreen_BC.h"

// Sees every progress report of every loading screen.
typedef void ( *EFLoadingScreenObserver )( f32 progress );

class EFLoadingScreen_SP : public EFLoadingScreen_BC {
public:
							EFLoadingScreen_SP();
							~EFLoadingScreen_SP() override;

	// 1 when <name>.TXD opens in the level's language folder or else in
	// its GEN folder, 0 otherwise (or for a null name). The second
	// argument is not used.
	u32						LoadTextures( const char * name, const char * unused );

	// The stored description: the two picture names.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;

	// Reports the fraction of the load done.
	void					Update( f32 progress );

	// Installs the observer (null for none); returns the previous one.
	static EFLoadingScreenObserver	SetObserver( EFLoadingScreenObserver observer );

private:
	static EFLoadingScreenObserver	mspfnObserver;
};

#endif
