#include "graphics3d/core/RwFrameList.h"
#include "RwTestFrames.h"

namespace {

// One frame record: right, up, at, pos and the parent index.
struct Record {
	RwV3d	right;
	RwV3d	up;
	RwV3d	at;
	RwV3d	pos;
	s32		parent;
};

RwTestBytes RecordBytes( const Record& r ) {
	return RwTestConcat( { RwTestReals( { r.right.x, r.right.y, r.right.z, r.up.x, r.up.y, r.up.z, r.at.x, r.at.y, r.at.z,
										   r.pos.x, r.pos.y, r.pos.z } ),
						   RwTestWords( { static_cast<u32>( r.parent ), 0xDEADBEEF } ) } );
}

Record Placed( const f32 x, const s32 parent ) {
	return Record{ { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { x, 0, 0 }, parent };
}

// The frame-list chunk's payload: struct with count and records, then one
// extension chunk per frame.
RwTestBytes FrameListPayload( const std::vector<Record>& records, const u32 count, const RwTestBytes& extension = {} ) {
	RwTestBytes body = RwTestWords( { count } );
	for ( const Record& r : records ) {
		body = RwTestConcat( { body, RecordBytes( r ) } );
	}
	RwTestBytes all = RwTestChunk( rwID_STRUCT, body );
	for ( size_t i = 0; i < records.size(); i++ ) {
		all = RwTestConcat( { all, RwTestChunk( rwID_EXTENSION, extension ) } );
	}
	return all;
}

// A frame plug-in whose stream data is one word.
struct WordPlugin {
	static inline s32 offset = -1;
	static RwStream* Read( RwStream* stream, s32, void* object, s32 offset, s32 ) {
		return RwStreamReadInt32( stream, RwPluginData<u32>( object, offset ), 4 );
	}
	static void* Construct( void* object, s32 offset, s32 ) {
		*RwPluginData<u32>( object, offset ) = 0;
		return object;
	}
};

const u32 WORD_PLUGIN_ID = 0xF10;

class RwFrameListTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		ASSERT_TRUE( RwEngineInit( &rwTestCountingMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		WordPlugin::offset = RwFrameRegisterPlugin( sizeof( u32 ), WORD_PLUGIN_ID, WordPlugin::Construct, nullptr, nullptr );
		ASSERT_GE( RwFrameRegisterPluginStream( WORD_PLUGIN_ID, WordPlugin::Read, nullptr, nullptr ), 0 );
		ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) && RwEngineStart() );
	}

	RwFrameList* Read( const RwTestBytes& bytes ) {
		RwStream* const stream = RwTestOpenRead( bytes );
		list = { reinterpret_cast<RwFrame**>( 0x1 ), 99 };
		RwFrameList* const result = _rwFrameListStreamRead( stream, &list );
		RwStreamClose( stream, nullptr );
		return result;
	}

	void DestroyAll() {
		// Children come after their parents: the last frame is always a leaf.
		for ( s32 i = list.numFrames - 1; i >= 0; i-- ) {
			RwFrameDestroy( list.frames[i] );
		}
		_rwFrameListDeinitialize( &list );
	}

	RwFrameList list;
};

TEST_F( RwFrameListTest, ReadsFramesWithTheirParentsAndExtensions ) {
	const RwTestBytes extension = RwTestChunk( WORD_PLUGIN_ID, RwTestWords( { 0xBEEF } ) );
	const std::vector<Record> records = { Placed( 1, -1 ), Placed( 2, 0 ), Placed( 3, 0 ), Placed( 4, 1 ) };
	ASSERT_EQ( Read( FrameListPayload( records, 4, extension ) ), &list );
	ASSERT_EQ( list.numFrames, 4 );
	RwFrame** const f = list.frames;
	EXPECT_EQ( f[0]->object.parent, nullptr );
	EXPECT_EQ( f[1]->object.parent, f[0] );
	EXPECT_EQ( f[2]->object.parent, f[0] );
	EXPECT_EQ( f[3]->object.parent, f[1] );
	EXPECT_EQ( RwTestChildren( f[0] ), ( std::vector<RwFrame*>{ f[2], f[1] } ) );
	for ( s32 i = 0; i < 4; i++ ) {
		EXPECT_FLOAT_EQ( f[i]->modelling.pos.x, static_cast<f32>( i + 1 ) );
		EXPECT_EQ( f[i]->modelling.flags, 0x3u ) << i;
		EXPECT_EQ( *RwPluginData<u32>( f[i], WordPlugin::offset ), 0xBEEFu ) << i;
		EXPECT_EQ( f[i]->root, f[0] );
	}
	DestroyAll();
	EXPECT_EQ( list.frames, nullptr );
}

TEST_F( RwFrameListTest, PinnedRecordBytesDecodeFieldByField ) {
	// One record by hand: right (1,0,0), up (0,1,0), at (0,0,1), pos
	// (0.5,-2,8), parent -1, a last word the reader ignores.
	const RwTestBytes body = {
		0x01, 0, 0, 0,
		0, 0, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0,
		0, 0, 0, 0, 0, 0, 0x80, 0x3F, 0, 0, 0, 0,
		0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x3F,
		0, 0, 0, 0x3F, 0, 0, 0, 0xC0, 0, 0, 0, 0x41,
		0xFF, 0xFF, 0xFF, 0xFF, 0x12, 0x34, 0x56, 0x78,
	};
	ASSERT_EQ( Read( RwTestConcat( { RwTestChunk( rwID_STRUCT, body ), RwTestChunk( rwID_EXTENSION, {} ) } ) ), &list );
	ASSERT_EQ( list.numFrames, 1 );
	const RwMatrix& m = list.frames[0]->modelling;
	EXPECT_FLOAT_EQ( m.pos.x, 0.5f );
	EXPECT_FLOAT_EQ( m.pos.y, -2.0f );
	EXPECT_FLOAT_EQ( m.pos.z, 8.0f );
	EXPECT_FLOAT_EQ( m.up.y, 1.0f );
	EXPECT_EQ( list.frames[0]->object.parent, nullptr );
	DestroyAll();
}

TEST_F( RwFrameListTest, OnlyNearlyOrthonormalRecordsKeepTheirOrthonormalFlags ) {
	const f32 shrink = 0.993288f;	// cubed: a determinant of 0.98
	struct Case {
		const char*	name;
		Record		record;
		u32			flags;
	};
	const Case cases[] = {
		{ "rotation", { { 0, 1, 0 }, { -1, 0, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, -1 }, 0x3 },
		{ "determinant 0.98", { { shrink, 0, 0 }, { 0, shrink, 0 }, { 0, 0, shrink }, { 0, 0, 0 }, -1 }, 0x0 },
		{ "mirror", { { -1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, -1 }, 0x0 },
		{ "scaled", { { 2, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, -1 }, 0x0 },
	};
	for ( const Case& c : cases ) {
		ASSERT_EQ( Read( FrameListPayload( { c.record }, 1 ) ), &list ) << c.name;
		EXPECT_EQ( list.frames[0]->modelling.flags, c.flags ) << c.name;
		DestroyAll();
	}
}

TEST_F( RwFrameListTest, BadListsFailLeavingNoFramesAndAnEmptyList ) {
	const RwTestBytes goodExtension = RwTestChunk( WORD_PLUGIN_ID, RwTestWords( { 1 } ) );
	RwTestBytes truncated = FrameListPayload( { Placed( 1, -1 ), Placed( 2, 0 ) }, 2 );
	truncated.resize( 12 + 4 + 56 + 30 );
	RwTestBytes hugeCount = RwTestChunk( rwID_STRUCT, RwTestConcat( { RwTestWords( { 1000000 } ), RecordBytes( Placed( 0, -1 ) ) } ) );
	struct Case {
		const char*	name;
		RwTestBytes	data;
	};
	const Case cases[] = {
		{ "parent index not earlier", FrameListPayload( { Placed( 1, -1 ), Placed( 2, 0 ), Placed( 3, 5 ) }, 3 ) },
		{ "parent index of itself", FrameListPayload( { Placed( 1, -1 ), Placed( 2, 1 ) }, 2 ) },
		{ "count beyond the payload", hugeCount },
		{ "truncated record", truncated },
		{ "count above the records", FrameListPayload( { Placed( 1, -1 ) }, 2 ) },
		{ "missing extension", RwTestChunk( rwID_STRUCT, RwTestConcat( { RwTestWords( { 1 } ), RecordBytes( Placed( 0, -1 ) ) } ) ) },
		{ "short extension data", FrameListPayload( { Placed( 1, -1 ) }, 1, RwTestChunk( WORD_PLUGIN_ID, RwTestBytes( 2 ) ) ) },
		{ "old struct", RwTestChunk( rwID_STRUCT, RwTestWords( { 0 } ), 0x30000 ) },
	};
	for ( const Case& c : cases ) {
		const u32 mallocsBefore = RwTestCountingMemory::mallocCalls;
		const u32 freesBefore = RwTestCountingMemory::freeCalls;
		EXPECT_EQ( Read( c.data ), nullptr ) << c.name;
		EXPECT_EQ( list.frames, nullptr ) << c.name;
		EXPECT_EQ( list.numFrames, 0 ) << c.name;
		// Everything allocated (frames, the array, the stream) was freed.
		EXPECT_EQ( RwTestCountingMemory::mallocCalls - mallocsBefore, RwTestCountingMemory::freeCalls - freesBefore ) << c.name;
		EXPECT_TRUE( RwTestDirtyRoots().empty() ) << c.name;
		EXPECT_NE( RwTestReadError().errorCode, RWERR_NONE ) << c.name;
	}
}

TEST_F( RwFrameListTest, AnEmptyListReadsWithoutAnArray ) {
	ASSERT_EQ( Read( FrameListPayload( {}, 0 ) ), &list );
	EXPECT_EQ( list.numFrames, 0 );
	EXPECT_EQ( list.frames, nullptr );
}

}	// namespace
