/*
	The clump collision-primitive plug-in: the pinned chunk layout, round
	trips of every shape, the accessors, copies and every malformed chunk
	the writer makes.
*/
#include "framework/physics/ApCollisionPrimitivesPlugin.h"
#include "datatypes/base/DTByteOrder.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpWorldTestSupport.h"
#include "framework/physics/CollisionPrimitivesFixture.h"
#include "support/TestHexBytes.h"
#include "tools/lib/graphics3d/ToolClumpWriter.h"
#include "tools/lib/graphics3d/ToolCollisionPrimWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

using namespace collision_primitives_fixture;

// The extension as the host lays it out: registered at its own size.
constexpr s32 EXT_BYTES = 40;

class ApCollisionPrimitivesPluginTest : public RpWorldTestCase {
protected:
	void RegisterPlugins() override { ASSERT_EQ( ApCollisionPrimitivesPluginAttach(), 1 ); }

	void TearDown() override {
		for ( RpClump* clump : clumps ) {
			RpClumpDestroy( clump );
		}
		RpWorldTestCase::TearDown();
	}

	RpClump* NewClump() {
		clumps.push_back( RpClumpCreate() );
		return clumps.back();
	}

	// The chunk payload read into clump by the read callback alone.
	static bool ReadInto( RpClump* clump, const std::vector<u8>& payload ) {
		RwStream* const stream = RwTestOpenRead( payload );
		const bool read = ApCollisionPrimitivesStreamRead( stream, static_cast<s32>( payload.size() ), clump,
														   ApCollisionPrimitivesOffset(), EXT_BYTES ) != nullptr;
		RwStreamClose( stream, nullptr );
		return read;
	}

	static std::vector<u8> Written( const RpClump* clump ) {
		return RwTestWrite( [&]( RwStream* s ) {
			return ApCollisionPrimitivesStreamWrite( s, 0, clump, ApCollisionPrimitivesOffset(), EXT_BYTES ) != nullptr;
		} );
	}

	static s32 Size( const RpClump* clump ) {
		return ApCollisionPrimitivesStreamSize( clump, ApCollisionPrimitivesOffset(), EXT_BYTES );
	}

	// A clump chunk of one frame carrying entry in its extension.
	static std::vector<u8> ClumpBytes( const ToolExtensionEntry& entry ) {
		ToolClump clump;
		clump.frames = { ToolFrame{} };
		clump.extension = { entry };
		return RpTestBytes( [&]( ToolChunkWriter& w ) { ToolClumpWriter::Write( w, clump ); } );
	}

	static void ExpectEmpty( const RpClump* clump ) {
		DTSphere sphere;
		EXPECT_EQ( ApClumpGetNbCollisionPrimitives( clump ), 0 );
		EXPECT_FALSE( ApClumpGetBoundingSphere( clump, sphere ) );
		EXPECT_EQ( Size( clump ), 0 );
		u32 count = 0;
		EXPECT_EQ( ApClumpGetCollisionPolygonData( clump, 0, count ), nullptr );
	}

	std::vector<RpClump*> clumps;
};

TEST_F( ApCollisionPrimitivesPluginTest, TheHandWrittenChunkDecodesFieldByFieldAndWritesBackItsOwnBytes ) {
	const std::vector<u8> fixture = HexBytes( COLLISION_PRIMITIVES_FIXTURE );
	ASSERT_EQ( fixture.size(), 0x250u );
	RpClump* const clump = NewClump();
	ASSERT_TRUE( ReadInto( clump, fixture ) );
	ASSERT_EQ( ApClumpGetNbCollisionPrimitives( clump ), 4 );
	DTSphere sphere;
	ASSERT_TRUE( ApClumpGetBoundingSphere( clump, sphere ) );
	EXPECT_EQ( sphere.moPos.y, 1.0f );
	EXPECT_EQ( sphere.mfRadius, 2.0f );

	const ApCollisionPrimitive* const ball = ApClumpGetCollisionPrimitive( clump, 0 );
	EXPECT_EQ( ball->mui32Shape, EF_PRIM_SPHERE );
	EXPECT_EQ( ball->mui32Tag, 0x11u );
	EXPECT_EQ( ball->mi32Joint, AP_COLLISION_PRIMITIVE_MODEL_FRAME );
	EXPECT_EQ( ball->mafOffset[0], 1.0f );
	for ( u32 i = 0; i < 11; i++ ) {
		EXPECT_EQ( ball->maui32Attribs[i], i + 1 );
	}
	EXPECT_EQ( ball->mafSize[0], 0.5f );
	const ApCollisionPrimitive* const capsule = ApClumpGetCollisionPrimitive( clump, 1 );
	EXPECT_EQ( capsule->mi32Joint, 0 );
	EXPECT_EQ( capsule->mafUnused[0], 2.0f );
	EXPECT_EQ( capsule->mafUnused[1], -1.0f );
	EXPECT_EQ( capsule->mafSize[0], 0.5f );
	EXPECT_EQ( capsule->mafSize[2], 1.0f );
	const ApCollisionPrimitive* const box = ApClumpGetCollisionPrimitive( clump, 2 );
	EXPECT_EQ( box->mafOffset[1], 2.0f );
	EXPECT_EQ( box->mafSize[1], 2.0f );
	EXPECT_EQ( box->mafSize[2], 0.5f );
	EXPECT_EQ( box->mafSize[3], 0.0f );	// not streamed: stays zero

	u32 count = 0;
	const EFEnvCollisionPrim* const first = ApClumpGetCollisionPolygonData( clump, 3, count );
	ASSERT_NE( first, nullptr );
	EXPECT_EQ( count, 2u );
	EXPECT_EQ( first->mui16EdgeGrab, 5u );
	EXPECT_EQ( first->mui16NbVertex, 3u );
	const EFEnvCollisionPrim* const second = reinterpret_cast<const EFEnvCollisionPrim*>(
		reinterpret_cast<const u8*>( first ) + 28 + 28 * 3 );
	EXPECT_EQ( second->mui16EdgeGrab, 5u );
	EXPECT_EQ( second->mui16NbVertex, 3u );
	EXPECT_EQ( second->moPlane.mfD, -1.0f );
	EXPECT_EQ( second->GetVertex()[2].x, 1.0f );

	EXPECT_EQ( Written( clump ), fixture );
	EXPECT_EQ( Size( clump ), 0x250 );
}

TEST_F( ApCollisionPrimitivesPluginTest, EveryShapeAndAnEmptyModelWriteBackTheBytesTheyWereReadFrom ) {
	ToolCollisionPrims polygonsOnly;
	polygonsOnly.polygons = { Triangle( 0.0f, 3 ) };
	ToolCollisionPrims noSphere = AllShapes();
	noSphere.sphere.reset();
	struct Row {
		const char*			name;
		ToolCollisionPrims	prims;
	} rows[] = {
		{ "all shapes", AllShapes() },
		{ "no sphere: zeros", noSphere },
		{ "no records, no data", ToolCollisionPrims{} },
		{ "no records: the rest is polygon data", polygonsOnly },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		const ToolExtensionEntry entry = ToolCollisionPrimWriter::Entry( row.prims );
		RpClump* const clump = NewClump();
		ASSERT_TRUE( ReadInto( clump, entry.payload ) );
		EXPECT_EQ( ApClumpGetNbCollisionPrimitives( clump ), static_cast<s32>( row.prims.prims.size() ) );
		EXPECT_EQ( Written( clump ), entry.payload );
		EXPECT_EQ( Size( clump ), static_cast<s32>( entry.payload.size() ) );
	}
}

TEST_F( ApCollisionPrimitivesPluginTest, AccessorsStopAtTheCountAndAnotherShapeHasNoPolygons ) {
	RpClump* const clump = NewClump();
	ExpectEmpty( clump );
	ASSERT_TRUE( ReadInto( clump, ToolCollisionPrimWriter::Entry( AllShapes() ).payload ) );
	EXPECT_NE( ApClumpGetCollisionPrimitive( clump, 3 ), nullptr );
	EXPECT_EQ( ApClumpGetCollisionPrimitive( clump, 4 ), nullptr );
	u32 count = 0;
	EXPECT_EQ( ApClumpGetCollisionPolygonData( clump, 4, count ), nullptr );
	EXPECT_EQ( count, 0xFFFFFFFFu );
	EXPECT_EQ( ApClumpGetCollisionPolygonData( clump, 0, count ), nullptr );
	EXPECT_EQ( count, 0u );
	const EFEnvCollisionPrim* const set = ApClumpGetCollisionPolygonData( clump, 3, count );
	ASSERT_NE( set, nullptr );
	EXPECT_EQ( count, 2u );
	EXPECT_EQ( set->moPlane.mfD, -1.0f );
	// The square after the set keeps its own halfwords.
	const EFEnvCollisionPrim* const square = reinterpret_cast<const EFEnvCollisionPrim*>(
		reinterpret_cast<const u8*>( set ) + 28 + 28 * 3 );
	EXPECT_EQ( square->mui16EdgeGrab, 0x1234u );
	EXPECT_EQ( square->mui16NbVertex, 4u );
	ApCollisionPrimitive copy = {};
	ApCollisionPrimitiveCopy( copy, *ApClumpGetCollisionPrimitive( clump, 1 ) );
	EXPECT_EQ( std::memcmp( &copy, ApClumpGetCollisionPrimitive( clump, 1 ), sizeof( copy ) ), 0 );
}

TEST_F( ApCollisionPrimitivesPluginTest, RecordsStopAtTheChunkLengthAndASecondReadKeepsTheSphereBlock ) {
	ToolCollisionPrims three;
	three.sphere = std::array<f32, 4>{ 0, 0, 0, 1 };
	three.prims = { Prim( 0, 1, -1, { 1 } ), Prim( 0, 2, -1, { 2 } ), Prim( 0, 3, -1, { 3 } ) };
	std::vector<u8> payload = ToolCollisionPrimWriter::Entry( three ).payload;
	payload.resize( 8 + 16 + 2 * 80 );
	RpClump* const clump = NewClump();
	ASSERT_TRUE( ReadInto( clump, payload ) );
	EXPECT_EQ( ApClumpGetNbCollisionPrimitives( clump ), 2 );
	EXPECT_EQ( ApClumpGetCollisionPrimitive( clump, 1 )->mafSize[0], 2.0f );
	// What is held is what is written.
	EXPECT_EQ( Size( clump ), static_cast<s32>( payload.size() ) );

	const DTSphere* const block = *reinterpret_cast<DTSphere* const*>(
		reinterpret_cast<const u8*>( clump ) + ApCollisionPrimitivesOffset() + 8 );
	ASSERT_TRUE( ReadInto( clump, ToolCollisionPrimWriter::Entry( AllShapes() ).payload ) );
	EXPECT_EQ( *reinterpret_cast<DTSphere* const*>( reinterpret_cast<const u8*>( clump ) +
													ApCollisionPrimitivesOffset() + 8 ),
			   block );
	DTSphere sphere;
	ASSERT_TRUE( ApClumpGetBoundingSphere( clump, sphere ) );
	EXPECT_EQ( sphere.mfRadius, 3.0f );
}

TEST_F( ApCollisionPrimitivesPluginTest, EveryMalformedChunkEmptiesTheExtensionAndFailsTheClump ) {
	const ToolCollisionPrims sound = AllShapes();
	{
		RpClump* const clump = RpClumpStreamRead( OpenAt( ClumpBytes( ToolCollisionPrimWriter::Entry( sound ) ), rwID_CLUMP ) );
		ASSERT_NE( clump, nullptr );
		EXPECT_EQ( ApClumpGetNbCollisionPrimitives( clump ), 4 );
		clumps.push_back( clump );
	}
	for ( const auto& [name, entry] : ToolCollisionPrimWriter::Malformed( sound ) ) {
		SCOPED_TRACE( name );
		RpClump* const clump = NewClump();
		// A clump that held primitives before the failed read.
		ASSERT_TRUE( ReadInto( clump, ToolCollisionPrimWriter::Entry( sound ).payload ) );
		EXPECT_FALSE( ReadInto( clump, entry.payload ) );
		ExpectEmpty( clump );
		EXPECT_EQ( RpClumpStreamRead( OpenAt( ClumpBytes( entry ), rwID_CLUMP ) ), nullptr );
	}
}

void* FailingMalloc( u32 ) {
	return nullptr;
}

u32 gLargestRequest = 0;
void* ( *gPassOn )( u32 ) = nullptr;

void* RecordingMalloc( const u32 size ) {
	gLargestRequest = std::max( gLargestRequest, size );
	return gPassOn( size );
}

// A chunk claiming far more bytes than its stream holds, with records or
// a polygon block sized from that claim, is refused before any block as
// large as the claim is asked for.
TEST_F( ApCollisionPrimitivesPluginTest, AChunkLongerThanItsStreamAsksForNoBlockSizedByItsClaim ) {
	ToolCollisionPrims polygons;
	polygons.sphere = std::array<f32, 4>{ 0, 0, 0, 1 };
	ToolCollisionPrims records = polygons;
	records.prims = { Prim( 0, 1, -1, { 1 } ) };
	const struct {
		const char*			name;
		ToolCollisionPrims	prims;
		s32					count;	// the stored record count
	} rows[] = { { "polygon block", polygons, 0 }, { "records", records, 0x7FFFFFFF } };
	constexpr s32 CLAIMED = 0x7FFFFF00;
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		std::vector<u8> payload = ToolCollisionPrimWriter::Entry( row.prims ).payload;
		// Stored size (the polygon data's end) and record count.
		DTWriteLE32( payload.data(), static_cast<u32>( CLAIMED ) );
		DTWriteLE32( payload.data() + 4, static_cast<u32>( row.count ) );
		RpClump* const clump = NewClump();
		RwStream* const stream = RwTestOpenRead( payload );
		gPassOn = RwEngineInstance->memoryFunctions.rwmalloc;
		RwEngineInstance->memoryFunctions.rwmalloc = RecordingMalloc;
		gLargestRequest = 0;
		const bool read =
			ApCollisionPrimitivesStreamRead( stream, CLAIMED, clump, ApCollisionPrimitivesOffset(), EXT_BYTES ) != nullptr;
		RwEngineInstance->memoryFunctions.rwmalloc = gPassOn;
		RwStreamClose( stream, nullptr );
		EXPECT_FALSE( read );
		EXPECT_LE( gLargestRequest, payload.size() );
		ExpectEmpty( clump );
	}
}

TEST_F( ApCollisionPrimitivesPluginTest, ClonesCarryEveryBlockAndAFailedCopyLeavesTheDestinationEmpty ) {
	RpClump* const clump = RpClumpStreamRead( OpenAt( ClumpBytes( ToolCollisionPrimWriter::Entry( AllShapes() ) ), rwID_CLUMP ) );
	ASSERT_NE( clump, nullptr );
	clumps.push_back( clump );
	RpClump* const clone = RpClumpClone( clump );
	ASSERT_NE( clone, nullptr );
	clumps.push_back( clone );
	EXPECT_EQ( Written( clone ), Written( clump ) );
	u32 a = 0;
	u32 b = 0;
	EXPECT_NE( ApClumpGetCollisionPolygonData( clone, 3, a ), ApClumpGetCollisionPolygonData( clump, 3, b ) );
	EXPECT_EQ( a, b );

	RpClump* const target = NewClump();
	ASSERT_TRUE( ReadInto( target, ToolCollisionPrimWriter::Entry( AllShapes() ).payload ) );
	const s32 offset = ApCollisionPrimitivesOffset();
	RwMemoryFunctions& memory = RwEngineInstance->memoryFunctions;
	const auto saved = memory.rwmalloc;
	memory.rwmalloc = FailingMalloc;
	EXPECT_EQ( ApCollisionPrimitivesCopy( target, clump, offset, EXT_BYTES ), nullptr );
	memory.rwmalloc = saved;
	ExpectEmpty( target );
	EXPECT_EQ( ApCollisionPrimitivesCopy( nullptr, clump, offset, EXT_BYTES ), nullptr );
}

}	// namespace
