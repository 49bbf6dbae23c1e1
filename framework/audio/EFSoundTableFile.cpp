#include "framework/audio/EFSoundTableFile.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/core/engine/EFEngineController.h"
#include "platform/os/OS.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

// The engine controller's path prefix, level and language; empty without
// a controller.
const char * PathPrefix() {
	return gpoEngineController != nullptr ? gpoEngineController->GetPathPrefix() : "";
}

const char * LevelName() {
	return gpoEngineController != nullptr ? gpoEngineController->GetLevelPath() : "";
}

const char * Language() {
	return gpoEngineController != nullptr ? gpoEngineController->GetLanguage() : "";
}

const char * GlobalFolder() {
	return gpoNewAudioMgr != nullptr ? gpoNewAudioMgr->GetEnvironmentName() : "";
}

}

EFSoundTableFile::EFSoundTableFile() : mpoFile( nullptr ), mui32BytesLeft( 0 ), mszPath() {
}

EFSoundTableFile::~EFSoundTableFile() {
	if ( mpoFile != nullptr ) {
		DTFclose( mpoFile );
	}
}

bool EFSoundTableFile::Format( const char * format, const char * a, const char * b, const char * c,
							   const char * d, const char * e ) {
	const int written = std::snprintf( mszPath, sizeof( mszPath ), format, a, b, c, d, e );
	return written >= 0 && static_cast<u32>( written ) < sizeof( mszPath );
}

DTFileHandle_ * EFSoundTableFile::TryOpen() {
	return DTFopen( mszPath, "rb" );
}

bool EFSoundTableFile::Open( const bool global, const char * name, const char * extension ) {
	char file[EF_AUDIO_PATH_SIZE];
	const int length = std::snprintf( file, sizeof( file ), "%s.%s", name != nullptr ? name : "", extension );
	const bool fits = length >= 0 && static_cast<u32>( length ) < sizeof( file );

	bool formatted = fits && Format( "%s%sLEVEL\\%s\\%s\\AUDIO\\%s", "", PathPrefix(), LevelName(), Language(), file );
	if ( formatted && global && DTFsize( mszPath ) == 0 ) {
		formatted = Format( "%s%sGLOBAL\\%s%s\\AUDIO\\%s", "", PathPrefix(), GlobalFolder(), Language(), file );
	}
	mpoFile = formatted ? TryOpen() : nullptr;
	if ( mpoFile == nullptr ) {
		if ( global ) {
			formatted = fits && Format( "%s%sGLOBAL\\%sGEN\\AUDIO\\%s", "", PathPrefix(), GlobalFolder(), file, "" );
		} else {
			formatted = fits && Format( "%s%sLEVEL\\%s\\GEN\\AUDIO\\%s", "", PathPrefix(), LevelName(), file, "" );
		}
		mpoFile = formatted ? TryOpen() : nullptr;
	}
	if ( mpoFile == nullptr ) {
		OSReport( "File not found == %s!!!!\n", mszPath );
		return false;
	}
	mui32BytesLeft = DTFsize( mpoFile );
	return true;
}

bool EFSoundTableFile::ReadHeader( u32 & recordCount ) {
	recordCount = 0;
	u8 * const header = static_cast<u8 *>( MMLoadMalloc( EF_AUDIO_HEADER_BYTES ) );
	if ( header == nullptr ) {
		return false;
	}
	bool valid = false;
	if ( !Read( header, EF_AUDIO_HEADER_BYTES ) || DTReadBE32( header ) != EF_AUDIO_FILE_MAGIC ) {
		OSReport( "%s file is not a valid QZR file!!!!\n", mszPath );
	} else if ( DTReadBE32( header + 4 ) != EF_AUDIO_FILE_PLATFORM ) {
		OSReport( "%s file is not a file compiled for this platform!!!!\n", mszPath );
	} else {
		const u32 version = DTReadBE32( header + 8 );
		const u32 major = version >> 16;
		const u32 minor = version & 0xFFFF;
		if ( major != EF_AUDIO_TOOL_MAJOR ) {
			OSReport( "%s file was compiled with an incompatible version of the Tool (with v1.%d)!!!!\n", mszPath,
					  static_cast<int>( major ) );
		} else {
			if ( minor != EF_AUDIO_TOOL_MINOR ) {
				OSReport( "WARNING!!! %s file was compiled with another version of the Tool (with v1.%d.%d)!!!!\n",
						  mszPath, static_cast<int>( major ), static_cast<int>( minor ) );
			}
			recordCount = DTReadBE32( header + 12 );
			valid = true;
		}
	}
	MMFree( header );
	return valid;
}

bool EFSoundTableFile::Read( void * dest, const u32 bytes ) {
	if ( mpoFile == nullptr || bytes > mui32BytesLeft ) {
		return false;
	}
	if ( bytes == 0 ) {
		return true;
	}
	const u32 read = DTFread( dest, 1, bytes, mpoFile );
	mui32BytesLeft -= read <= mui32BytesLeft ? read : mui32BytesLeft;
	return read == bytes;
}

bool EFSoundTableFile::ReadWord( u32 & value ) {
	u8 bytes[4];
	if ( !Read( bytes, sizeof( bytes ) ) ) {
		return false;
	}
	value = DTReadBE32( bytes );
	return true;
}

bool EFSoundTableFile::CanHold( const u32 count, const u32 itemBytes ) const {
	return static_cast<u64>( count ) * itemBytes <= mui32BytesLeft;
}

bool EFSoundTableFile::ReadName( char *& name ) {
	name = nullptr;
	u32 length = 0;
	if ( !ReadWord( length ) || !CanHold( length, 1 ) ) {
		return false;
	}
	char * const text = new ( std::nothrow ) char[length + 1];
	if ( text == nullptr ) {
		return false;
	}
	if ( !Read( text, length ) ) {
		delete[] text;
		return false;
	}
	text[length] = '\0';
	name = text;
	return true;
}

bool EFSoundTableFile::ReadWords( u32 *& words, const u32 count ) {
	words = nullptr;
	if ( count == 0 ) {
		return true;
	}
	if ( !CanHold( count, 4 ) ) {
		return false;
	}
	u32 * const list = new ( std::nothrow ) u32[count];
	if ( list == nullptr ) {
		return false;
	}
	for ( u32 i = 0; i < count; i++ ) {
		if ( !ReadWord( list[i] ) ) {
			delete[] list;
			return false;
		}
	}
	words = list;
	return true;
}

void EFSoundTableFile::ReportDamaged() const {
	OSReport( "%s file is damaged: a count or length runs past its end!!!!\n", mszPath );
}
