#include "graphics3d/core/RwRaster.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwResources.h"

#include <cstring>

RwModuleInfo		rasterModule;
RwPluginRegistry	rasterTKList = { static_cast<s32>( sizeof( RwRaster ) ), static_cast<s32>( sizeof( RwRaster ) ), 0, 0,
									 nullptr, nullptr };

// Record of the raster free list while the module is open.
static RwFreeList rasterFreeListRecord;

// Lock level bits of the lock standard's inInt.
static const s32 LOCK_LEVEL_SHIFT	= 8;
static const s32 LOCK_LEVEL_MASK	= 0xFF00;

static RwRasterGlobals* Globals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( rasterModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RwRasterGlobals>( instance, rasterModule.globalsOffset );
}

static bool Standard( const s32 standard, void* out, void* inOut, const s32 inInt ) {
	const RwStandardFunc function = RwEngineInstance->standards[standard];
	return function != nullptr && function( out, inOut, inInt );
}

RwRaster* RwRasterCreate( const s32 width, const s32 height, const s32 depth, const s32 flags ) {
	RwRasterGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	RwRaster* const raster = static_cast<RwRaster*>( RwEngineInstance->freeListAllocHook( globals->rasterFreeList ) );
	if ( raster == nullptr ) {
		return nullptr;
	}
	raster->privateFlags = 0;
	raster->cFlags = 0;
	raster->width = width;
	raster->height = height;
	raster->depth = depth;
	raster->nOffsetX = 0;
	raster->nOffsetY = 0;
	raster->parent = raster;
	raster->cpPixels = nullptr;
	raster->palette = nullptr;
	if ( !Standard( rwSTANDARDRASTERCREATE, nullptr, raster, flags ) ) {
		RwEngineInstance->freeListFreeHook( globals->rasterFreeList, raster );
		return nullptr;
	}
	// The plug-ins see a raster the device has accepted; when one of them
	// fails, the device's part is undone too.
	if ( _rwPluginRegistryInitObject( &rasterTKList, raster ) == nullptr ) {
		Standard( rwSTANDARDRASTERDESTROY, nullptr, raster, 0 );
		RwEngineInstance->freeListFreeHook( globals->rasterFreeList, raster );
		return nullptr;
	}
	return raster;
}

bool RwRasterDestroy( RwRaster* raster ) {
	_rwPluginRegistryDeInitObject( &rasterTKList, raster );
	Standard( rwSTANDARDRASTERDESTROY, nullptr, raster, 0 );
	RwRasterGlobals* const globals = Globals();
	if ( globals != nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->rasterFreeList, raster );
	}
	return true;
}

u8* RwRasterLock( RwRaster* raster, const u8 level, const s32 lockMode ) {
	u8* pixels = nullptr;
	const s32 flags = ( ( static_cast<s32>( level ) << LOCK_LEVEL_SHIFT ) & LOCK_LEVEL_MASK ) + lockMode;
	if ( !Standard( rwSTANDARDRASTERLOCK, &pixels, raster, flags ) ) {
		return nullptr;
	}
	return pixels;
}

RwRaster* RwRasterUnlock( RwRaster* raster ) {
	Standard( rwSTANDARDRASTERUNLOCK, nullptr, raster, 0 );
	return raster;
}

u8* RwRasterLockPalette( RwRaster* raster, const s32 lockMode ) {
	u8* palette = nullptr;
	if ( !Standard( rwSTANDARDRASTERLOCKPALETTE, &palette, raster, lockMode ) ) {
		return nullptr;
	}
	return palette;
}

RwRaster* RwRasterUnlockPalette( RwRaster* raster ) {
	Standard( rwSTANDARDRASTERUNLOCKPALETTE, nullptr, raster, 0 );
	raster->privateFlags &= static_cast<u8>( ~( rwRASTERPALETTELOCKEDREAD | rwRASTERPALETTELOCKEDWRITE ) );
	return raster;
}

RwRaster* RwRasterPushContext( RwRaster* raster ) {
	RwRasterGlobals* const globals = Globals();
	if ( globals == nullptr || globals->rasterSP >= RWRASTER_CONTEXT_STACK_SIZE - 1 ) {
		return nullptr;
	}
	if ( !Standard( rwSTANDARDSETRASTERCONTEXT, nullptr, raster, 0 ) ) {
		return nullptr;
	}
	globals->rasterStack[++globals->rasterSP] = raster;
	return raster;
}

RwRaster* RwRasterPopContext() {
	RwRasterGlobals* const globals = Globals();
	if ( globals == nullptr || globals->rasterSP <= 0 ) {
		return nullptr;
	}
	RwRaster* const popped = globals->rasterStack[globals->rasterSP--];
	if ( !Standard( rwSTANDARDSETRASTERCONTEXT, nullptr, globals->rasterStack[globals->rasterSP], 0 ) ) {
		return nullptr;
	}
	return popped;
}

bool RwRasterClear( const s32 pixelValue ) {
	RwRasterGlobals* const globals = Globals();
	if ( globals == nullptr || globals->rasterSP == 0 ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_RASTER_CONTEXT ) );
		return false;
	}
	return Standard( rwSTANDARDRASTERCLEAR, nullptr, nullptr, pixelValue );
}

RwRaster* RwRasterShowRaster( RwRaster* raster, void* dev, const u32 flags ) {
	_rwResourcesPurge();
	if ( !Standard( rwSTANDARDRASTERSHOWRASTER, raster, dev, static_cast<s32>( flags ) ) ) {
		return nullptr;
	}
	return raster;
}

RwRaster* RwRasterSubRaster( RwRaster* subRaster, RwRaster* raster, const RwRect* rect ) {
	if ( ( subRaster->cFlags & rwRASTERDONTALLOCATE ) == 0 ) {
		return nullptr;
	}
	subRaster->width = rect->w;
	subRaster->height = rect->h;
	subRaster->nOffsetX = static_cast<s16>( raster->nOffsetX + static_cast<s16>( rect->x ) );
	subRaster->nOffsetY = static_cast<s16>( raster->nOffsetY + static_cast<s16>( rect->y ) );
	if ( !Standard( rwSTANDARDRASTERSUBRASTER, subRaster, raster, 0 ) ) {
		return nullptr;
	}
	subRaster->parent = raster->parent;
	return subRaster;
}

s32 RwRasterGetNumLevels( RwRaster* raster ) {
	if ( ( raster->cFormat & ( rwRASTERFORMATMIPMAP >> 8 ) ) == 0 ) {
		return 1;
	}
	s32 levels = 0;
	if ( !Standard( rwSTANDARDRASTERGETMIPLEVELS, &levels, raster, 0 ) ) {
		return -1;
	}
	return levels;
}

s32 RwRasterRegisterPlugin( const s32 size, const u32 pluginID, const RwPluginObjectConstructor constructCB,
							const RwPluginObjectDestructor destructCB, const RwPluginObjectCopy copyCB ) {
	return _rwPluginRegistryAddPlugin( &rasterTKList, size, pluginID, constructCB, destructCB, copyCB );
}

s32 RwRasterGetPluginOffset( const u32 pluginID ) {
	return _rwPluginRegistryGetPluginOffset( &rasterTKList, pluginID );
}

void* _rwRasterOpen( void* instance, const s32 offset, s32 ) {
	RwRasterGlobals* const globals = RwPluginData<RwRasterGlobals>( instance, offset );
	std::memset( &globals->dummyRaster, 0, sizeof( globals->dummyRaster ) );
	globals->dummyRaster.cFlags = rwRASTERDONTALLOCATE;
	for ( RwRaster*& entry : globals->rasterStack ) {
		entry = nullptr;
	}
	globals->rasterStack[0] = &globals->dummyRaster;
	globals->rasterSP = 0;
	globals->rasterFreeList = RwFreeListCreateAndPreallocateSpace( rasterTKList.sizeOfStruct, RWRASTER_ENTRIES_PER_BLOCK,
																   4, 1, &rasterFreeListRecord );
	if ( globals->rasterFreeList == nullptr ) {
		return nullptr;
	}
	rasterModule.globalsOffset = offset;
	rasterModule.numInstances++;
	return instance;
}

void* _rwRasterClose( void* instance, const s32 offset, s32 ) {
	if ( rasterModule.numInstances <= 0 ) {
		return instance;
	}
	RwRasterGlobals* const globals = RwPluginData<RwRasterGlobals>( instance, offset );
	RwFreeListDestroy( globals->rasterFreeList );
	globals->rasterFreeList = nullptr;
	rasterModule.numInstances--;
	return instance;
}
