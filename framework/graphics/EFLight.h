/*
===============================================================================

	Scene light: a positioned instance over a library light.

	Placeholder body: only the library light and SetVisible (recorded in
	the call trace) exist; colour, radius, cone and kinds come with the
	lights' own work.

===============================================================================
*/
#ifndef EF_LIGHT_H
#define EF_LIGHT_H

#include "framework/core/world/EFPosData.h"

struct RpLight;

class EFLight : public EFPosData {
public:
							EFLight() : mpLight( nullptr ) {}

	// Puts the light into the level's world (non-zero) or takes it out.
	void					SetVisible( u32 visible );

	RpLight*				mpLight;
};

#endif
