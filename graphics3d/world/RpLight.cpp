#include "graphics3d/world/RpLight.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/world/RpStructChunk.h"
#include "graphics3d/world/RpWorld.h"

#include "datatypes/base/DTByteOrder.h"

#include <cmath>

RwModuleInfo		lightModule;
RwPluginRegistry	lightTKList = { static_cast<s32>( sizeof( RpLight ) ), static_cast<s32>( sizeof( RpLight ) ), 0, 0,
									nullptr, nullptr };

// Record of the light free list while the module is open.
static RwFreeList lightFreeListRecord;

// Byte offsets in the light struct.
static const u32 STRUCT_RADIUS		= 0;
static const u32 STRUCT_RED			= 4;
static const u32 STRUCT_GREEN		= 8;
static const u32 STRUCT_BLUE		= 12;
static const u32 STRUCT_CONE		= 16;
static const u32 STRUCT_TYPE_FLAGS	= 20;

static const u32 STORED_TYPE_SHIFT	= 16;
static const u32 STORED_BYTE_MASK	= 0xFF;

static RpLightGlobals* Globals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( lightModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RpLightGlobals>( instance, lightModule.globalsOffset );
}

// Lights have nothing of their own to bring up to date when their frame
// moves.
static RwObjectHasFrame* LightSync( RwObjectHasFrame* object ) {
	return object;
}

static u8 ChromaFlags( const RwRGBAReal& color ) {
	return color.red == color.green && color.green == color.blue ? rpLIGHTPRIVATENOCHROMA : 0;
}

RpLight* RpLightCreate( const s32 type ) {
	RpLightGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	RpLight* const light = static_cast<RpLight*>( RwEngineInstance->freeListAllocHook( globals->lightFreeList ) );
	if ( light == nullptr ) {
		return nullptr;
	}
	light->object.object.type = rpLIGHT;
	light->object.object.subType = static_cast<u8>( type );
	light->object.object.flags = RPLIGHT_DEFAULT_FLAGS;
	light->object.object.privateFlags = rpLIGHTPRIVATENOCHROMA;
	light->object.object.parent = nullptr;
	light->object.lFrame.next = nullptr;
	light->object.lFrame.prev = nullptr;
	light->object.sync = LightSync;
	light->radius = 0.0f;
	light->color = { 1.0f, 1.0f, 1.0f, 1.0f };
	light->minusCosAngle = 1.0f;
	rwLinkListInitialize( &light->WorldSectorsInLight );
	light->inWorld.next = nullptr;
	light->inWorld.prev = nullptr;
	light->lightFrame = static_cast<u16>( RwEngineInstance->lightFrame - 1 );
	if ( _rwPluginRegistryInitObject( &lightTKList, light ) == nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->lightFreeList, light );
		return nullptr;
	}
	return light;
}

bool RpLightDestroy( RpLight* light ) {
	if ( light == nullptr ) {
		return true;
	}
	_rwPluginRegistryDeInitObject( &lightTKList, light );
	_rwObjectHasFrameReleaseFrame( &light->object );
	RpLightGlobals* const globals = Globals();
	if ( globals != nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->lightFreeList, light );
	}
	return true;
}

RpLight* RpLightSetRadius( RpLight* light, const f32 radius ) {
	light->radius = radius;
	RwFrame* const frame = static_cast<RwFrame*>( light->object.object.parent );
	if ( frame != nullptr ) {
		RwFrameUpdateObjects( frame );
	}
	return light;
}

RpLight* RpLightSetColor( RpLight* light, const RwRGBAReal* color ) {
	light->color = *color;
	light->object.object.privateFlags = ChromaFlags( *color );
	return light;
}

RpLight* RpLightSetConeAngle( RpLight* light, const f32 angle ) {
	if ( angle < 0.0f || angle > RPLIGHT_MAX_CONE_ANGLE ) {
		return nullptr;
	}
	light->minusCosAngle = -std::cos( angle );
	return light;
}

f32 RpLightGetConeAngle( const RpLight* light ) {
	return std::acos( -light->minusCosAngle );
}

s32 RpLightRegisterPlugin( const s32 size, const u32 pluginID, const RwPluginObjectConstructor constructCB,
						   const RwPluginObjectDestructor destructCB, const RwPluginObjectCopy copyCB ) {
	return _rwPluginRegistryAddPlugin( &lightTKList, size, pluginID, constructCB, destructCB, copyCB );
}

f32 _rpLightConeFromStream( const f32 storedValue, const u32 version ) {
	if ( version < RPLIGHT_CONE_COSINE_VERSION ) {
		// Older chunks store the tangent of the angle.
		return -std::sqrt( 1.0f / ( 1.0f + storedValue * storedValue ) );
	}
	return storedValue;
}

RpLight* RpLightStreamRead( RwStream* stream ) {
	u8 record[RPLIGHT_CHUNK_STRUCT_BYTES];
	u32 version = 0;
	if ( !_rpStructChunkRead( stream, record, sizeof( record ), &version ) ) {
		return nullptr;
	}
	const u32 typeAndFlags = DTReadLE32( record + STRUCT_TYPE_FLAGS );
	RpLight* const light = RpLightCreate( static_cast<s32>( ( typeAndFlags >> STORED_TYPE_SHIFT ) & STORED_BYTE_MASK ) );
	if ( light == nullptr ) {
		return nullptr;
	}
	const RwRGBAReal color = { DTReadLEF32( record + STRUCT_RED ), DTReadLEF32( record + STRUCT_GREEN ),
							   DTReadLEF32( record + STRUCT_BLUE ), 1.0f };
	RpLightSetRadius( light, DTReadLEF32( record + STRUCT_RADIUS ) );
	RpLightSetColor( light, &color );
	light->minusCosAngle = _rpLightConeFromStream( DTReadLEF32( record + STRUCT_CONE ), version );
	light->object.object.flags = static_cast<u8>( typeAndFlags & STORED_BYTE_MASK );
	if ( _rwPluginRegistryReadDataChunks( &lightTKList, stream, light ) == nullptr ) {
		RpLightDestroy( light );
		return nullptr;
	}
	return light;
}


static void DestroyLeftLight( void* entry, void* ) {
	RpLightDestroy( static_cast<RpLight*>( entry ) );
}

void* _rpLightOpen( void* instance, const s32 offset, s32 ) {
	RpLightGlobals* const globals = RwPluginData<RpLightGlobals>( instance, offset );
	globals->lightFreeList = RwFreeListCreateAndPreallocateSpace( lightTKList.sizeOfStruct, RPLIGHT_ENTRIES_PER_BLOCK, 0, 1,
																  &lightFreeListRecord );
	if ( globals->lightFreeList == nullptr ) {
		return nullptr;
	}
	lightModule.globalsOffset = offset;
	lightModule.numInstances++;
	return instance;
}

void* _rpLightClose( void* instance, const s32 offset, s32 ) {
	RpLightGlobals* const globals = RwPluginData<RpLightGlobals>( instance, offset );
	if ( globals->lightFreeList != nullptr ) {
		RwFreeListForAllUsed( globals->lightFreeList, DestroyLeftLight, nullptr );
		RwFreeListDestroy( globals->lightFreeList );
		globals->lightFreeList = nullptr;
	}
	if ( lightModule.numInstances > 0 ) {
		lightModule.numInstances--;
	}
	return instance;
}
