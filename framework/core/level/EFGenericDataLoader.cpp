#include "framework/core/level/EFGenericDataLoader.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/streamable/DTIOStream.h"
#include "framework/core/level/EFLoadingMgr.h"

DT_IMPLEMENT_DYNAMIC_CLASS( EFGenericDataLoader, "EF_GENERIC_FILE", EF_GENERIC_DATA_LOADER_CLASS_ID, IT_OBJECT );

s32 EFGenericDataLoader::GetClassID() const {
	return EF_GENERIC_DATA_LOADER_CLASS_ID;
}

const char * EFGenericDataLoader::GetClassName() const {
	return "EF_GENERIC_FILE";
}

bool EFGenericDataLoader::IsLoader() {
	return true;
}

void EFGenericDataLoader::LoadRecord( DTBasePersistStream & stream ) {
	u32 managerId = 0xFFFFFFFF;
	u32 dataId = 0xFFFFFFFF;
	if ( stream.LoadData( managerId ) != DT_PERSIST_OK || stream.LoadData( dataId ) != DT_PERSIST_OK ) {
		DTPrintf( "EF_GENERIC_FILE: TRUNCATED RECORD!!!\n" );
		return;
	}
	EFLoadingMgr * const manager = EFLoadingMgr::GetManager( managerId );
	if ( manager == nullptr ) {
		DTPrintf( "EF_GENERIC_FILE: NO DATA MANAGER %u!!!\n", managerId );
		return;
	}
	manager->LoadData( managerId, dataId, stream );
}

s32 EFGenericDataLoader::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	u32 unused = 0;
	if ( stream.LoadData( unused ) != DT_PERSIST_OK || stream.LoadData( unused ) != DT_PERSIST_OK ) {
		DTPrintf( "EF_GENERIC_FILE: TRUNCATED RECORD!!!\n" );
		return 0;
	}
	LoadRecord( stream );
	return 0;
}

s32 EFGenericDataLoader::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	u32 unused = 0;
	if ( stream.LoadData( unused ) != DT_PERSIST_OK || stream.LoadData( unused ) != DT_PERSIST_OK ) {
		DTPrintf( "EF_GENERIC_FILE: TRUNCATED RECORD!!!\n" );
		return 0;
	}
	// Zero-filled and one byte beyond the longest name, so the name always
	// ends inside the buffer whether or not the stream terminates it.
	char name[EF_GENERIC_DATA_NAME_MAX + 1] = {};
	stream.LoadTextData( name, EF_GENERIC_DATA_NAME_MAX );
	DTIOStream file;
	if ( file.OpenInputStream( name, DT_IO_STREAM_MODE_BINARY ) != DT_PERSIST_OK ) {
		DTPrintf( "File not found == %s!!!!\n", name );
		return 0;
	}
	LoadRecord( *file.GetInStream() );
	file.CloseInput();
	return 0;
}
