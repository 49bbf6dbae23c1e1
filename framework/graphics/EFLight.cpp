#include "framework/graphics/EFLight.h"

#include "framework/core/engine/EFCallTrace.h"

void EFLight::SetVisible( u32 ) {
	EFCallTraceAdd( "EFLight::SetVisible" );
}
