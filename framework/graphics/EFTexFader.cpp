#include "framework/graphics/EFTexFader.h"

#include "framework/core/EFCallTrace.h"

void EFTexFader::Update( f32 ) {
	EFCallTraceAdd( "EFTexFader::Update" );
}
