/*
===============================================================================

	HUD palette ("EF_FONTS_PAL", class 62), loaded from GLOBAL.PAL and
	FONT<n>.PAL: colour groups that HUD windows and texts name by index.

	Minimal body until the HUD palettes are built: loading reads the
	stored palette description (count and 16-byte colours) and keeps it.

===============================================================================
*/
#ifndef EF_HUD_PALETTE_H
#define EF_HUD_PALETTE_H

#include "datatypes/descriptor/DTFontsPalDescriptor.h"

constexpr s32 EF_HUD_PALETTE_CLASS_ID	= 62;

class EFHudPalette : public DTFontsPalDescriptor {
public:
							EFHudPalette();
							~EFHudPalette() override;

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;

	// The stored description; its result.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;
};

#endif
