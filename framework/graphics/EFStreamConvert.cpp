#include "framework/graphics/EFStreamConvert.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/persist/DTBasePersistStream.h"
#include "framework/core/engine/RwStreamConvert.h"
#include "graphics3d/core/RwStream.h"
#include "platform/os/OS.h"

namespace {

s32 DiscClose( void * ) {
	return 1;
}

u32 DiscRead( void * data, void * buffer, const u32 length ) {
	return DTFread( buffer, 1, length, static_cast<DTFileHandle_ *>( data ) );
}

bool DiscSkip( void * data, const u32 offset ) {
	static u8 scratch[EF_STREAM_SKIP_BLOCK];
	OSReport( "Skip %d\n", static_cast<s32>( offset ) );
	DTFileHandle_ * const file = static_cast<DTFileHandle_ *>( data );
	// A short read means the file has ended: what is left of the skip
	// reads nothing, so a stored size of gigabytes costs no more.
	const u32 part = offset & ( EF_STREAM_SKIP_BLOCK - 1 );
	if ( DTFread( scratch, 1, part, file ) < part ) {
		return true;
	}
	for ( u32 i = 0; i < offset / EF_STREAM_SKIP_BLOCK; i++ ) {
		if ( DTFread( scratch, 1, EF_STREAM_SKIP_BLOCK, file ) < EF_STREAM_SKIP_BLOCK ) {
			break;
		}
	}
	return true;
}

bool DiscBytesLeft( void * data, u32 * left ) {
	DTFileHandle_ * const file = static_cast<DTFileHandle_ *>( data );
	const u32 size = DTFsize( file );
	*left = file->offset < size ? size - file->offset : 0;
	return true;
}

}

RwStream * EFStreamConvert( DTBasePersistStream * stream, const void * name ) {
	if ( stream == nullptr ) {
		return nullptr;
	}
	switch ( stream->GetType() ) {
		case EF_PERSIST_TEXT_FILE:
			return name != nullptr ? RwStreamOpen( rwSTREAMFILENAME, rwSTREAMREAD, name ) : nullptr;
		case EF_PERSIST_MEMORY:
			// The memory form is the library adapter's own.
			return RwStreamConvert( stream, name );
		case EF_PERSIST_BINARY_FILE: {
			if ( stream->GetFileHandle() == nullptr ) {
				return nullptr;
			}
			RwStreamCustom custom = { DiscClose, DiscRead, nullptr, DiscSkip, stream->GetFileHandle(), DiscBytesLeft };
			return RwStreamOpen( rwSTREAMCUSTOM, rwSTREAMREAD, &custom );
		}
		default:
			return nullptr;
	}
}

void EFStreamCloseConvert( RwStream * rwStream, DTBasePersistStream * stream ) {
	RwStreamCloseConvert( rwStream, stream );
}

DTFileHandle_ * EFStreamConvertFileHandle( const RwStream * rwStream ) {
	if ( rwStream == nullptr || rwStream->type != rwSTREAMCUSTOM || rwStream->Type.custom.sfnread != DiscRead ) {
		return nullptr;
	}
	return static_cast<DTFileHandle_ *>( rwStream->Type.custom.data );
}
