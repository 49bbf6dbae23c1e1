#include "framework/graphics/effects/EFFBEffect_BC.h"

EFFBEffect_BC::EFFBEffect_BC() {
	mui32Handle = 0;
	mui32Flags = 0;
}

void EFFBEffect_BC::Enable( const u32 enable ) {
	if ( enable != 0 ) {
		mui32Flags |= EF_FB_EFFECT_ENABLED;
	} else {
		mui32Flags &= ~EF_FB_EFFECT_ENABLED;
	}
}

void EFFBEffect_BC::SetParams( u32, const void* ) {
}

void EFFBEffect_BC::GetParams( u32, void* ) const {
}
