#include "graphics3d/world/RpWorldPlugin.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/world/RpWorld.h"
#include "graphics3d/world/RpWorldObj.h"

RwModuleInfo sectorModule;
RwModuleInfo worldModule;
RwModuleInfo binWorldModule;

namespace {

// Opens and closes of modules that only keep their offset and count.
template< RwModuleInfo* module >
void* CountingOpen( void* instance, const s32 offset, s32 ) {
	module->globalsOffset = offset;
	module->numInstances++;
	return instance;
}

template< RwModuleInfo* module >
void* CountingClose( void* instance, s32, s32 ) {
	if ( module->numInstances > 0 ) {
		module->numInstances--;
	}
	return instance;
}

struct RpWorldModule {
	s32							size;
	u32							pluginID;
	RwPluginObjectConstructor	open;
	RwPluginObjectDestructor	close;
};

const RpWorldModule worldModules[] = {
	{ static_cast<s32>( sizeof( RpMaterialGlobals ) ), rwID_MATERIALMODULE, _rpMaterialOpen, _rpMaterialClose },
	{ static_cast<s32>( sizeof( RpMeshGlobals ) ), rwID_MESHMODULE, _rpMeshOpen, _rpMeshClose },
	{ RPGEOMETRY_ENGINE_DATA_SIZE, rwID_GEOMETRYMODULE, _rpGeometryOpen, _rpGeometryClose },
	{ static_cast<s32>( sizeof( RpClumpGlobals ) ), rwID_CLUMPMODULE, _rpClumpOpen, _rpClumpClose },
	{ static_cast<s32>( sizeof( RpLightGlobals ) ), rwID_LIGHTMODULE, _rpLightOpen, _rpLightClose },
	{ RPSECTOR_ENGINE_DATA_SIZE, rwID_SECTORMODULE, CountingOpen<&sectorModule>, CountingClose<&sectorModule> },
	{ RPWORLD_ENGINE_DATA_SIZE, rwID_WORLDMODULE, _rpWorldOpen, _rpWorldClose },
	{ RPBINWORLD_ENGINE_DATA_SIZE, rwID_BINWORLDMODULE, CountingOpen<&binWorldModule>, CountingClose<&binWorldModule> },
};

}	// namespace

bool _rxWorldDevicePluginAttach() {
	return _rpDlVtxFmtPluginAttach();
}

bool RpWorldPluginAttach() {
	bool attached = true;
	for ( const RpWorldModule& module : worldModules ) {
		attached &= RwEngineRegisterPlugin( module.size, module.pluginID, module.open, module.close ) >= 0;
	}
	if ( !attached ) {
		return false;
	}
	return _rpWorldObjRegisterExtensions() && _rpClumpRegisterExtensions() && _rxWorldDevicePluginAttach();
}
