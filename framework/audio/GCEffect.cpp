#include "framework/audio/GCEffect.h"

#include "framework/audio/GCChorus.h"
#include "framework/audio/GCDelay.h"
#include "framework/audio/GCReverb_HI.h"
#include "framework/audio/GCReverb_STD.h"

const char * const gszGCEffectBusNames[GC_EFFECT_BUS_COUNT] = { "NONE", "AUXA", "AUXB" };
const char * const gszGCEffectKindNames[GC_EFFECT_KIND_COUNT] = { "OFF", "STDREVERB", "HIREVERB", "DELAY", "CHORUS" };

namespace {

void ShutDownBus( const u8 kind, void * effect ) {
	if ( effect == nullptr ) {
		return;
	}
	switch ( kind ) {
		case GC_EFFECT_STDREVERB:	static_cast<GCReverb_STD *>( effect )->ShutDown(); break;
		case GC_EFFECT_HIREVERB:	static_cast<GCReverb_HI *>( effect )->ShutDown(); break;
		case GC_EFFECT_DELAY:		static_cast<GCDelay *>( effect )->ShutDown(); break;
		case GC_EFFECT_CHORUS:		static_cast<GCChorus *>( effect )->ShutDown(); break;
		default:					break;
	}
}

}

GCEffect::GCEffect()
	: mui8Flag0( 0 ), mui8Flag1( 0 ), mui32BusACode( 0 ), mui32BusBCode( 0 ), mui8BusAKind( GC_EFFECT_OFF ),
	  mui8BusBKind( GC_EFFECT_OFF ), mui16BusAReturn( GC_EFFECT_RETURN_UNITY ), mui16BusBReturn( GC_EFFECT_RETURN_UNITY ),
	  mpoBusAEffect( nullptr ), mpoBusBEffect( nullptr ) {
}

void GCEffect::ShutDown( void *, void * ) {
	ShutDownBus( mui8BusAKind, mpoBusAEffect );
	ShutDownBus( mui8BusBKind, mpoBusBEffect );
}
