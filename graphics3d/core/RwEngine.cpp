#include "graphics3d/core/RwEngine.h"

#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwColor.h"
#include "graphics3d/core/RwDeviceLink.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwImage.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwResources.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/core/RwV3d.h"

#include <cstring>

RwGlobals*			RwEngineInstance = nullptr;
RwGlobals			staticGlobals;
RwPluginRegistry	engineTKList = { static_cast<s32>( sizeof( RwGlobals ) ), static_cast<s32>( sizeof( RwGlobals ) ), 0, 0,
									 nullptr, nullptr };
s32					engineInstancesOpened = 0;

// One core module registered by CorePluginAttach.
struct RwCoreModule {
	s32							size;
	u32							pluginID;
	RwPluginObjectConstructor	open;
	RwPluginObjectDestructor	close;
};

// The core modules in registration order. The pipeline attach step runs
// between the render pipelines and immediate 3D.
static const RwCoreModule coreModulesBeforePipeAttach[] = {
	{ static_cast<s32>( sizeof( RwErrorGlobals ) ),		RWID_ERROR_MODULE,		_rwErrorOpen,			_rwErrorClose },
	{ static_cast<s32>( sizeof( RwVectorGlobals ) ),	RWID_VECTOR_MODULE,		_rwVectorOpen,			_rwVectorClose },
	{ 0,												RWID_COLOR_MODULE,		_rwColorOpen,			_rwColorClose },
	{ static_cast<s32>( sizeof( RwMatrixGlobals ) ),	RWID_MATRIX_MODULE,		_rwMatrixOpen,			_rwMatrixClose },
	{ static_cast<s32>( sizeof( RwFrameGlobals ) ),		RWID_FRAME_MODULE,		_rwFrameOpen,			_rwFrameClose },
	{ static_cast<s32>( sizeof( RwStreamGlobals ) ),	RWID_STREAM_MODULE,		_rwStreamModuleOpen,	_rwStreamModuleClose },
	{ static_cast<s32>( sizeof( RwCameraGlobals ) ),	RWID_CAMERA_MODULE,		_rwCameraOpen,			_rwCameraClose },
	{ static_cast<s32>( sizeof( RwImageGlobals ) ),		RWID_IMAGE_MODULE,		_rwImageOpen,			_rwImageClose },
	{ static_cast<s32>( sizeof( RwRasterGlobals ) ),	RWID_RASTER_MODULE,		_rwRasterOpen,			_rwRasterClose },
	{ static_cast<s32>( sizeof( RwTextureGlobals ) ),	RWID_TEXTURE_MODULE,	_rwTextureOpen,			_rwTextureClose },
	{ RWPIPELINE_GLOBALS_SIZE,							RWID_PIPELINE_MODULE,	_rwRenderPipelineOpen,	_rwRenderPipelineClose },
};

static const RwCoreModule coreModulesAfterPipeAttach[] = {
	{ RWIM3D_GLOBALS_SIZE,								RWID_IM3D_MODULE,		_rwIm3DOpen,			_rwIm3DClose },
	{ static_cast<s32>( sizeof( RwResourcesGlobals ) ),	RWID_RESOURCES_MODULE,	_rwResourcesOpen,		_rwResourcesClose },
};

static RwGlobals* CurrentInstance() {
	return RwEngineInstance != nullptr ? RwEngineInstance : &staticGlobals;
}

// A standard that refuses, put in every slot before the device fills the
// table, so that a slot the device leaves alone is never a null call.
static bool RefusingStandard( void*, void*, s32 ) {
	return false;
}

// Every row is registered even after a failure.
static bool CorePluginAttach() {
	bool attached = true;
	for ( const RwCoreModule& module : coreModulesBeforePipeAttach ) {
		attached &= RwEngineRegisterPlugin( module.size, module.pluginID, module.open, module.close ) >= 0;
	}
	attached &= _rwPipeAttach != nullptr && _rwPipeAttach();
	for ( const RwCoreModule& module : coreModulesAfterPipeAttach ) {
		attached &= RwEngineRegisterPlugin( module.size, module.pluginID, module.open, module.close ) >= 0;
	}
	return attached;
}

bool RwEngineInit( const RwMemoryFunctions* memoryFunctions, const u32 initFlags, const u32 resArenaSize ) {
	// Checked before anything changes: an open instance must stay current
	// with its hooks and arena size.
	if ( CurrentInstance()->engineState != RWENGINE_STATE_IDLE ) {
		return false;
	}
	RwEngineInstance = &staticGlobals;
	if ( initFlags & RWENGINE_INIT_NO_FREE_LISTS ) {
		staticGlobals.freeListAllocHook = MallocWrapper;
		staticGlobals.freeListFreeHook = FreeWrapper;
		_rwFreeListEnable( false );
	} else {
		staticGlobals.freeListAllocHook = _rwFreeListAllocReal;
		staticGlobals.freeListFreeHook = _rwFreeListFreeReal;
		_rwFreeListEnable( true );
	}
	staticGlobals.arenaSize = resArenaSize;

	if ( !_rwStringOpen() ) {
		return false;
	}
	if ( !_rwMemoryOpen( memoryFunctions ) ) {
		_rwStringClose();
		return false;
	}
	if ( !_rwFileSystemOpen() ) {
		_rwMemoryClose();
		_rwStringClose();
		return false;
	}
	if ( !_rwPluginRegistryOpen() ) {
		_rwFileSystemClose();
		_rwMemoryClose();
		_rwStringClose();
		return false;
	}
	if ( !CorePluginAttach() || _rwDeviceRegisterPlugin == nullptr || !_rwDeviceRegisterPlugin() ) {
		_rwPluginRegistryClose();
		_rwFileSystemClose();
		_rwMemoryClose();
		_rwStringClose();
		return false;
	}
	staticGlobals.engineState = RWENGINE_STATE_INITIALISED;
	return true;
}

// Undoes an open whose device refused: the head goes back into the static
// record, which becomes current again, and the instance is freed.
static bool AbandonOpen( RwGlobals* instance ) {
	staticGlobals = *instance;
	RwEngineInstance = &staticGlobals;
	staticGlobals.memoryFunctions.rwfree( instance );
	return false;
}

bool RwEngineOpen( void* deviceConfig ) {
	if ( RwEngineInstance == nullptr ) {
		RwEngineInstance = &staticGlobals;
	}
	if ( RwEngineInstance->engineState != RWENGINE_STATE_INITIALISED ) {
		_rwErrorSetCore( _rwerror( RWERR_BAD_ENGINE_STATE ) );
		return false;
	}
	if ( deviceConfig == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NULL_ARGUMENT ) );
		return false;
	}
	RwDevice* const handle = _rwDeviceGetHandle != nullptr ? _rwDeviceGetHandle() : nullptr;
	if ( handle == nullptr ) {
		return false;
	}
	const u32 instanceSize = static_cast<u32>( engineTKList.sizeOfStruct );
	RwGlobals* const instance = static_cast<RwGlobals*>( staticGlobals.memoryFunctions.rwmalloc( instanceSize ) );
	if ( instance == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, instanceSize ) );
		return false;
	}
	std::memcpy( instance, &staticGlobals, sizeof( RwGlobals ) );
	RwEngineInstance = instance;

	// A device that refuses to register leaves no usable record behind.
	if ( !_rwDeviceSystemRequest( handle, RWDEVICE_REGISTER, &instance->device, &instance->memoryFunctions, 0 ) ||
		 instance->device.fpSystem == nullptr ) {
		return AbandonOpen( instance );
	}
	if ( !_rwDeviceSystemRequest( &instance->device, RWDEVICE_OPEN, nullptr, deviceConfig, 0 ) ) {
		return AbandonOpen( instance );
	}
	for ( RwStandardFunc& standard : instance->standards ) {
		standard = RefusingStandard;
	}
	_rwDeviceSystemRequest( &instance->device, RWDEVICE_STANDARDS, instance->standards, nullptr, RWSTANDARD_COUNT );

	engineInstancesOpened++;
	instance->engineState = RWENGINE_STATE_OPENED;
	return true;
}

// True while an instance of its own, not the static record, is current.
static bool InstanceIsOpen() {
	return RwEngineInstance != nullptr && RwEngineInstance != &staticGlobals;
}

bool RwEngineStart() {
	// Modules must only open in the space of an opened instance.
	if ( !InstanceIsOpen() || RwEngineInstance->engineState != RWENGINE_STATE_OPENED ) {
		return false;
	}
	RwGlobals* const instance = RwEngineInstance;
	if ( !_rwDeviceSystemRequest( &instance->device, RWDEVICE_START, nullptr, nullptr, 0 ) ) {
		return false;
	}
	if ( _rwPluginRegistryInitObject( &engineTKList, instance ) == nullptr ) {
		_rwDeviceSystemRequest( &instance->device, RWDEVICE_STOP, nullptr, nullptr, 0 );
		return false;
	}
	RwImageSetGamma( instance->device.gammaCorrection );
	_rwDeviceSystemRequest( &instance->device, RWDEVICE_FINISH_START, nullptr, nullptr, 0 );
	instance->engineState = RWENGINE_STATE_STARTED;
	return true;
}

bool RwEngineStop() {
	// Modules must only close what a start opened.
	if ( !InstanceIsOpen() || RwEngineInstance->engineState != RWENGINE_STATE_STARTED ) {
		return false;
	}
	RwGlobals* const instance = RwEngineInstance;
	_rwDeviceSystemRequest( &instance->device, RWDEVICE_BEGIN_STOP, nullptr, nullptr, 0 );
	_rwPluginRegistryDeInitObject( &engineTKList, instance );
	const bool stopped = _rwDeviceSystemRequest( &instance->device, RWDEVICE_STOP, nullptr, nullptr, 0 );
	if ( stopped ) {
		instance->engineState = RWENGINE_STATE_OPENED;
	}
	return stopped;
}

bool RwEngineClose() {
	// Without an open instance there is no device to close and nothing to
	// free.
	if ( !InstanceIsOpen() ) {
		return false;
	}
	RwGlobals* const instance = RwEngineInstance;
	if ( !_rwDeviceSystemRequest( &instance->device, RWDEVICE_CLOSE, nullptr, nullptr, 0 ) ) {
		return false;
	}
	staticGlobals = *instance;
	RwEngineInstance = &staticGlobals;
	staticGlobals.memoryFunctions.rwfree( instance );
	engineInstancesOpened--;
	staticGlobals.engineState = RWENGINE_STATE_INITIALISED;
	return true;
}

bool RwEngineTerm() {
	if ( engineInstancesOpened != 0 ) {
		return false;
	}
	RwEngineInstance = &staticGlobals;
	_rwPluginRegistryClose();
	_rwFileSystemClose();
	_rwMemoryClose();
	staticGlobals.engineState = RWENGINE_STATE_IDLE;
	return true;
}

s32 RwEngineRegisterPlugin( const s32 size, const u32 pluginID, const RwPluginObjectConstructor initCB,
							const RwPluginObjectDestructor termCB ) {
	return _rwPluginRegistryAddPlugin( &engineTKList, size, pluginID, initCB, termCB, nullptr );
}

s32 RwEngineGetPluginOffset( const u32 pluginID ) {
	return _rwPluginRegistryGetPluginOffset( &engineTKList, pluginID );
}

s32 _rwGetNumEngineInstances() {
	return engineInstancesOpened;
}
