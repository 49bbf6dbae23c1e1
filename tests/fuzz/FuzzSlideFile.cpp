/*
	Slide files: the bytes of a SLIDE<n>.SLD file as the slide show hands
	its buffer to a block. Whatever the bytes, the block's slides resolve
	only pictures of their own, the current heap is the same afterwards,
	and resetting the block twice destroys each picture once.
*/
#include "FuzzTarget.h"

#include "datatypes/memory/MMMemory.h"
#include "framework/graphics/EFSlideBlock.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "tools/lib/level/ToolSlideWriter.h"

namespace {

void Load( const u8* data, const size_t size ) {
	FuzzRwStart( false );
	RwTexDictionary* const dictionary = RwTexDictionaryCreate();
	FuzzCheck( dictionary != nullptr, "no dictionary" );
	RwTexDictionarySetCurrent( dictionary );
	const u32 heap = MMGetActualHeap();
	EFSlideBlock* const block = new EFSlideBlock;
	const s32 result = block->LoadBlock( size == 0 ? nullptr : data, static_cast<u32>( size ) );
	FuzzCheck( result == 0 || result == EF_SLIDE_BLOCK_FAILED, "an unknown result" );
	FuzzCheck( MMGetActualHeap() == heap, "the heap was not restored" );
	block->Reset();
	block->Reset();
	delete block;
	RwTexDictionaryDestroy( dictionary );
	RwTexDictionarySetCurrent( nullptr );
}

} // namespace

FUZZ_TARGET( slide_file ) {
	Load( data, size );
}

static void FuzzSeeds_slide_file( std::vector<FuzzSeed>& seeds ) {
	std::vector<ToolSlide> slides;
	for ( u32 i = 0; i < 3; i++ ) {
		slides.push_back( ToolSolidSlide( "S" + std::to_string( i ), i == 0 ? 12 : 8, 8, 40 ) );
	}
	std::vector<u8> bytes;
	ToolWriteSlideFile( slides, bytes );
	seeds.push_back( { "three", bytes } );
	ToolWriteSlideFile( slides, bytes, TOOL_SLIDE_MISLABELLED );
	seeds.push_back( { "mislabelled", bytes } );
	ToolWriteSlideFile( slides, bytes, TOOL_SLIDE_TRUNCATED );
	seeds.push_back( { "truncated", bytes } );
}
