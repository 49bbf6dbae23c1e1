#include "framework/core/engine/RwStreamConvert.h"

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "graphics3d/core/RwStream.h"

RwStream * RwStreamConvert( DTBasePersistStream * stream, const void * data ) {
	if ( stream == nullptr ) {
		return nullptr;
	}
	switch ( stream->GetType() ) {
		case EF_PERSIST_TEXT_FILE:
			return RwStreamOpen( rwSTREAMFILE, rwSTREAMREAD, data );
		case EF_PERSIST_MEMORY: {
			const DTMemoryPersistStream * const memory = static_cast<const DTMemoryPersistStream *>( stream );
			const s32 position = memory->GetPosition();
			const s32 size = memory->GetBufferSize();
			RwMemory description = { nullptr, 0 };
			if ( memory->GetBuffer() != nullptr && position >= 0 && position <= size ) {
				description.start = reinterpret_cast<u8 *>( memory->GetBuffer() ) + position;
				description.length = static_cast<u32>( size - position );
			}
			return RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &description );
		}
		default:
			return nullptr;
	}
}

RwStream * RwStreamCloseConvert( RwStream * rwStream, DTBasePersistStream * stream ) {
	if ( rwStream == nullptr || stream == nullptr ) {
		return rwStream;
	}
	switch ( stream->GetType() ) {
		case EF_PERSIST_TEXT_FILE:
		case EF_PERSIST_BINARY_FILE:
			RwStreamClose( rwStream, nullptr );
			break;
		case EF_PERSIST_MEMORY: {
			if ( rwStream->type == rwSTREAMMEMORY ) {
				static_cast<DTMemoryPersistStream *>( stream )->Forward( static_cast<s32>( rwStream->Type.memory.position ) );
			}
			RwMemory description = { nullptr, 0 };
			RwStreamClose( rwStream, &description );
			break;
		}
		default:
			break;
	}
	return rwStream;
}
