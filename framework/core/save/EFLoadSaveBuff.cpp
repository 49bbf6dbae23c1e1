#include "framework/core/save/EFLoadSaveBuff.h"

#include "framework/core/engine/EFCallTrace.h"

EFLoadSaveBuff::EFLoadSaveBuff() {
	mui32GameBufferBytes = 0;
	mui32ImageSize = 0;
}

char* EFLoadSaveBuff::CreateBuffer( const char*, const char* ) {
	return nullptr;
}

u32 EFLoadSaveBuff::VerifyImage( const char* ) const {
	return 0;
}

u32 EFLoadSaveBuff::UpdateEngineData( char* ) {
	EFCallTraceAdd( "EFLoadSaveBuff::UpdateEngineData" );
	return 0;
}
