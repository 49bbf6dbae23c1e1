#include "framework/logic/EFLogicInstance.h"

#include "framework/core/EFCallTrace.h"

EFLogicInstance::EFLogicInstance()
	: mpLogicCode( nullptr ), mpLocalData( nullptr ), mpLocalMemory( nullptr ), muiLocalDataSize( 0 ),
	  mfSleepTimeLeft( 0.0f ), muiCurrentState( EF_LOGIC_NO_STATE ), mpfnLogicMessage( nullptr ), muiFlags( 0 ) {
}

EFLogicInstance::~EFLogicInstance() {
}

void EFLogicInstance::Destructor() {
	EFCallTraceAdd( "EFLogicInstance::Destructor" );
}

s32 EFLogicInstance::SendMessage( const u32 message, const u32 parameter, void * data ) {
	EFCallTraceAdd( "EFLogicInstance::SendMessage" );
	if ( mpfnLogicMessage == nullptr ) {
		return 0;
	}
	return mpfnLogicMessage( message, parameter, data );
}
