#include "framework/graphics/animation/EFTexFader.h"

#include "framework/core/engine/EFCallTrace.h"

void EFTexFader::Update( f32 ) {
	EFCallTraceAdd( "EFTexFader::Update" );
}

void EFTexFader::Terminate() {
	EFCallTraceAdd( "EFTexFader::Terminate" );
}
