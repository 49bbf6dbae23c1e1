#include "framework/graphics/effects/EFLensFlareFX.h"

#include "framework/core/engine/EFCallTrace.h"

EFLensFlareFX goLensFlareFX;

EFLensFlareFX::EFLensFlareFX() {
	mui32SunObjectId = 0xFFFFFFFF;
	mbActive = 0;
	mfSunPosition[0] = mfSunPosition[1] = mfSunPosition[2] = 0.0f;
}

void EFLensFlareFX::SetParams( eLensFlareParams, u32 ) {
}

void EFLensFlareFX::Terminate() {
	EFCallTraceAdd( "EFLensFlareFX::Terminate" );
	mbActive = 0;
}

void EFLensFlareFX::Render( EFCamera& ) {
	EFCallTraceAdd( "EFLensFlareFX::Render" );
}
