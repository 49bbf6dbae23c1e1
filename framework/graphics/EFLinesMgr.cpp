#include "framework/graphics/EFLinesMgr.h"

#include "datatypes/memory/MMMemory.h"
#include "framework/core/engine/EFCallTrace.h"

EFLinesMgr* gpoLinesMgr = nullptr;

EFLinesMgr::EFLinesMgr() {
	mui32LineCount = 0;
	mui32Capacity = 0;
	mpoLines = nullptr;
}

EFLinesMgr::~EFLinesMgr() {
	Terminate();
}

void EFLinesMgr::AddLines( _LinesParams* ) {
}

void EFLinesMgr::Terminate() {
	EFCallTraceAdd( "EFLinesMgr::Terminate" );
	if ( mpoLines != nullptr ) {
		MMFree( mpoLines );
		mpoLines = nullptr;
	}
	mui32LineCount = 0;
	mui32Capacity = 0;
}

void EFLinesMgr::Render() {
	EFCallTraceAdd( "EFLinesMgr::Render" );
}
