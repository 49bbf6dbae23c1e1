/*
===============================================================================

	Attaching the world modules to the 3D library.

	RpWorldPluginAttach runs between RwEngineInit and RwEngineOpen. It
	registers the world modules' engine data in a fixed order (material,
	mesh, geometry, clump, light, sector, world, binary world), fails when
	any registration is refused, then registers the world-object and the
	clump link extensions and attaches the platform's world pipelines.

	The sector and binary-world modules only record their offset and
	count their opens; the world module opens the default world pipelines
	and the registered-world list. The platform's world plug-ins are the
	console's vertex formats.

	Every module close is safe to run twice: a failed RwEngineStop leaves
	the library started and a second stop closes the modules again.

===============================================================================
*/
#ifndef RP_WORLD_PLUGIN_H
#define RP_WORLD_PLUGIN_H

#include "graphics3d/core/RwLinkList.h"
#include "graphics3d/core/RwPlugin.h"

struct RwFreeList;

// Engine plug-in ids of the world modules without a header of their own.
constexpr u32 rwID_GEOMETRYMODULE		= 0x503;
constexpr u32 rwID_CLUMPMODULE			= 0x504;
constexpr u32 rwID_WORLDMODULE			= 0x507;
constexpr u32 rwID_SECTORMODULE			= 0x50A;
constexpr u32 rwID_BINWORLDMODULE		= 0x50B;

// Engine data of those modules: the geometry module's word, the
// registered-world free list with its list head.
constexpr s32 RPGEOMETRY_ENGINE_DATA_SIZE	= 4;
constexpr s32 RPSECTOR_ENGINE_DATA_SIZE		= 0;
constexpr s32 RPWORLD_ENGINE_DATA_SIZE		= static_cast<s32>( sizeof( RwFreeList* ) + sizeof( RwLinkList ) );
constexpr s32 RPBINWORLD_ENGINE_DATA_SIZE	= 0;

extern RwModuleInfo	sectorModule;
extern RwModuleInfo	worldModule;
extern RwModuleInfo	binWorldModule;

// True when every module and extension registered.
bool	RpWorldPluginAttach();

// The platform's world plug-ins; true on success.
bool	_rxWorldDevicePluginAttach();

#endif
