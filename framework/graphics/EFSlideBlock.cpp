#include "framework/graphics/EFSlideBlock.h"

#include "datatypes/memory/MMMemory.h"
#include "framework/graphics/EFTextureDict.h"
#include "graphics3d/core/RwStream.h"

namespace {

constexpr u32 TEXTURE_HEAP	= 1;

// Reads slide slot's five pictures and record from the stream; false at
// the first failure. Pictures made before a failure stay in the
// dictionary, as the rest of a partly read block does.
bool ReadSlide( RwStream * stream, EFSlide & slide ) {
	RwTexture * pictures[EF_SLIDE_PICTURES] = {};
	for ( u32 i = 0; i < EF_SLIDE_PICTURES; i++ ) {
		if ( !RwStreamFindChunk( stream, rwID_IMAGE, nullptr, nullptr ) ) {
			return false;
		}
		pictures[i] = EFTextureDict::ReadPicture( stream, EF_PICTURE_SLIDE );
		if ( pictures[i] == nullptr ) {
			return false;
		}
	}
	u8 record[EF_SLIDE_RECORD_BYTES];
	if ( RwStreamRead( stream, record, sizeof( record ) ) != sizeof( record ) ) {
		return false;
	}
	slide.LoadSlide( record, pictures );
	return true;
}

}

s32 EFSlideBlock::LoadBlock( const void * buffer, const u32 size ) {
	const u32 previousHeap = MMGetActualHeap();
	MMChangeHeap( TEXTURE_HEAP );
	s32 result = 0;
	u32 position = 0;
	for ( u32 i = 0; i < EF_SLIDES_PER_BLOCK && result == 0; i++ ) {
		// The stream covers only the bytes read, from this slide on.
		RwMemory memory = { const_cast<u8 *>( static_cast<const u8 *>( buffer ) ) + position, size - position };
		RwStream * const stream = buffer != nullptr && position < size ?
									  RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory ) : nullptr;
		if ( stream == nullptr ) {
			result = EF_SLIDE_BLOCK_FAILED;
			break;
		}
		if ( ReadSlide( stream, maoSlide[i] ) ) {
			// The stream stands just after the record.
			position += stream->Type.memory.position;
		} else {
			result = EF_SLIDE_BLOCK_FAILED;
		}
		RwStreamClose( stream, nullptr );
	}
	MMChangeHeap( previousHeap );
	return result;
}

void EFSlideBlock::SetSlide( const u32 i ) {
	const u32 index = i - muiFirst;
	if ( i >= muiFirst && index < EF_SLIDES_PER_BLOCK ) {
		mpoCurrentSlide = &maoSlide[index];
	}
}

void EFSlideBlock::Render() {
	mpoCurrentSlide->Render();
}

void EFSlideBlock::Reset() {
	muiLoaded = 0;
	for ( EFSlide & slide : maoSlide ) {
		slide.Reset();
	}
}
