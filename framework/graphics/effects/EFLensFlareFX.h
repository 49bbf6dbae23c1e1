/*
===============================================================================

	Lens flare (global object goLensFlareFX): the sun object and its
	position. Placeholder body: it stays inactive.

===============================================================================
*/
#ifndef EF_LENS_FLARE_FX_H
#define EF_LENS_FLARE_FX_H

#include "datatypes/base/DTTypes.h"

enum eLensFlareParams {
	LENS_FLARE_SUN_OBJECT	= 0,
	LENS_FLARE_ACTIVE		= 1,
};

class EFCamera;

class EFLensFlareFX {
public:
							EFLensFlareFX();

	void					SetParams( eLensFlareParams param, u32 value );
	void					Terminate();

	u32						mui32SunObjectId;
	u8						mbActive;
	f32						mfSunPosition[3];
	void					Render( EFCamera& camera );
};

extern EFLensFlareFX	goLensFlareFX;

#endif
