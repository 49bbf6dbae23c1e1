/*
	The engine's morph animation chunk (0x01BAD006): an input is a library
	stream searched for the chunk; a block that checks is then played on a
	clump of two atomics (one with a geometry of its own two morph
	targets): initialised, stepped both ways and far, written, restored
	and blended.
*/
#include "FuzzTarget.h"

#include "framework/graphics/ApMorphAnimation.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"
#include "tools/lib/graphics3d/ToolMorphWriter.h"
#include "tools/lib/level/ToolMorphAnimResWriter.h"

#include <limits>

namespace {

RpClump* MakeClump() {
	RpClump* const clump = RpClumpCreate();
	for ( s32 i = 0; i < 2; i++ ) {
		RpGeometry* const geometry = RpGeometryCreate( 4, 0, 0x02 | 0x10 );
		if ( i == 1 ) {
			RpGeometryAddMorphTargets( geometry, 1 );
		}
		RpAtomic* const atomic = RpAtomicCreate();
		RpAtomicSetGeometry( atomic, geometry, 0 );
		RpGeometryDestroy( geometry );
		RpClumpAddAtomic( clump, atomic );
	}
	return clump;
}

void Play( const u8* data, const size_t size ) {
	FuzzRwStart( false, true );
	std::vector<u8> copy( data, data + size );
	RwMemory memory = { copy.empty() ? nullptr : copy.data(), static_cast<u32>( copy.size() ) };
	RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
	ApMorphAnimationEx* animation = nullptr;
	if ( stream != nullptr ) {
		ApMorphAnimationStreamRead( stream, &animation );
		RwStreamClose( stream, nullptr );
	}
	if ( animation != nullptr ) {
		RpClump* const clump = MakeClump();
		ApMorphAnimationInit( clump, animation );
		for ( const f32 dt : { 0.25f, -1.5f, 1.0e9f, -std::numeric_limits<f32>::infinity(), 0.0f } ) {
			ApMorphAnimationAddTime( animation, dt );
			ApMorphAnimationSetGeometry( clump, animation, 0 );
		}
		ApMorphAnimationInitBlend( clump, animation );
		ApMorphAnimationSetTime( animation, 0.5f );
		ApMorphAnimationBlend( clump, animation, 0.5f );
		ApMorphAnimationSetGeometry( clump, animation, 1 );
		ApMorphAnimationGetDuration( animation );
		ApMorphAnimationDestroy( animation );
		RpClumpDestroy( clump );
	}
	RwError ignored = { 0, 0 };
	RwErrorGet( &ignored );
}

}

FUZZ_TARGET( morph_animation ) {
	Play( data, size );
}

static void FuzzSeeds_morph_animation( std::vector<FuzzSeed>& seeds ) {
	ToolMorphAnimation animation = ToolMorphAnimResWriter::Sample( 0 ).animation;
	seeds.push_back( { "two_atomics", ToolMorphWriter::Chunk( ToolMorphWriter::Block( animation ) ) } );
	animation.atomics[0]->vertex->keys[2].time = 0.0f;
	animation.atomics.push_back( std::nullopt );
	seeds.push_back( { "held_keys", ToolMorphWriter::Chunk( ToolMorphWriter::Block( animation ) ) } );
}
