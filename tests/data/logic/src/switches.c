/* SWITCHES: a switch table, static data and float constants. */
typedef int s32;
typedef unsigned int u32;
typedef float f32;

static s32 gCounter = 3;
static f32 gScale = 1.5f;
static const s32 gTable[8] = { 2, 3, 5, 7, 11, 13, 17, 19 };
static s32 gState;

static s32 Classify( void * data ) {
	s32 * value = (s32 *)data;
	switch ( value[0] ) {
		case 0: return value[1] + 10;
		case 1: return value[1] * 23;
		case 2: return value[1] - 37;
		case 3: return value[1] ^ 41;
		case 4: return value[1] << 5;
		case 5: return value[1] >> 3;
		case 6: return value[1] | 73;
		case 7: return value[2] + value[1];
		default: return -1;
	}
}

static s32 Scale( void * data ) {
	f32 * value = (f32 *)data;
	*value = *value * gScale + 0.25f;
	return gCounter++;
}

static s32 Lookup( void * data ) {
	return gTable[*(u32 *)data & 7] + gState;
}

typedef void ( *SetFunction )( s32, s32 ( * )( void * ) );

void SWITCHESConstructor( void ** api, s32 count ) {
	SetFunction set = (SetFunction)api[0];
	gState = count;
	set( 0, Classify );
	set( 1, Scale );
	set( 2, Lookup );
}

void SWITCHESDestructor( s32 count ) {
	gState = count;
}
