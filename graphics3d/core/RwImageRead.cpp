#include "graphics3d/core/RwImageRead.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFileSystem.h"

#include <cstring>

// Separator of search-path elements.
static const char PATH_SEPARATOR = ';';

static RwStringFunctions* Strings() {
	return &RwEngineInstance->stringFunctions;
}

// Called with each full name; returns false to end the search.
typedef bool ( *FullNameCallBack )( const char* fullName, void* data );

// Grows the full-name buffer to at least bytes; false (0x80000013) when
// it cannot.
static bool ReserveFullName( RwImageGlobals* globals, const u64 bytes ) {
	if ( bytes <= static_cast<u64>( globals->scratchMemSize ) ) {
		return true;
	}
	RwMemoryFunctions* const memory = &RwEngineInstance->memoryFunctions;
	char* grown = nullptr;
	if ( bytes <= 0x7FFFFFFF ) {
		grown = globals->scratchMem != nullptr
					? static_cast<char*>( memory->rwrealloc( globals->scratchMem, static_cast<u32>( bytes ) ) )
					: static_cast<char*>( memory->rwmalloc( static_cast<u32>( bytes ) ) );
	}
	if ( grown == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, bytes ) );
		return false;
	}
	globals->scratchMem = grown;
	globals->scratchMemSize = static_cast<s32>( bytes );
	return true;
}

// Builds prefix + name in the buffer and hands it to the callback; false
// when the search ends here.
static bool TryFullName( RwImageGlobals* globals, const char* prefix, const size_t prefixLength, const char* name,
						 const u32 extraRoom, const FullNameCallBack callBack, void* data ) {
	const size_t nameLength = Strings()->rwstrlen( name );
	if ( !ReserveFullName( globals, static_cast<u64>( prefixLength ) + nameLength + extraRoom ) ) {
		return false;
	}
	std::memcpy( globals->scratchMem, prefix, prefixLength );
	std::memcpy( globals->scratchMem + prefixLength, name, nameLength + 1 );
	return callBack( globals->scratchMem, data );
}

static void ForAllFullNames( const char* name, const u32 extraRoom, const FullNameCallBack callBack, void* data ) {
	RwImageGlobals* const globals = _rwImageGlobals();
	if ( globals == nullptr ) {
		return;
	}
	const char* const path = globals->imagePath != nullptr ? globals->imagePath : "";
	if ( _rwpathisabsolute( name ) || path[0] == '\0' ) {
		TryFullName( globals, "", 0, name, extraRoom, callBack, data );
		return;
	}
	// The path is copied first: a callback may read images and so reuse
	// the module's buffers, but must not pull the path from under the walk.
	const size_t pathLength = Strings()->rwstrlen( path );
	RwMemoryFunctions* const memory = &RwEngineInstance->memoryFunctions;
	char* const elements = pathLength < 0x7FFFFFFF ? static_cast<char*>( memory->rwmalloc( static_cast<u32>( pathLength + 1 ) ) )
												   : nullptr;
	if ( elements == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, pathLength + 1 ) );
		return;
	}
	std::memcpy( elements, path, pathLength + 1 );
	const char* element = elements;
	for ( ;; ) {
		const char* const end = Strings()->rwstrchr( element, PATH_SEPARATOR );
		const size_t length = end != nullptr ? static_cast<size_t>( end - element ) : Strings()->rwstrlen( element );
		if ( !TryFullName( globals, element, length, name, extraRoom, callBack, data ) || end == nullptr ) {
			break;
		}
		element = end + 1;
	}
	memory->rwfree( elements );
}

const char* _rwImageFindExtension( const char* imageName ) {
	const char* const dot = Strings()->rwstrrchr( imageName, '.' );
	if ( dot == nullptr ) {
		return nullptr;
	}
	static const char separators[] = { ':', '/', '\\' };
	for ( const char separator : separators ) {
		const char* const last = Strings()->rwstrrchr( imageName, separator );
		if ( last != nullptr && last > dot ) {
			return nullptr;
		}
	}
	return dot;
}

static const RwImageFormat* FindFormat( const char* extension ) {
	const RwImageGlobals* const globals = _rwImageGlobals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	for ( const RwImageFormat* format = globals->imageFormats; format != nullptr; format = format->nextFormat ) {
		if ( Strings()->rwstrcmp( format->lcExtension, extension ) == 0 || Strings()->rwstrcmp( format->ucExtension, extension ) == 0 ) {
			return format;
		}
	}
	return nullptr;
}

struct ReadSearch {
	RwImageCallBackRead	read;
	RwImage*			image;
};

static bool ReadIfPresent( const char* fullName, void* data ) {
	ReadSearch* const search = static_cast<ReadSearch*>( data );
	if ( !RwEngineInstance->fileFunctions.rwfexist( fullName ) ) {
		return true;
	}
	search->image = search->read( fullName );
	return search->image == nullptr;
}

RwImage* RwImageRead( const char* imageName ) {
	if ( imageName == nullptr ) {
		return nullptr;
	}
	const char* const extension = _rwImageFindExtension( imageName );
	if ( extension == nullptr ) {
		return nullptr;
	}
	const RwImageFormat* const format = FindFormat( extension );
	if ( format == nullptr || format->imageRead == nullptr ) {
		return nullptr;
	}
	ReadSearch search = { format->imageRead, nullptr };
	ForAllFullNames( imageName, RWIMAGE_READ_EXTRA_ROOM, ReadIfPresent, &search );
	return search.image;
}

RwImage* RwImageReadMaskedImage( const char* imageName, const char* maskName ) {
	RwImage* const image = RwImageRead( imageName );
	if ( image == nullptr || maskName == nullptr || maskName[0] == '\0' ) {
		return image;
	}
	RwImage* const mask = RwImageRead( maskName );
	if ( mask == nullptr ) {
		RwImageDestroy( image );
		return nullptr;
	}
	RwImageMakeMask( mask );
	const bool applied = RwImageApplyMask( image, mask ) != nullptr;
	RwImageDestroy( mask );
	if ( !applied ) {
		RwImageDestroy( image );
		return nullptr;
	}
	return image;
}

struct TypeSearch {
	const char*	found;
};

// Appends an extension after the full name in the buffer (which has room
// for it) and tests the file; the buffer is left as it was.
static bool ExistsWithExtension( char* fullName, const size_t nameLength, const char* extension ) {
	Strings()->rwstrcpy( fullName + nameLength, extension );
	const bool exists = RwEngineInstance->fileFunctions.rwfexist( fullName );
	fullName[nameLength] = '\0';
	return exists;
}

static bool FindTypeAt( const char* fullName, void* data ) {
	TypeSearch* const search = static_cast<TypeSearch*>( data );
	const RwImageGlobals* const globals = _rwImageGlobals();
	char* const buffer = globals->scratchMem;
	const size_t length = Strings()->rwstrlen( fullName );
	for ( const RwImageFormat* format = globals->imageFormats; format != nullptr; format = format->nextFormat ) {
		if ( ExistsWithExtension( buffer, length, format->lcExtension ) ) {
			search->found = format->lcExtension;
			return false;
		}
		if ( ExistsWithExtension( buffer, length, format->ucExtension ) ) {
			search->found = format->ucExtension;
			return false;
		}
	}
	return true;
}

const char* RwImageFindFileType( const char* imageName ) {
	if ( imageName == nullptr ) {
		return nullptr;
	}
	TypeSearch search = { nullptr };
	ForAllFullNames( imageName, RWIMAGE_FIND_EXTRA_ROOM, FindTypeAt, &search );
	return search.found;
}
