#include "framework/graphics/EF3dObjResData.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/descriptor/DTEmitterContainerDescriptor.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTBinaryPersistStream.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/graphics/EFRwPersistStream.h"
#include "framework/graphics/EFStreamConvert.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwStreamData.h"
#include "graphics3d/world/RpClump.h"

#include <new>

namespace {

// The marker and emitters after the version: read where the library
// stream stands, through a persist stream over the same data.
void LoadEmitters( DTBasePersistStream & stream, DTEmitterContainerDescriptor *& emitters ) {
	u8 marker[4];
	if ( stream.LoadBinaryData( reinterpret_cast<char *>( marker ), sizeof( marker ) ) != DT_PERSIST_OK ||
		 DTReadLE32( marker ) == EF_3D_OBJ_RES_NO_EMITTERS ) {
		return;
	}
	emitters = new ( std::nothrow ) DTEmitterContainerDescriptor;
	if ( emitters != nullptr ) {
		emitters->LoadFromStreamSwap( stream );
	}
}

}

EF3dObjResData::EF3dObjResData() : mpClump( nullptr ), muiVersion( 0 ), mpResEmitters( nullptr ), mbRegistered( false ) {
}

EF3dObjResData::~EF3dObjResData() {
	if ( mpClump != nullptr ) {
		RpClumpDestroy( mpClump );
		mpClump = nullptr;
	}
	delete mpResEmitters;
	mpResEmitters = nullptr;
}

bool EF3dObjResData::IsOwnedElsewhere() const {
	return mbRegistered;
}

s32 EF3dObjResData::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	u32 id = 0;
	u32 users = 0;
	stream.LoadData( id );
	stream.LoadData( users );
	return LoadBridged( stream, nullptr, id, users );
}

s32 EF3dObjResData::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	u32 id = 0;
	u32 users = 0;
	stream.LoadData( id );
	stream.LoadData( users );
	char name[EF_3D_OBJ_RES_NAME_MAX + 1] = {};
	stream.LoadTextData( name, sizeof( name ) );
	return LoadBridged( stream, name, id, users );
}

s32 EF3dObjResData::LoadBridged( DTBasePersistStream & stream, const char * name, const u32 id, const u32 users ) {
	RwStream * const rwStream = EFStreamConvert( &stream, name );
	if ( rwStream != nullptr ) {
		Load3dObj( rwStream );
		EFStreamCloseConvert( rwStream, &stream );
	}
	if ( gpoRessourcesMgr != nullptr ) {
		gpoRessourcesMgr->GetRessourceFactory().RegisterRessource( id, users, this );
		mbRegistered = true;
	}
	return 0;
}

s32 EF3dObjResData::Load3dObj( RwStream * stream ) {
	if ( stream == nullptr || !RwStreamFindChunk( stream, rwID_CLUMP, nullptr, nullptr ) ) {
		return 0;
	}
	const bool auxiliary = gbVMAlloc;
	gbVMAlloc = true;
	mpClump = RpClumpStreamRead( stream );
	gbVMAlloc = auxiliary;
	// A clump that does not read leaves the stream inside its chunk:
	// nothing after it can be found again.
	if ( mpClump == nullptr ) {
		return 0;
	}

	u32 version = 0;
	if ( RwStreamReadInt32( stream, &version, sizeof( version ) ) == nullptr ) {
		version = 0;
	}
	muiVersion = version;
	if ( ( version & 0xFFFF ) < EF_3D_OBJ_RES_EMITTER_VERSION ) {
		return 0;
	}
	DTFileHandle_ * const file = EFStreamConvertFileHandle( stream );
	if ( file != nullptr ) {
		DTBinaryPersistStream disc( file );
		LoadEmitters( disc, mpResEmitters );
	} else {
		EFRwPersistStream bridged( stream );
		LoadEmitters( bridged, mpResEmitters );
	}
	return 0;
}
