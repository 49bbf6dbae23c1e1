#include "framework/graphics/EFLoadingScreenRW.h"

#include "datatypes/file/DTFile.h"
#include "framework/core/engine/EFEngineController.h"

#include <cstdio>

EFLoadingScreenObserver EFLoadingScreen_SP::mspfnObserver = nullptr;

namespace {

constexpr const char * DICTIONARY_EXTENSION = "TXD";

// True when the dictionary at path opens; it is closed again.
bool DictionaryOpens( const char * path ) {
	DTFileHandle_ * const file = DTFopen( path, "rb" );
	if ( file == nullptr ) {
		return false;
	}
	DTFclose( file );
	return true;
}

}

EFLoadingScreen_SP::EFLoadingScreen_SP() {
}

EFLoadingScreen_SP::~EFLoadingScreen_SP() {
}

u32 EFLoadingScreen_SP::LoadTextures( const char * name, const char * ) {
	if ( name == nullptr ) {
		return 0;
	}
	const EFEngineController * const controller = gpoEngineController;
	const char * const prefix = controller != nullptr ? controller->GetPathPrefix() : "";
	const char * const level = controller != nullptr ? controller->GetLevelPath() : "";
	const char * const language = controller != nullptr ? controller->GetLanguage() : "";

	// A path that does not fit the disc layer's limit counts as missing.
	char path[DT_FILE_NAME_MAX];
	s32 length = std::snprintf( path, sizeof( path ), "%s%sLEVEL\\%s\\%s\\%s.%s", "", prefix, level, language, name,
								DICTIONARY_EXTENSION );
	if ( length >= 0 && static_cast<u32>( length ) < sizeof( path ) && DictionaryOpens( path ) ) {
		return 1;
	}
	length = std::snprintf( path, sizeof( path ), "%s%sLEVEL\\%s\\GEN\\%s.%s", "", prefix, level, name,
							DICTIONARY_EXTENSION );
	if ( length >= 0 && static_cast<u32>( length ) < sizeof( path ) && DictionaryOpens( path ) ) {
		return 1;
	}
	return 0;
}

s32 EFLoadingScreen_SP::LoadFromStream( DTBasePersistStream & stream ) {
	return DTLoadingScreenDescriptor::LoadFromStream( stream );
}

void EFLoadingScreen_SP::Update( const f32 progress ) {
	mfProgress = progress;
	mui32UpdateCount++;
	if ( mspfnObserver != nullptr ) {
		mspfnObserver( progress );
	}
}

EFLoadingScreenObserver EFLoadingScreen_SP::SetObserver( const EFLoadingScreenObserver observer ) {
	const EFLoadingScreenObserver previous = mspfnObserver;
	mspfnObserver = observer;
	return previous;
}
