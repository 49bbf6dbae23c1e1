/*
===============================================================================

	Engine instance and life cycle of the 3D library.

	The library runs through one process-wide engine instance: a fixed head
	(current camera and world, the device record and standards, the file,
	string and memory tables, the free-list hooks, the state and the arena
	size) followed by the space every engine plug-in reserved: every core
	module and every library extension keeps its globals there.

	Life cycle: RwEngineInit (state 0 -> 1) opens strings, memory, files and
	the plug-in registry and attaches the core modules; plug-ins are
	registered; RwEngineOpen (1 -> 2) allocates the instance at the engine
	registry's size and opens the device; RwEngineStart (2 -> 3) opens every
	module in registration order; RwEngineStop (3 -> 2) closes them in
	reverse; RwEngineClose (2 -> 1) closes the device and frees the
	instance; RwEngineTerm (1 -> 0) closes what Init opened but the string
	module. Before open and after close RwEngineInstance points at
	staticGlobals, which holds the fixed head only.

===============================================================================
*/
#ifndef RW_ENGINE_H
#define RW_ENGINE_H

#include "graphics3d/core/RwDevice.h"
#include "graphics3d/core/RwFileSystem.h"
#include "graphics3d/core/RwLinkList.h"
#include "graphics3d/core/RwMemory.h"
#include "graphics3d/core/RwPlugin.h"
#include "graphics3d/core/RwStrings.h"

struct RpWorld;
struct RwFreeList;

typedef void*		( *RwFreeListAllocHook )( RwFreeList* freeList );
typedef RwFreeList*	( *RwFreeListFreeHook )( RwFreeList* freeList, void* entry );

// Fixed head of the engine instance, in order.
struct RwGlobals {
	RwCamera*			currentCamera;		// between camera begin and end update
	RpWorld*			currentWorld;		// kept by the world objects
	u16					renderFrame;		// render-frame counter, kept by the world objects
	u16					lightFrame;			// light-frame counter, kept by the world objects
	RwDevice			device;		// copied from the driver at open
	RwStandardFunc		standards[RWSTANDARD_COUNT];
	RwLinkList			dirtyFrames;		// root frames awaiting synchronisation
	RwFileFunctions		fileFunctions;
	RwStringFunctions	stringFunctions;
	RwMemoryFunctions	memoryFunctions;
	RwFreeListAllocHook	freeListAllocHook;		// free-list allocation hook
	RwFreeListFreeHook	freeListFreeHook;			// free-list free hook
	void*				unusedWord;			// not written by the core
	s32					engineState;		// RwEngineState
	u32					arenaSize;	// resource arena bytes
};

enum RwEngineState : s32 {
	RWENGINE_STATE_IDLE			= 0,
	RWENGINE_STATE_INITIALISED		= 1,
	RWENGINE_STATE_OPENED		= 2,
	RWENGINE_STATE_STARTED		= 3,
};

// Flag bit of RwEngineInit that disables the free lists.
constexpr u32 RWENGINE_INIT_NO_FREE_LISTS = 0x1;

// Engine plug-in ids of the core modules.
enum RwCoreModuleId : u32 {
	RWID_VECTOR_MODULE			= 0x401,
	RWID_MATRIX_MODULE			= 0x402,
	RWID_FRAME_MODULE			= 0x403,
	RWID_STREAM_MODULE			= 0x404,
	RWID_CAMERA_MODULE			= 0x405,
	RWID_IMAGE_MODULE			= 0x406,
	RWID_RASTER_MODULE			= 0x407,
	RWID_TEXTURE_MODULE			= 0x408,
	RWID_PIPELINE_MODULE				= 0x409,
	RWID_IM3D_MODULE		= 0x40A,
	RWID_RESOURCES_MODULE		= 0x40B,
	RWID_DEVICE_MODULE			= 0x40C,
	RWID_COLOR_MODULE			= 0x40D,
	RWID_ERROR_MODULE			= 0x40F,
};

// One video mode as the device describes it.
struct RwVideoMode {
	s32		width;
	s32		height;
	s32		depth;
	s32		flags;
};

// One sub-system as the device describes it.
constexpr u32 RWSUBSYSTEM_NAME_LENGTH = 80;
struct RwSubSystemInfo {
	char	name[RWSUBSYSTEM_NAME_LENGTH];
};

// The current instance; null before the first RwEngineInit, which counts
// as staticGlobals.
extern RwGlobals*		RwEngineInstance;
extern RwGlobals		staticGlobals;
extern RwPluginRegistry	engineTKList;
extern s32				engineInstancesOpened;

// Flag bit 0 disables the free lists. Out of state 0 returns false and
// changes nothing.
bool	RwEngineInit( const RwMemoryFunctions* memoryFunctions, u32 initFlags, u32 resArenaSize );
// deviceConfig goes to the device's open request unread.
bool	RwEngineOpen( void* deviceConfig );
bool	RwEngineStart();
bool	RwEngineStop();
// False without an open instance.
bool	RwEngineClose();
// False while an instance is open. The string module stays open.
bool	RwEngineTerm();

// Registration on the engine registry (no copy function); -1 on refusal.
s32		RwEngineRegisterPlugin( s32 size, u32 pluginID, RwPluginObjectConstructor initCB,
								RwPluginObjectDestructor termCB );
s32		RwEngineGetPluginOffset( u32 pluginID );

// Queries answered by device requests. Counts and indices are -1 and
// records are null on failure.
s32					RwEngineGetNumSubSystems();
RwSubSystemInfo*	RwEngineGetSubSystemInfo( RwSubSystemInfo* subSystemInfo, s32 subSystemIndex );
s32					RwEngineGetCurrentSubSystem();
s32					RwEngineGetNumVideoModes();
RwVideoMode*		RwEngineGetVideoModeInfo( RwVideoMode* modeinfo, s32 modeIndex );
s32					RwEngineGetCurrentVideoMode();

// Sends a request through the device record; requests 13-18 have answers
// of the core when the device refuses. A request that still fails records
// core error 24 with its number.
bool	_rwDeviceSystemRequest( RwDevice* device, s32 requestID, void* out, void* inOut, s32 inInt );

s32		_rwGetNumEngineInstances();

#endif
