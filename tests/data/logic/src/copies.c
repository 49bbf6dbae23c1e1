/* COPIES: a struct copy (memcpy), a cleared local (memset) and a 64-bit
   division (a runtime helper), all undefined names for the linker. */
typedef int s32;
typedef unsigned int u32;
typedef unsigned long long u64;

typedef struct {
	u32 words[256];
} Big;

static Big gSource = { { 1, 2, 3, 4 } };
static Big gTarget;

static s32 Copy( void * data ) {
	gTarget = gSource;
	*(Big *)data = gTarget;
	return (s32)gTarget.words[3];
}

static s32 Clear( void * data ) {
	Big local = { { 0 } };
	local.words[*(u32 *)data & 255] = 9;
	*(Big *)data = local;
	return 0;
}

static s32 Divide( void * data ) {
	u64 * values = (u64 *)data;
	return (s32)( values[0] / values[1] );
}

typedef void ( *SetFunction )( s32, s32 ( * )( void * ) );

void COPIESConstructor( void ** api, s32 count ) {
	SetFunction set = (SetFunction)api[0];
	(void)count;
	set( 0, Copy );
	set( 1, Clear );
	set( 2, Divide );
}

void COPIESRegister( void ** api ) {
	(void)api;
}
