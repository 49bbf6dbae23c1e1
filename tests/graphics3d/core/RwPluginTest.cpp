#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwPlugin.h"
#include "graphics3d/core/RwTestEngine.h"
#include "RwTestChunks.h"

namespace {

constexpr s32 OBJECT_BYTES = 24;

// What the test plug-ins did, in order.
std::vector<std::string> events;
s32 failingConstructor = -1;

// Test plug-ins 0..3 log their calls under their own number.
template< s32 N >
void* Construct( void* object, s32, s32 ) {
	events.push_back( "construct " + std::to_string( N ) );
	return N == failingConstructor ? nullptr : object;
}

template< s32 N >
void* Destruct( void* object, s32, s32 ) {
	events.push_back( "destruct " + std::to_string( N ) );
	return object;
}

template< s32 N >
void* Copy( void* dst, const void*, s32, s32 ) {
	events.push_back( "copy " + std::to_string( N ) );
	return dst;
}

struct TestPlugin {
	s32							size;
	u32							id;
	RwPluginObjectConstructor	construct;
	RwPluginObjectDestructor	destruct;
	RwPluginObjectCopy			copy;
};

const TestPlugin testPlugins[] = {
	{ 5, 0xA0, Construct<0>, Destruct<0>, Copy<0> },
	{ 4, 0xA1, Construct<1>, Destruct<1>, Copy<1> },
	{ 0, 0xA2, Construct<2>, Destruct<2>, Copy<2> },
	{ 9, 0xA3, Construct<3>, Destruct<3>, Copy<3> },
};

class RwPluginTest : public RwTestCase, public ::testing::WithParamInterface<u32> {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		events.clear();
		failingConstructor = -1;
		registry = { OBJECT_BYTES, OBJECT_BYTES, 0, 0, nullptr, nullptr };
		ASSERT_TRUE( RwEngineInit( &rwTestEngineMemory, GetParam(), 0 ) );
	}

	void RegisterAll() {
		for ( const TestPlugin& p : testPlugins ) {
			ASSERT_GE( _rwPluginRegistryAddPlugin( &registry, p.size, p.id, p.construct, p.destruct, p.copy ), 0 );
		}
	}

	RwPluginRegistry	registry;
};

TEST_P( RwPluginTest, GivesOffsetsFromTheBaseSizeInStepsOfEight ) {
	const s32 expected[] = { OBJECT_BYTES, OBJECT_BYTES + 8, OBJECT_BYTES + 16, OBJECT_BYTES + 16 };
	for ( size_t i = 0; i < 4; i++ ) {
		const TestPlugin& p = testPlugins[i];
		EXPECT_EQ( _rwPluginRegistryAddPlugin( &registry, p.size, p.id, p.construct, p.destruct, p.copy ), expected[i] ) << i;
	}
	EXPECT_EQ( registry.sizeOfStruct, OBJECT_BYTES + 32 );
	EXPECT_EQ( _rwPluginRegistryGetPluginOffset( &registry, 0xA3 ), OBJECT_BYTES + 16 );
	EXPECT_EQ( _rwPluginRegistryGetPluginOffset( &registry, 0xB0 ), -1 );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_NONE );
}

TEST_P( RwPluginTest, ADuplicateIdKeepsTheFirstRegistrationAndRecordsARefusal ) {
	RegisterAll();
	const s32 size = registry.sizeOfStruct;
	EXPECT_EQ( _rwPluginRegistryAddPlugin( &registry, 64, 0xA1, nullptr, nullptr, nullptr ), OBJECT_BYTES + 8 );
	EXPECT_EQ( registry.sizeOfStruct, size );
	const RwError error = RwTestReadError();
	EXPECT_EQ( error.pluginID, 0u );
	EXPECT_EQ( error.errorCode, RWERR_PLUGIN_REFUSED );
}

TEST_P( RwPluginTest, RefusesSizesBeyondTheMaximumOrBelowZeroWithoutAnError ) {
	registry.maxSizeOfStruct = OBJECT_BYTES + 16;
	const struct {
		s32		size;
		s32		offset;
	} cases[] = { { 8, OBJECT_BYTES }, { 9, -1 }, { -8, -1 }, { 0x7FFFFFFF, -1 }, { 8, OBJECT_BYTES + 8 }, { 1, -1 } };
	u32 id = 0xC0;
	for ( const auto& c : cases ) {
		EXPECT_EQ( _rwPluginRegistryAddPlugin( &registry, c.size, id++, nullptr, nullptr, nullptr ), c.offset ) << c.size;
	}
	EXPECT_EQ( registry.sizeOfStruct, OBJECT_BYTES + 16 );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_NONE );
}

TEST_P( RwPluginTest, ConstructsInOrderAndUndoesTheEarlierOnesWhenOneFails ) {
	RegisterAll();
	const struct {
		s32							failing;
		bool						made;
		std::vector<std::string>	events;
	} cases[] = {
		{ -1, true, { "construct 0", "construct 1", "construct 2", "construct 3" } },
		{ 0, false, { "construct 0" } },
		{ 2, false, { "construct 0", "construct 1", "construct 2", "destruct 1", "destruct 0" } },
		{ 3, false, { "construct 0", "construct 1", "construct 2", "construct 3", "destruct 2", "destruct 1", "destruct 0" } },
	};
	u8 object[64] = {};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.failing );
		events.clear();
		failingConstructor = c.failing;
		EXPECT_EQ( _rwPluginRegistryInitObject( &registry, object ) != nullptr, c.made );
		EXPECT_EQ( events, c.events );
	}
	events.clear();
	EXPECT_EQ( _rwPluginRegistryDeInitObject( &registry, object ), &registry );
	EXPECT_EQ( events, ( std::vector<std::string>{ "destruct 3", "destruct 2", "destruct 1", "destruct 0" } ) );
	events.clear();
	u8 copy[64] = {};
	EXPECT_EQ( _rwPluginRegistryCopyObject( &registry, copy, object ), &registry );
	EXPECT_EQ( events, ( std::vector<std::string>{ "copy 0", "copy 1", "copy 2", "copy 3" } ) );
}

TEST_P( RwPluginTest, NullFunctionsBecomeTheDefaultsThatReturnTheirObject ) {
	ASSERT_GE( _rwPluginRegistryAddPlugin( &registry, 8, 0xD0, nullptr, nullptr, nullptr ), 0 );
	u8 object[32] = {};
	u8 other[32] = {};
	EXPECT_EQ( _rwPluginRegistryInitObject( &registry, object ), &registry );
	EXPECT_EQ( _rwPluginRegistryCopyObject( &registry, other, object ), &registry );
	EXPECT_EQ( _rwPluginRegistryDeInitObject( &registry, object ), &registry );
	EXPECT_EQ( registry.firstRegEntry->constructCB, PluginDefaultConstructor );
	EXPECT_EQ( registry.firstRegEntry->copyCB, PluginDefaultCopy );
}

bool AlwaysYes( void*, s32, s32 ) {
	return true;
}

bool RightsOnlyFor7( void*, s32, s32, const u32 extra ) {
	return extra == 7;
}

TEST_P( RwPluginTest, SetsStreamAlwaysAndRightsFunctionsOnlyForRegisteredIds ) {
	RegisterAll();
	EXPECT_EQ( _rwPluginRegistryAddPluginStream( &registry, 0xA1, nullptr, nullptr, nullptr ), OBJECT_BYTES + 8 );
	EXPECT_EQ( _rwPluginRegistryAddPluginStream( &registry, 0xEE, nullptr, nullptr, nullptr ), -1 );
	EXPECT_EQ( _rwPluginRegistryAddPlgnStrmlwysCB( &registry, 0xA2, AlwaysYes ), OBJECT_BYTES + 16 );
	EXPECT_EQ( _rwPluginRegistryAddPlgnStrmlwysCB( &registry, 0xEE, AlwaysYes ), -1 );
	EXPECT_EQ( _rwPluginRegistryAddPlgnStrmRightsCB( &registry, 0xA3, RightsOnlyFor7 ), OBJECT_BYTES + 16 );
	EXPECT_EQ( _rwPluginRegistryAddPlgnStrmRightsCB( &registry, 0xEE, RightsOnlyFor7 ), -1 );

	u8 object[64] = {};
	EXPECT_EQ( _rwPluginRegistryInvokeRights( &registry, 0xA3, object, 7 ), &registry );
	EXPECT_EQ( _rwPluginRegistryInvokeRights( &registry, 0xA3, object, 8 ), nullptr );
	EXPECT_EQ( _rwPluginRegistryInvokeRights( &registry, 0xA0, object, 7 ), nullptr );
	EXPECT_EQ( _rwPluginRegistryInvokeRights( &registry, 0xEE, object, 7 ), nullptr );
}

TEST_P( RwPluginTest, TermResetsEveryRegistryAndRegistrationNeedsTheModuleOpen ) {
	RegisterAll();
	RwPluginRegistry untouched = { OBJECT_BYTES, OBJECT_BYTES, 0, 0, nullptr, nullptr };
	ASSERT_TRUE( RwEngineTerm() );
	EXPECT_EQ( registry.sizeOfStruct, OBJECT_BYTES );
	EXPECT_EQ( registry.firstRegEntry, nullptr );
	EXPECT_EQ( registry.lastRegEntry, nullptr );
	EXPECT_EQ( untouched.sizeOfStruct, OBJECT_BYTES );
	EXPECT_EQ( toolkitRegEntryFreeList, nullptr );
	EXPECT_EQ( _rwPluginRegistryAddPlugin( &registry, 8, 0xA0, nullptr, nullptr, nullptr ), -1 );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_NONE );

	ASSERT_TRUE( RwEngineInit( &rwTestEngineMemory, GetParam(), 0 ) );
	EXPECT_EQ( _rwPluginRegistryAddPlugin( &registry, 8, 0xA0, nullptr, nullptr, nullptr ), OBJECT_BYTES );
}

TEST_P( RwPluginTest, ExtensionReadersFailCleanlyWithoutAChunk ) {
	RegisterAll();
	u8 object[64] = {};
	EXPECT_EQ( _rwPluginRegistryReadDataChunks( &registry, nullptr, object ), nullptr );
	EXPECT_EQ( _rwPluginRegistrySkipDataChunks( &registry, nullptr ), nullptr );
	EXPECT_TRUE( events.empty() );
}

// Extension chunks read through a registry of two plug-ins with stream
// data (ids 0xC0 and 0xC1, one word each) and always functions.
class RwPluginChunkTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		events.clear();
		registry = { OBJECT_BYTES, OBJECT_BYTES, 0, 0, nullptr, nullptr };
		ASSERT_TRUE( RwEngineInit( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		for ( const u32 id : { 0xC0u, 0xC1u } ) {
			ASSERT_GE( _rwPluginRegistryAddPlugin( &registry, 4, id, nullptr, nullptr, nullptr ), 0 );
			ASSERT_GE( _rwPluginRegistryAddPluginStream( &registry, id, ReadWord, nullptr, nullptr ), 0 );
			ASSERT_GE( _rwPluginRegistryAddPlgnStrmlwysCB( &registry, id, Always ), 0 );
		}
		ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) && RwEngineStart() );
	}

	static RwStream* ReadWord( RwStream* stream, s32 length, void* object, s32 offset, s32 ) {
		events.push_back( "read " + std::to_string( offset ) + " " + std::to_string( length ) );
		return RwStreamReadInt32( stream, RwPluginData<u32>( object, offset ), 4 );
	}
	static bool Always( void*, s32 offset, s32 ) {
		events.push_back( "always " + std::to_string( offset ) );
		return true;
	}

	const RwPluginRegistry* ReadExtension( const RwTestBytes& payload, u8* object, u32* position = nullptr ) {
		const RwTestBytes data = RwTestConcat( { RwTestChunk( rwID_EXTENSION, payload ), RwTestWords( { 0x77 } ) } );
		RwStream* const stream = RwTestOpenRead( data );
		const RwPluginRegistry* const result = _rwPluginRegistryReadDataChunks( &registry, stream, object );
		if ( position != nullptr ) {
			*position = RwTestReadPosition( stream );
		}
		RwStreamClose( stream, nullptr );
		return result;
	}

	RwPluginRegistry	registry;
};

TEST_F( RwPluginChunkTest, ReadsRegisteredSubChunksSkipsUnknownOnesAndRunsEveryAlwaysFunction ) {
	const RwTestBytes payload = RwTestConcat( {
		RwTestChunk( 0xBB, RwTestWords( { 1, 2, 3 } ) ),
		RwTestChunk( 0xC1, RwTestWords( { 0xABCD } ) ),
		RwTestChunk( 0xBC, {} ),
	} );
	u8 object[OBJECT_BYTES + 16] = {};
	u32 position = 0;
	EXPECT_EQ( ReadExtension( payload, object, &position ), &registry );
	EXPECT_EQ( *RwPluginData<u32>( object, OBJECT_BYTES + 8 ), 0xABCDu );
	EXPECT_EQ( *RwPluginData<u32>( object, OBJECT_BYTES ), 0u );
	EXPECT_EQ( position, 12 + payload.size() );
	const std::string second = std::to_string( OBJECT_BYTES + 8 );
	EXPECT_EQ( events, ( std::vector<std::string>{ "read " + second + " 4", "always " + std::to_string( OBJECT_BYTES ),
												   "always " + second } ) );
}

TEST_F( RwPluginChunkTest, AnEmptyExtensionStillRunsEveryAlwaysFunction ) {
	u8 object[OBJECT_BYTES + 16] = {};
	EXPECT_EQ( ReadExtension( {}, object ), &registry );
	EXPECT_EQ( events, ( std::vector<std::string>{ "always " + std::to_string( OBJECT_BYTES ),
												   "always " + std::to_string( OBJECT_BYTES + 8 ) } ) );
}

TEST_F( RwPluginChunkTest, ASubChunkLongerThanTheRestOfTheExtensionFails ) {
	struct Case {
		const char*	name;
		RwTestBytes	payload;
	};
	const Case cases[] = {
		// Claims 100 bytes; the extension holds 4.
		{ "long sub-chunk", RwTestConcat( { RwTestHeader( 0xBB, 100 ), RwTestWords( { 5 } ) } ) },
		{ "header cut by the extension", RwTestBytes( 8, 0 ) },
		{ "second sub-chunk too long", RwTestConcat( { RwTestChunk( 0xC0, RwTestWords( { 9 } ) ), RwTestHeader( 0xC1, 8 ),
													   RwTestWords( { 1 } ) } ) },
	};
	for ( const Case& c : cases ) {
		events.clear();
		u8 object[OBJECT_BYTES + 16] = {};
		EXPECT_EQ( ReadExtension( c.payload, object ), nullptr ) << c.name;
		EXPECT_EQ( RwTestReadError().errorCode, RWERR_READ ) << c.name;
		for ( const std::string& event : events ) {
			EXPECT_EQ( event.rfind( "always", 0 ), std::string::npos ) << c.name;
		}
	}
}

std::string ModeName( const ::testing::TestParamInfo<u32>& info ) {
	return info.param == 0 ? "FreeListsEnabled" : "FreeListsDisabled";
}

INSTANTIATE_TEST_SUITE_P( Modes, RwPluginTest, ::testing::Values( 0u, RWENGINE_INIT_NO_FREE_LISTS ), ModeName );

}	// namespace
