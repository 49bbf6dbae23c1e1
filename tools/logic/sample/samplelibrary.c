/* SAMPLELIB: the sample level's library. It publishes a block named
   "SAMPLE_TUNING" holding a few numbers the object logic may read. */
#include "framework/logic/api/LogicModuleAPI.h"

/* The first slot of the library registration table. */
typedef void * ( *RegisterLibFn )( char * name, u32 size );

typedef struct {
	f32 speed;
	f32 gravity;
	u32 lives;
} Tuning;

static char gName[] = "SAMPLE_TUNING";

void SAMPLELIBRegister( struct _api_cons * api ) {
	if ( api->GetApiRegLib == 0 ) {
		return;
	}
	RegisterLibFn * table = (RegisterLibFn *)api->GetApiRegLib();
	if ( table == 0 || table[0] == 0 ) {
		return;
	}
	Tuning * tuning = (Tuning *)table[0]( gName, sizeof( Tuning ) );
	if ( tuning != 0 ) {
		tuning->speed = 4.5f;
		tuning->gravity = 9.81f;
		tuning->lives = 3;
	}
}
