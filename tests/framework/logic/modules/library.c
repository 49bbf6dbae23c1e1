/* Test library module TESTLIB: its register entry reports itself through
   the root table it is given. */
#include "framework/logic/api/LogicModuleAPI.h"

static s32 gRegistered;

static s32 Registered( void * data ) {
	(void)data;
	return gRegistered;
}

void TESTLIBRegister( struct _api_cons * api ) {
	gRegistered++;
	api->SetExternalFunction( 7, Registered );
}
