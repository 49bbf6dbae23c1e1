/*
===============================================================================

	Layout of the table `_api_stdlib` that a module gets from the root table:
	the runtime library's conversions, divisions and random numbers,
	with 32-bit results.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_STDLIB_H
#define LOGIC_TABLE_STDLIB_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_STDLIB_SLOTS		29
#define LOGIC_API_STDLIB_PAD_SLOTS	16

struct _api_stdlib {
	s32								( *abs )( s32 );
	f64								( *atof )( char * );
	s32								( *atoi )( char * );
	s32								( *atol )( char * );
	LogicApiDiv						( *div )( s32 numerator, s32 denominator );
	s32								( *labs )( s32 );
	LogicApiLDiv					( *ldiv )( s32 numerator, s32 denominator );
	s32								( *mblen )( char *, u32 );
	s32								( *rand )( void );
	void							( *srand )( u32 );
	f64								( *strtod )( char *, char ** );
	s32								( *strtol )( char *, char **, s32 );
	u32								( *strtoul )( char *, char **, s32 );
	void							( *Pad[LOGIC_API_STDLIB_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_stdlib, abs, 0 );
LOGIC_API_SLOT( _api_stdlib, atof, 1 );
LOGIC_API_SLOT( _api_stdlib, atoi, 2 );
LOGIC_API_SLOT( _api_stdlib, atol, 3 );
LOGIC_API_SLOT( _api_stdlib, div, 4 );
LOGIC_API_SLOT( _api_stdlib, labs, 5 );
LOGIC_API_SLOT( _api_stdlib, ldiv, 6 );
LOGIC_API_SLOT( _api_stdlib, mblen, 7 );
LOGIC_API_SLOT( _api_stdlib, rand, 8 );
LOGIC_API_SLOT( _api_stdlib, srand, 9 );
LOGIC_API_SLOT( _api_stdlib, strtod, 10 );
LOGIC_API_SLOT( _api_stdlib, strtol, 11 );
LOGIC_API_SLOT( _api_stdlib, strtoul, 12 );
LOGIC_API_SLOT( _api_stdlib, Pad, 13 );
LOGIC_API_TABLE_SIZE( _api_stdlib, LOGIC_API_STDLIB_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
