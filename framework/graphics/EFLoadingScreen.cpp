#include "framework/graphics/EFLoadingScreen.h"

#include "datatypes/registry/DTDynamicInstanciator.h"

DT_IMPLEMENT_DYNAMIC_CLASS( EFLoadingScreen, "EF_LOADING_SCREEN", EF_LOADING_SCREEN_CLASS_ID, IT_OBJECT );

s32 EFLoadingScreen::GetClassID() const {
	return EF_LOADING_SCREEN_CLASS_ID;
}

const char * EFLoadingScreen::GetClassName() const {
	return "EF_LOADING_SCREEN";
}
