/* Test module NEEDSMEMSET: a large zeroed local makes the compiler call
   memset, which the engine does not give, so the module is refused. */
#include "framework/logic/api/LogicModuleAPI.h"

extern void * memset( void * block, int value, unsigned long bytes );

typedef struct {
	u32 words[1024];
} Cleared;

static s32 Clear( void * data ) {
	Cleared local;
	memset( &local, 0, sizeof( local ) );
	local.words[*(u32 *)data & 1023] = 7;
	*(Cleared *)data = local;
	return 0;
}

void NEEDSMEMSETConstructor( struct _api_cons * api, s32 count ) {
	(void)count;
	api->SetExternalFunction( 0, Clear );
}
