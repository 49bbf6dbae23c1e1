/*
===============================================================================

	The interface between the engine and its logic modules.

	A logic module is compiled against this header alone, as C or C++. It
	declares the signatures of the module's entry points and functions and
	the root function table `_api_cons` that the module's constructor (and
	a library module's register entry) receives. Every other engine
	service is reached through the tables the root table's getters return;
	their layouts and the records they exchange are in the headers
	included below.

	The order of the root table's slots is the binary interface: a slot
	never moves, and every slot is one function pointer wide (checked
	below). Slots the engine does not fill hold a stub that does nothing.

	Module entry points are named after the module's object name N:
	NConstructor, NDestructor and NRegister (library modules).

===============================================================================
*/
#ifndef LOGIC_MODULE_API_H
#define LOGIC_MODULE_API_H

#include "framework/logic/api/LogicApiRecords.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/logic/api/LogicTableStdlib.h"
#include "framework/logic/api/LogicTableInput.h"
#include "framework/logic/api/LogicTableMath.h"
#include "framework/logic/api/LogicTableGameObj.h"
#include "framework/logic/api/LogicTableExtra.h"
#include "framework/logic/api/LogicTableAnim.h"
#include "framework/logic/api/LogicTableCamera.h"
#include "framework/logic/api/LogicTableLight.h"
#include "framework/logic/api/LogicTablePhysic.h"
#include "framework/logic/api/LogicTableNewSound.h"
#include "framework/logic/api/LogicTableParticle.h"
#include "framework/logic/api/LogicTableProjector.h"
#include "framework/logic/api/LogicTableConsole.h"
#include "framework/logic/api/LogicTableHud.h"
#include "framework/logic/api/LogicTableGame.h"
#include "framework/logic/api/LogicTableQA.h"
#include "framework/logic/api/LogicTableFBEffects.h"
#include "framework/logic/api/LogicTableGraphics.h"
#include "framework/logic/api/LogicTableKaraoke.h"
#include "framework/logic/api/LogicTableSimpleInput.h"
#include "framework/logic/api/LogicTableGBALink.h"
#include "framework/logic/api/LogicTableLoadSave.h"
#include "framework/logic/api/LogicTableRegLib.h"
#include "framework/logic/api/LogicTableSpline.h"

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

LOGIC_API_SLOT( _api_cons, SetExternalFunction, 0 );
LOGIC_API_SLOT( _api_cons, GetGlobalData, 1 );
LOGIC_API_SLOT( _api_cons, GetLocalData, 2 );
LOGIC_API_SLOT( _api_cons, SetInitialState, 3 );
LOGIC_API_SLOT( _api_cons, SetMessageFunction, 4 );
LOGIC_API_SLOT( _api_cons, TO_DELETE, 5 );
LOGIC_API_SLOT( _api_cons, GetApiStdlib, 6 );
LOGIC_API_SLOT( _api_cons, GetApiInput, 7 );
LOGIC_API_SLOT( _api_cons, GetApiMath, 8 );
LOGIC_API_SLOT( _api_cons, GetApiGameObj, 9 );
LOGIC_API_SLOT( _api_cons, GetApiExtra, 10 );
LOGIC_API_SLOT( _api_cons, GetApiAnim, 11 );
LOGIC_API_SLOT( _api_cons, GetApiCamera, 12 );
LOGIC_API_SLOT( _api_cons, GetApiLight, 13 );
LOGIC_API_SLOT( _api_cons, GetApiPhysic, 14 );
LOGIC_API_SLOT( _api_cons, GetApiNewSound, 15 );
LOGIC_API_SLOT( _api_cons, GetApiParticle, 16 );
LOGIC_API_SLOT( _api_cons, GetApiProjector, 17 );
LOGIC_API_SLOT( _api_cons, GetApiConsole, 18 );
LOGIC_API_SLOT( _api_cons, GetApiHUD, 19 );
LOGIC_API_SLOT( _api_cons, GetApiGame, 20 );
LOGIC_API_SLOT( _api_cons, GetApiQA, 21 );
LOGIC_API_SLOT( _api_cons, GetApiFBEffects, 22 );
LOGIC_API_SLOT( _api_cons, GetApiGraphics, 23 );
LOGIC_API_SLOT( _api_cons, GetApiKaraoke, 24 );
LOGIC_API_SLOT( _api_cons, GetApiSimpleInput, 25 );
LOGIC_API_SLOT( _api_cons, GetApiGBALink, 26 );
LOGIC_API_SLOT( _api_cons, SetExternalFunctionExt, 27 );
LOGIC_API_SLOT( _api_cons, GetApiCustom, 28 );
LOGIC_API_SLOT( _api_cons, GetApiLoadSave, 29 );
LOGIC_API_SLOT( _api_cons, GetExternalFunction, 30 );
LOGIC_API_SLOT( _api_cons, GetApiRegLib, 31 );
LOGIC_API_SLOT( _api_cons, GetApiSpline, 32 );
LOGIC_API_SLOT( _api_cons, Pad, 33 );
LOGIC_API_TABLE_SIZE( _api_cons, LOGIC_API_CONS_SLOTS );

#ifdef __cplusplus
}

// The root table the engine hands to every module.
extern _api_cons	APIcons;
#endif

#endif
