#include "framework/graphics/hud/EFHudPalette.h"

#include "datatypes/registry/DTDynamicInstanciator.h"

DT_IMPLEMENT_DYNAMIC_CLASS( EFHudPalette, "EF_FONTS_PAL", EF_HUD_PALETTE_CLASS_ID, IT_OBJECT );

EFHudPalette::EFHudPalette() {
}

EFHudPalette::~EFHudPalette() {
}

s32 EFHudPalette::GetClassID() const {
	return EF_HUD_PALETTE_CLASS_ID;
}

const char * EFHudPalette::GetClassName() const {
	return "EF_FONTS_PAL";
}

s32 EFHudPalette::LoadFromStream( DTBasePersistStream & stream ) {
	return DTFontsPalDescriptor::LoadFromStream( stream );
}
