#include "framework/graphics/EFSlideShow.h"

#include "framework/core/engine/EFCallTrace.h"

EFSlideShow* EFSlideShow::poSlideShow = nullptr;

void EFSlideShow::Create( u32 ) {
}

void EFSlideShow::Destroy() {
	EFCallTraceAdd( "EFSlideShow::Destroy" );
	delete poSlideShow;
	poSlideShow = nullptr;
}

u32 EFSlideShow::Next() {
	return 0;
}

u32 EFSlideShow::Prev() {
	return 0;
}

void EFSlideShow::SetGameObj( EFGameObject* ) {
}

void EFSlideShow::Render() {
	EFCallTraceAdd( "EFSlideShow::Render" );
}
