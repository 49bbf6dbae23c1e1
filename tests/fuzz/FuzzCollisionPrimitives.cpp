/*
	A model's collision primitives (clump extension 0x01BAD003): the first
	byte of an input picks the reader, the rest is its data. Either a
	clump chunk read with the plug-in attached, or the entry's payload
	alone through the plug-in's read callback into a fresh clump. What a
	read kept is walked through the accessors (every polygon of every
	set), written back and copied.

	The library runs with the C library's allocator and no free lists, so
	that the sanitizers see every block.
*/
#include "FuzzTarget.h"

#include "framework/physics/ApCollisionPrimitivesPlugin.h"
#include "framework/physics/CollisionPrimitivesFixture.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpClump.h"
#include "support/TestHexBytes.h"
#include "tools/lib/graphics3d/ToolClumpWriter.h"

namespace {

enum PrimitivesReader : u8 { READ_CLUMP, READ_PAYLOAD, READER_COUNT };

// Touches every word the accessors hand out.
void Walk( const RpClump* clump ) {
	const s32 count = ApClumpGetNbCollisionPrimitives( clump );
	volatile u32 sum = 0;
	for ( s32 i = 0; i < count; i++ ) {
		const ApCollisionPrimitive* const record = ApClumpGetCollisionPrimitive( clump, static_cast<u32>( i ) );
		FuzzCheck( record != nullptr, "a record below the count is missing" );
		sum = sum + record->mui32Shape;
		u32 polygons = 0;
		const u8* polygon = reinterpret_cast<const u8*>(
			ApClumpGetCollisionPolygonData( clump, static_cast<u32>( i ), polygons ) );
		for ( u32 p = 0; polygon != nullptr && p < polygons; p++ ) {
			const EFEnvCollisionPrim* const record = reinterpret_cast<const EFEnvCollisionPrim*>( polygon );
			const u32 n = record->mui16NbVertex;
			FuzzCheck( n >= 3 && n <= 32, "a polygon's vertex count was let through" );
			for ( u32 v = 0; v < n; v++ ) {
				sum = sum + static_cast<u32>( record->GetVertex()[v].x != 0.0f ) +
					  static_cast<u32>( record->GetEdges()[v].mfD != 0.0f );
			}
			polygon += 28 + 28 * n;
		}
	}
	FuzzCheck( ApClumpGetCollisionPrimitive( clump, static_cast<u32>( count ) ) == nullptr,
			   "a record at the count is handed out" );
}

// An extension that holds data writes exactly its size (an empty one is
// not written: its size is 0).
void WriteAndCopy( RpClump* clump ) {
	const s32 offset = ApCollisionPrimitivesOffset();
	if ( ApCollisionPrimitivesStreamSize( clump, offset, 0 ) == 0 ) {
		return;
	}
	RwStream* const out = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMWRITE, nullptr );
	FuzzCheck( ApCollisionPrimitivesStreamWrite( out, 0, clump, offset, 0 ) != nullptr, "a read extension does not write" );
	RwMemory written = { nullptr, 0 };
	RwStreamClose( out, &written );
	FuzzCheck( static_cast<s32>( written.length ) == ApCollisionPrimitivesStreamSize( clump, offset, 0 ),
			   "the bytes written differ from the size" );
	RwEngineInstance->memoryFunctions.rwfree( written.start );
	RpClump* const clone = RpClumpClone( clump );
	if ( clone != nullptr ) {
		Walk( clone );
		RpClumpDestroy( clone );
	}
}

void Read( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	FuzzRwStart( false, true );
	std::vector<u8> copy( data + 1, data + size );
	copy.push_back( 0 );
	RwMemory memory = { copy.data(), static_cast<u32>( copy.size() - 1 ) };
	RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
	FuzzCheck( stream != nullptr, "a memory stream does not open" );
	RpClump* clump = nullptr;
	if ( data[0] % READER_COUNT == READ_CLUMP ) {
		if ( RwStreamFindChunk( stream, TOOL_CHUNK_CLUMP, nullptr, nullptr ) ) {
			clump = RpClumpStreamRead( stream );
		}
	} else {
		clump = RpClumpCreate();
		if ( ApCollisionPrimitivesStreamRead( stream, static_cast<s32>( copy.size() - 1 ), clump,
											  ApCollisionPrimitivesOffset(), 0 ) == nullptr ) {
			FuzzCheck( ApClumpGetNbCollisionPrimitives( clump ) == 0, "a failed read keeps records" );
		}
	}
	if ( clump != nullptr ) {
		Walk( clump );
		WriteAndCopy( clump );
		RpClumpDestroy( clump );
	}
	RwStreamClose( stream, nullptr );
	RwError ignored = { 0, 0 };
	RwErrorGet( &ignored );
}

std::vector<u8> ClumpSeed( const ToolExtensionEntry& entry ) {
	ToolClump clump;
	clump.frames = { ToolFrame{} };
	clump.extension = { entry };
	ToolChunkWriter writer;
	ToolClumpWriter::Write( writer, clump );
	std::vector<u8> bytes;
	FuzzCheck( writer.Finish( bytes ), "a seed chunk does not close" );
	bytes.insert( bytes.begin(), READ_CLUMP );
	return bytes;
}

std::vector<u8> PayloadSeed( std::vector<u8> payload ) {
	payload.insert( payload.begin(), READ_PAYLOAD );
	return payload;
}

}	// namespace

FUZZ_TARGET( collision_primitives ) {
	Read( data, size );
}

static void FuzzSeeds_collision_primitives( std::vector<FuzzSeed>& seeds ) {
	using namespace collision_primitives_fixture;
	const ToolExtensionEntry sound = ToolCollisionPrimWriter::Entry( AllShapes() );
	seeds.push_back( { "clump-all-shapes", ClumpSeed( sound ) } );
	seeds.push_back( { "payload-all-shapes", PayloadSeed( sound.payload ) } );
	seeds.push_back( { "payload-fixture", PayloadSeed( HexBytes( COLLISION_PRIMITIVES_FIXTURE ) ) } );
	u32 index = 0;
	for ( const auto& [name, entry] : ToolCollisionPrimWriter::Malformed( AllShapes() ) ) {
		seeds.push_back( { "payload-malformed-" + std::to_string( index++ ), PayloadSeed( entry.payload ) } );
	}
}
