/* SAMPLELIB: the sample level's library. It publishes a block named
   "SAMPLE_TUNING" holding a few numbers the object logic reads. */
#include "framework/logic/api/LogicModuleAPI.h"

#include "tools/logic/sample/sampletuning.h"

static char gName[] = SAMPLE_TUNING_NAME;

void SAMPLELIBRegister( struct _api_cons * api ) {
	struct _api_reglib * reglib = api->GetApiRegLib();
	SampleTuning * tuning = (SampleTuning *)reglib->RegisterLib( gName, sizeof( SampleTuning ) );
	if ( tuning != 0 ) {
		tuning->speed = SAMPLE_TUNING_SPEED;
		tuning->gravity = SAMPLE_TUNING_GRAVITY;
		tuning->lives = SAMPLE_TUNING_LIVES;
	}
}
