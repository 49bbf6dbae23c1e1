/*
===============================================================================

	Portable half of the loading screen: the stored description (the
	background and progress-bar picture names of LOAD.LS) and the progress
	the level loader last reported.

===============================================================================
*/
#ifndef EF_LOADING_SCREEN_BC_H
#define EF_LOADING_SCREEN_BC_H

#include "datatypes/descriptor/DTLoadingScreenDescriptor.h"

class EFLoadingScreen_BC : public DTLoadingScreenDescriptor {
public:
							EFLoadingScreen_BC();
							~EFLoadingScreen_BC() override;

	// Fraction of the load done, 0 to 1, as last reported.
	f32						GetProgress() const { return mfProgress; }
	// Progress reports received since construction.
	u32						GetUpdateCount() const { return mui32UpdateCount; }

protected:
	f32						mfProgress;
	u32						mui32UpdateCount;
};

#endif
