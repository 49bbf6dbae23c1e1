#include "framework/core/EFRessourcesMgr.h"

#include "datatypes/DTFile.h"
#include "datatypes/MMMemory.h"
#include "framework/core/EFCallTrace.h"

#include <cstring>

EFRessourcesMgr* gpoRessourcesMgr = nullptr;

EFRessourcesMgr::EFRessourcesMgr() {
	mbFailInitialize = 0;
	mpszResFilename = nullptr;
	std::memset( mszCurrentExtension, 0, sizeof( mszCurrentExtension ) );
	mbLoading = 0;
	mui32LoadCount = 0;
}

EFRessourcesMgr::~EFRessourcesMgr() {
	MMFree( mpszResFilename );
	mpszResFilename = nullptr;
	if ( gpoRessourcesMgr == this ) {
		gpoRessourcesMgr = nullptr;
	}
}

u32 EFRessourcesMgr::Initialize() {
	EFCallTraceAdd( "EFRessourcesMgr::Initialize" );
	if ( mbFailInitialize ) {
		mbFailInitialize = 0;
		return 0;
	}
	LoadLevel( 0 );
	return 1;
}

s32 EFRessourcesMgr::LoadLevel( u32 ) {
	EFCallTraceAdd( "EFRessourcesMgr::LoadLevel" );
	mbLoading = 1;
	mui32LoadCount++;
	mbLoading = 0;
	return 0;
}

void EFRessourcesMgr::Terminate() {
	EFCallTraceAdd( "EFRessourcesMgr::Terminate" );
	moRessourceFactory.Clear();
}

void EFRessourcesMgr::SetResFilename( const char* name ) {
	if ( name == nullptr || name == mpszResFilename ) {
		return;
	}
	const char* const dot = std::strrchr( name, '.' );
	if ( dot != nullptr ) {
		const size_t length = std::strlen( dot );
		if ( length > EF_EXTENSION_MAX ) {
			DTPrintf( "EXTENSION %s TOO LONG, CUT TO %u CHARACTERS!!!\n", dot, EF_EXTENSION_MAX );
		}
		std::memset( mszCurrentExtension, 0, sizeof( mszCurrentExtension ) );
		std::memcpy( mszCurrentExtension, dot, length < EF_EXTENSION_MAX ? length : EF_EXTENSION_MAX );
	}
	const u32 nameLength = static_cast<u32>( std::strlen( name ) );
	const u32 extensionLength = dot == nullptr ? static_cast<u32>( std::strlen( mszCurrentExtension ) ) : 0;
	char* const copy = static_cast<char*>( MMMalloc( nameLength + extensionLength + 1 ) );
	if ( copy == nullptr ) {
		DTPrintf( "NO MEMORY FOR THE RESOURCE FILE NAME %s!!!\n", name );
		return;
	}
	std::memcpy( copy, name, nameLength );
	std::memcpy( copy + nameLength, mszCurrentExtension, extensionLength );
	copy[nameLength + extensionLength] = '\0';
	MMFree( mpszResFilename );
	mpszResFilename = copy;
}
