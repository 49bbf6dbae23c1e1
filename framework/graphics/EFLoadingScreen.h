/*
===============================================================================

	The loading screen ("EF_LOADING_SCREEN", class 70) that a level load
	shows when the level has a LOAD.LS.

===============================================================================
*/
#ifndef EF_LOADING_SCREEN_H
#define EF_LOADING_SCREEN_H

#include "framework/graphics/EFLoadingScreenRW.h"

constexpr s32 EF_LOADING_SCREEN_CLASS_ID	= 70;

class EFLoadingScreen : public EFLoadingScreen_SP {
public:
	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
};

#endif
