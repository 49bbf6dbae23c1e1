/* Test module TABLES: its message function fills the caller's report
   through the standard-library, maths and registration tables. */
#include "framework/logic/api/LogicModuleAPI.h"

#include "tests/framework/logic/modules/tablesreport.h"

static char gBlockName[] = TABLES_BLOCK_NAME;
static char gTooLarge[] = "-2147483649";
static char gMinusOne[] = "-1";

static struct _api_stdlib * gStdlib;
static struct _api_math * gMath;
static struct _api_reglib * gRegLib;

static s32 Report( u32 message, u32 parameter, void * data ) {
	TablesReport * report = (TablesReport *)data;
	DTVector3d a;
	DTVector3d b;
	char * end = 0;
	(void)message;
	(void)parameter;
	report->clamped = gStdlib->strtol( gTooLarge, &end, 10 );
	report->clampedDigits = (s32)( end - gTooLarge );
	report->minusOne = gStdlib->strtoul( gMinusOne, 0, 10 );
	report->absMinimum = gStdlib->abs( (s32)0x80000000u );
	report->quotient = gStdlib->div( 7, -2 ).quot;
	report->remainder = gStdlib->div( 7, -2 ).rem;
	gMath->CVectorSet( &a, 3.0f, 4.0f, 0.0f );
	gMath->CVectorSet( &b, 0.0f, 0.0f, 2.0f );
	report->length = gMath->CVectorLength( &a );
	gMath->CVectorCross( &report->cross, &a, &b );
	report->squareRoot = gMath->sqrt( 2.0f );
	report->block = gRegLib->RegisterLib( gBlockName, TABLES_BLOCK_BYTES );
	if ( report->block != 0 ) {
		*(u32 *)report->block = TABLES_BLOCK_MARK;
	}
	return 1;
}

void TABLESConstructor( struct _api_cons * api, s32 count ) {
	(void)count;
	gStdlib = api->GetApiStdlib();
	gMath = api->GetApiMath();
	gRegLib = api->GetApiRegLib();
	api->SetMessageFunction( Report );
}

void TABLESDestructor( s32 count ) {
	(void)count;
}
