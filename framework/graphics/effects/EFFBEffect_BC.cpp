#include "framework/graphics/effects/EFFBEffect_BC.h"

EFFBEffect_BC::EFFBEffect_BC() {
	mui32Flags = 0;
	mui32Handle = 0;
}

void EFFBEffect_BC::Enable( const u32 on ) {
	if ( on != 0 ) {
		mui32Flags |= EF_FB_EFFECT_ENABLED;
	} else {
		mui32Flags &= ~EF_FB_EFFECT_ENABLED;
	}
}
