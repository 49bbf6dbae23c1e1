/*
	The animation resource (class 73): an input is the resource's stored
	form (id, users, the block with its size first). A block that loads is
	bound to a skeletal node, which reads its group, and the block's
	tracks and entries are walked through their checked offsets; the
	resource then goes with its node.
*/
#include "FuzzTarget.h"

#include "datatypes/node/DTAnimHdr.h"
#include "framework/graphics/animation/EFAnimRes.h"
#include "framework/graphics/animation/EFHAnimNode.h"
#include "tools/lib/level/ToolAnimBlockWriter.h"

namespace {

// Keeps the reads of the walk.
volatile u32 gSink = 0;

}

FUZZ_TARGET( anim_resource ) {
	EFAnimRes* const res = FuzzReadAnimRes( data, size );
	if ( res == nullptr ) {
		return;
	}
	DTAnimHdr header( res->mpAnimData );
	if ( header.ResolvePointers( res->GetAnimDataSize() ) ) {
		for ( u32 track = 0; track < header.GetTrackCount(); track++ ) {
			for ( u32 entry = 0; entry < header.GetEntryCount( track ); entry++ ) {
				const u8* const target = header.EntryTarget( track, entry );
				gSink = gSink + ( target != nullptr ? target[0] : 0u );
			}
		}
	}
	EFHAnimNode node;
	res->muiRefCount++;
	node.mpAnimRes = res;
	DTCreationParameters params = { nullptr, nullptr };
	node.Initialize( &params );
	gSink = gSink + node.muiGroup;
}

static void FuzzSeeds_anim_resource( std::vector<FuzzSeed>& seeds ) {
	ToolAnimBlock block;
	block.duration = 1.5f;
	block.group = 2;
	block.blendKind = 2;
	block.root = 1;
	block.tracks.push_back( { 0, 1, { { 3, 0 }, { 6, 16 } } } );
	block.tracks.push_back( { 4, 0, { { 9, 24 } } } );
	block.payload = std::vector<u8>( 16, 0x3F );
	seeds.push_back( { "two_tracks", ToolAnimBlockWriter::Resource( ToolAnimBlockWriter::Encode( block ) ) } );
	seeds.push_back( { "header_only", ToolAnimBlockWriter::Resource( ToolAnimBlockWriter::Encode( ToolAnimBlock{} ) ) } );
}
