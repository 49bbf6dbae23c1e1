/*
===============================================================================

	The interface between the engine and its logic modules.

	A logic module is compiled against this header alone, as C or C++. It
	declares the signatures of the module's entry points and functions and
	the root function table `_api_cons` that the module's constructor (and
	a library module's register entry) receives. Every other engine
	service is reached through the tables the root table's getters return;
	their layouts belong to their own headers and are incomplete here.

	The order of the root table's slots is the binary interface: a slot
	never moves, and every slot is one function pointer wide (checked
	below). Slots the engine does not fill hold a stub that does nothing.

	Module entry points are named after the module's object name N:
	NConstructor, NDestructor and NRegister (library modules).

===============================================================================
*/
#ifndef LOGIC_MODULE_API_H
#define LOGIC_MODULE_API_H

#ifdef __cplusplus
#include "datatypes/base/DTTypes.h"
#include <cstddef>
#define LOGIC_API_STATIC_ASSERT( condition, text ) static_assert( condition, text )
#else
#include <stddef.h>
#include <stdint.h>
typedef int8_t		s8;
typedef uint8_t		u8;
typedef int16_t		s16;
typedef uint16_t	u16;
typedef int32_t		s32;
typedef uint32_t	u32;
typedef int64_t		s64;
typedef uint64_t	u64;
typedef float		f32;
typedef double		f64;
#define LOGIC_API_STATIC_ASSERT( condition, text ) _Static_assert( condition, text )
#endif

#ifdef __cplusplus
extern "C" {
#endif

struct _api_cons;

// Entry points. The constructor gets the root table and the number of
// instances now using the module, the destructor the number still using it.
typedef void	( *LogicConstructorFn )( struct _api_cons * api, s32 instanceCount );
typedef void	( *LogicDestructorFn )( s32 instanceCount );
typedef void	( *LogicRegisterFn )( struct _api_cons * api );

// A state function (called with null) or a callback; 32-bit result.
typedef s32		( *LogicFunction )( void * data );
// The message function: message, parameter, data.
typedef s32		( *LogicMessageFunction )( u32 message, u32 parameter, void * data );

// The tables the root table hands out.
struct _api_stdlib;
struct _api_input;
struct _api_math;
struct _api_gameobj;
struct _api_extra;
struct _api_anim;
struct _api_camera;
struct _api_light;
struct api_physic;
struct _api_newSound;
struct _api_particle;
struct _api_projector;
struct _api_console;
struct _api_hud;
struct _api_game;
struct _api_qa;
struct _api_fbeffects;
struct _api_graphics;
struct _api_karaoke;
struct _api_simpleinput;
struct _api_gbalink;
struct _api_loadsave;
struct _api_reglib;
struct _api_spline;

// Unfilled slots at the end of the root table.
#define LOGIC_API_CONS_PAD_SLOTS	16
#define LOGIC_API_CONS_SLOTS		49

struct _api_cons {
	// Stores a state function or callback at index of the running module.
	void							( *SetExternalFunction )( s32 index, LogicFunction function );
	// Sizes the data block all instances of the module share (constructor only).
	void							( *GetGlobalData )( void ** variable, s32 size );
	// Sizes the running instance's own data block (constructor only).
	void							( *GetLocalData )( void ** variable, s32 size );
	// The first state (constructor only).
	void							( *SetInitialState )( s32 state );
	void							( *SetMessageFunction )( LogicMessageFunction function );
	void							( *TO_DELETE )( u32 value );
	struct _api_stdlib *			( *GetApiStdlib )( void );
	struct _api_input *				( *GetApiInput )( void );
	struct _api_math *				( *GetApiMath )( void );
	struct _api_gameobj *			( *GetApiGameObj )( void );
	struct _api_extra *				( *GetApiExtra )( void );
	struct _api_anim *				( *GetApiAnim )( void );
	struct _api_camera *			( *GetApiCamera )( void );
	struct _api_light *				( *GetApiLight )( void );
	struct api_physic *				( *GetApiPhysic )( void );
	struct _api_newSound *			( *GetApiNewSound )( void );
	struct _api_particle *			( *GetApiParticle )( void );
	struct _api_projector *			( *GetApiProjector )( void );
	struct _api_console *			( *GetApiConsole )( void );
	struct _api_hud *				( *GetApiHUD )( void );
	struct _api_game *				( *GetApiGame )( void );
	struct _api_qa *				( *GetApiQA )( void );
	struct _api_fbeffects *			( *GetApiFBEffects )( void );
	struct _api_graphics *			( *GetApiGraphics )( void );
	struct _api_karaoke *			( *GetApiKaraoke )( void );
	struct _api_simpleinput *		( *GetApiSimpleInput )( void );
	struct _api_gbalink *			( *GetApiGBALink )( void );
	void							( *SetExternalFunctionExt )( s32 index, LogicFunction first, LogicFunction second );
	// The block a library module registered under name, or null.
	void *							( *GetApiCustom )( char * name );
	struct _api_loadsave *			( *GetApiLoadSave )( void );
	// Entry index of the running module's table, null outside it.
	LogicFunction					( *GetExternalFunction )( s32 index );
	struct _api_reglib *			( *GetApiRegLib )( void );
	struct _api_spline *			( *GetApiSpline )( void );
	void							( *Pad[LOGIC_API_CONS_PAD_SLOTS] )( void );
};

// Every slot sits at its index times the width of a function pointer.
#define LOGIC_API_CONS_SLOT( member, slot ) \
	LOGIC_API_STATIC_ASSERT( offsetof( struct _api_cons, member ) == ( slot ) * sizeof( void * ), #member " slot" )

LOGIC_API_CONS_SLOT( SetExternalFunction, 0 );
LOGIC_API_CONS_SLOT( GetGlobalData, 1 );
LOGIC_API_CONS_SLOT( GetLocalData, 2 );
LOGIC_API_CONS_SLOT( SetInitialState, 3 );
LOGIC_API_CONS_SLOT( SetMessageFunction, 4 );
LOGIC_API_CONS_SLOT( TO_DELETE, 5 );
LOGIC_API_CONS_SLOT( GetApiStdlib, 6 );
LOGIC_API_CONS_SLOT( GetApiInput, 7 );
LOGIC_API_CONS_SLOT( GetApiMath, 8 );
LOGIC_API_CONS_SLOT( GetApiGameObj, 9 );
LOGIC_API_CONS_SLOT( GetApiExtra, 10 );
LOGIC_API_CONS_SLOT( GetApiAnim, 11 );
LOGIC_API_CONS_SLOT( GetApiCamera, 12 );
LOGIC_API_CONS_SLOT( GetApiLight, 13 );
LOGIC_API_CONS_SLOT( GetApiPhysic, 14 );
LOGIC_API_CONS_SLOT( GetApiNewSound, 15 );
LOGIC_API_CONS_SLOT( GetApiParticle, 16 );
LOGIC_API_CONS_SLOT( GetApiProjector, 17 );
LOGIC_API_CONS_SLOT( GetApiConsole, 18 );
LOGIC_API_CONS_SLOT( GetApiHUD, 19 );
LOGIC_API_CONS_SLOT( GetApiGame, 20 );
LOGIC_API_CONS_SLOT( GetApiQA, 21 );
LOGIC_API_CONS_SLOT( GetApiFBEffects, 22 );
LOGIC_API_CONS_SLOT( GetApiGraphics, 23 );
LOGIC_API_CONS_SLOT( GetApiKaraoke, 24 );
LOGIC_API_CONS_SLOT( GetApiSimpleInput, 25 );
LOGIC_API_CONS_SLOT( GetApiGBALink, 26 );
LOGIC_API_CONS_SLOT( SetExternalFunctionExt, 27 );
LOGIC_API_CONS_SLOT( GetApiCustom, 28 );
LOGIC_API_CONS_SLOT( GetApiLoadSave, 29 );
LOGIC_API_CONS_SLOT( GetExternalFunction, 30 );
LOGIC_API_CONS_SLOT( GetApiRegLib, 31 );
LOGIC_API_CONS_SLOT( GetApiSpline, 32 );
LOGIC_API_CONS_SLOT( Pad, 33 );
LOGIC_API_STATIC_ASSERT( sizeof( struct _api_cons ) == LOGIC_API_CONS_SLOTS * sizeof( void * ), "root table size" );

#ifdef __cplusplus
}

// The root table the engine hands to every module.
extern _api_cons	APIcons;
#endif

#endif
