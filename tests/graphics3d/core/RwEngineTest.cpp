#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwImage.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwResources.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/core/RwV3d.h"
#include "graphics3d/core/RwTestEngine.h"

namespace {

constexpr u32 ARENA_BYTES = 0x200000;
constexpr u32 TEST_PLUGIN_A = 0xF001;
constexpr u32 TEST_PLUGIN_B = 0xF002;

// Events of the test engine plug-ins, in the order they happened.
std::vector<std::string> pluginEvents;
bool failPluginB = false;

// Open counts of the core modules that keep one, in table order.
std::vector<s32> CoreModuleCounts() {
	return { errorModule.numInstances,	vectorModule.numInstances, matrixModule.numInstances,
			 frameModule.numInstances,	streamModule.numInstances, cameraModule.numInstances,
			 imageModule.numInstances,	rasterModule.numInstances, textureModule.numInstances,
			 resourcesModule.numInstances };
}

bool AllCoreModulesOpen( const s32 count ) {
	for ( const s32 c : CoreModuleCounts() ) {
		if ( c != count ) {
			return false;
		}
	}
	return true;
}

void* PluginAOpen( void* instance, s32, s32 ) {
	pluginEvents.push_back( AllCoreModulesOpen( 1 ) ? "A open after core" : "A open too early" );
	return instance;
}

void* PluginAClose( void* instance, s32, s32 ) {
	pluginEvents.push_back( AllCoreModulesOpen( 1 ) ? "A close before core" : "A close too late" );
	return instance;
}

void* PluginBOpen( void* instance, s32, s32 ) {
	pluginEvents.push_back( "B open" );
	return failPluginB ? nullptr : instance;
}

void* PluginBClose( void* instance, s32, s32 ) {
	pluginEvents.push_back( "B close" );
	return instance;
}

class RwEngineTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		pluginEvents.clear();
		failPluginB = false;
	}
};

class RwEngineLifeCycleTest : public RwEngineTest, public ::testing::WithParamInterface<RwTestMemory> {
	void SetUp() override { RwEngineTest::SetUp(); }
	void TearDown() override { RwEngineTest::TearDown(); }
};

TEST_P( RwEngineLifeCycleTest, RunsTheWholeLifeCycleTwiceInOneProcess ) {
	for ( int round = 0; round < 2; round++ ) {
		SCOPED_TRACE( round );
		TestDeviceReset();
		EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_IDLE );
		ASSERT_TRUE( RwEngineInit( GetParam().functions, RWENGINE_INIT_NO_FREE_LISTS, ARENA_BYTES ) );
		EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_INITIALISED );
		EXPECT_EQ( TestDeviceRegisterPluginCount(), 1u );
		ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
		EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_OPENED );
		EXPECT_NE( RwEngineInstance, &staticGlobals );
		EXPECT_EQ( _rwGetNumEngineInstances(), 1 );
		ASSERT_TRUE( RwEngineStart() );
		EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_STARTED );
		EXPECT_TRUE( AllCoreModulesOpen( 1 ) );
		ASSERT_TRUE( RwEngineStop() );
		EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_OPENED );
		EXPECT_TRUE( AllCoreModulesOpen( 0 ) );
		ASSERT_TRUE( RwEngineClose() );
		EXPECT_EQ( RwEngineInstance, &staticGlobals );
		EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_INITIALISED );
		EXPECT_EQ( _rwGetNumEngineInstances(), 0 );
		ASSERT_TRUE( RwEngineTerm() );
		EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_IDLE );

		// The device saw each step once, in the core's order of requests.
		const struct {
			s32		request;
			u32		count;
		} requests[] = {
			{ RWDEVICE_REGISTER, 1 }, { RWDEVICE_OPEN, 1 },		   { RWDEVICE_STANDARDS, 1 }, { RWDEVICE_START, 1 },
			{ RWDEVICE_FINISH_START, 1 }, { RWDEVICE_BEGIN_STOP, 1 }, { RWDEVICE_STOP, 1 },	  { RWDEVICE_CLOSE, 1 },
		};
		for ( const auto& r : requests ) {
			EXPECT_EQ( TestDeviceRequestCount( r.request ), r.count ) << r.request;
		}
		EXPECT_EQ( RwTestReadError().errorCode, RWERR_NONE );
	}
}

TEST_P( RwEngineLifeCycleTest, HandsTheDeviceTheInstanceMemoryFunctionsAndTheConfigurationUnread ) {
	ASSERT_TRUE( RwEngineInit( GetParam().functions, RWENGINE_INIT_NO_FREE_LISTS, ARENA_BYTES ) );
	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
	EXPECT_EQ( TestDeviceConfiguration(), &rwTestDeviceConfig );
	EXPECT_EQ( TestDeviceMemoryFunctions(), &RwEngineInstance->memoryFunctions );
	EXPECT_NE( TestDeviceWorkBlock(), nullptr );
	if ( GetParam().functions != nullptr ) {
		EXPECT_EQ( RwEngineInstance->memoryFunctions.rwmalloc, GetParam().functions->rwmalloc );
		EXPECT_EQ( RwEngineInstance->memoryFunctions.rwcalloc, GetParam().functions->rwcalloc );
	}
	// The zero-allocate in use clears.
	u8* const cleared = static_cast<u8*>( RwEngineInstance->memoryFunctions.rwcalloc( 3, 40 ) );
	ASSERT_NE( cleared, nullptr );
	for ( int i = 0; i < 120; i++ ) {
		ASSERT_EQ( cleared[i], 0 ) << i;
	}
	RwEngineInstance->memoryFunctions.rwfree( cleared );
	ASSERT_TRUE( RwEngineClose() );
	EXPECT_EQ( TestDeviceWorkBlock(), nullptr );
}

INSTANTIATE_TEST_SUITE_P( Memory, RwEngineLifeCycleTest, ::testing::ValuesIn( rwTestMemories ), RwTestMemoryName );

TEST_F( RwEngineTest, RegistersTheCoreModulesInTableOrderAndOpensThemBeforeLaterPlugins ) {
	ASSERT_TRUE( RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, ARENA_BYTES ) );
	const u32 tableOrder[] = {
		RWID_ERROR_MODULE,	RWID_VECTOR_MODULE,	 RWID_COLOR_MODULE,	  RWID_MATRIX_MODULE,	 RWID_FRAME_MODULE,
		RWID_STREAM_MODULE, RWID_CAMERA_MODULE,	 RWID_IMAGE_MODULE,	  RWID_RASTER_MODULE,	 RWID_TEXTURE_MODULE,
		RWID_PIPELINE_MODULE, RWID_IM3D_MODULE, RWID_RESOURCES_MODULE,
	};
	s32 previous = -1;
	for ( const u32 id : tableOrder ) {
		const s32 offset = RwEngineGetPluginOffset( id );
		EXPECT_GE( offset, static_cast<s32>( sizeof( RwGlobals ) ) ) << std::hex << id;
		EXPECT_GE( offset, previous ) << std::hex << id;
		EXPECT_EQ( offset % 8, 0 ) << std::hex << id;
		previous = offset;
	}
	EXPECT_EQ( RwEngineGetPluginOffset( RWID_ERROR_MODULE ), static_cast<s32>( sizeof( RwGlobals ) ) );

	ASSERT_GE( RwEngineRegisterPlugin( 4, TEST_PLUGIN_A, PluginAOpen, PluginAClose ), previous );
	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
	ASSERT_TRUE( RwEngineStart() );
	EXPECT_EQ( errorModule.globalsOffset, RwEngineGetPluginOffset( RWID_ERROR_MODULE ) );
	EXPECT_EQ( resourcesModule.globalsOffset, RwEngineGetPluginOffset( RWID_RESOURCES_MODULE ) );
	ASSERT_TRUE( RwEngineStop() );
	EXPECT_EQ( pluginEvents, ( std::vector<std::string>{ "A open after core", "A close before core" } ) );
}

TEST_F( RwEngineTest, AFailingPluginOpenUndoesTheEarlierOnesSendsStopAndStaysOpened ) {
	ASSERT_TRUE( RwEngineInit( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, ARENA_BYTES ) );
	ASSERT_GE( RwEngineRegisterPlugin( 8, TEST_PLUGIN_A, PluginAOpen, PluginAClose ), 0 );
	ASSERT_GE( RwEngineRegisterPlugin( 8, TEST_PLUGIN_B, PluginBOpen, PluginBClose ), 0 );
	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
	failPluginB = true;

	EXPECT_FALSE( RwEngineStart() );
	EXPECT_EQ( pluginEvents, ( std::vector<std::string>{ "A open after core", "B open", "A close before core" } ) );
	EXPECT_TRUE( AllCoreModulesOpen( 0 ) );
	EXPECT_EQ( TestDeviceRequestCount( RWDEVICE_STOP ), 1u );
	EXPECT_EQ( TestDeviceRequestCount( RWDEVICE_FINISH_START ), 0u );
	EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_OPENED );

	failPluginB = false;
	pluginEvents.clear();
	EXPECT_TRUE( RwEngineStart() );
	EXPECT_TRUE( RwEngineStop() );
	EXPECT_EQ( pluginEvents, ( std::vector<std::string>{ "A open after core", "B open", "B close", "A close before core" } ) );
}

TEST_F( RwEngineTest, RefusesRegistrationWhileOpenAndAcceptsItAfterClose ) {
	ASSERT_TRUE( RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, ARENA_BYTES ) );
	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
	const s32 openSize = engineTKList.sizeOfStruct;

	EXPECT_EQ( RwEngineRegisterPlugin( 16, TEST_PLUGIN_A, nullptr, nullptr ), -1 );
	EXPECT_EQ( engineTKList.sizeOfStruct, openSize );
	const RwError refused = RwTestReadError();
	EXPECT_EQ( refused.pluginID, 0u );
	EXPECT_EQ( refused.errorCode, RWERR_PLUGIN_REFUSED );

	ASSERT_TRUE( RwEngineClose() );
	EXPECT_EQ( RwEngineRegisterPlugin( 16, TEST_PLUGIN_A, nullptr, nullptr ), openSize );
	EXPECT_EQ( engineTKList.sizeOfStruct, openSize + 16 );
}

TEST_F( RwEngineTest, AFailedDeviceOpenLeavesTheStaticRecordCurrentSoThatARetryWorks ) {
	// Refusing register must not leave null entries for open to call;
	// refusing open must undo the instance.
	const s32 refusals[] = { RWDEVICE_REGISTER, RWDEVICE_OPEN };
	ASSERT_TRUE( RwEngineInit( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, ARENA_BYTES ) );
	for ( const s32 refused : refusals ) {
		SCOPED_TRACE( refused );
		TestDeviceReset();
		TestDeviceRefuseRequest( refused, true );
		EXPECT_FALSE( RwEngineOpen( &rwTestDeviceConfig ) );
		EXPECT_EQ( RwEngineInstance, &staticGlobals );
		EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_INITIALISED );
		EXPECT_EQ( _rwGetNumEngineInstances(), 0 );
		EXPECT_EQ( TestDeviceRequestCount( RWDEVICE_OPEN ), refused == RWDEVICE_REGISTER ? 0u : 1u );
		EXPECT_EQ( TestDeviceRequestCount( RWDEVICE_STANDARDS ), 0u );
		RwTestReadError();

		TestDeviceRefuseRequest( refused, false );
		ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
		EXPECT_TRUE( RwEngineStart() );
		EXPECT_TRUE( RwEngineStop() );
		ASSERT_TRUE( RwEngineClose() );
	}
}

TEST_F( RwEngineTest, RefusesToOpenOutOfTheInitialisedStateOrWithoutAConfiguration ) {
	EXPECT_FALSE( RwEngineOpen( &rwTestDeviceConfig ) );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_BAD_ENGINE_STATE );

	ASSERT_TRUE( RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, ARENA_BYTES ) );
	EXPECT_FALSE( RwEngineOpen( nullptr ) );
	const RwError missing = RwTestReadError();
	EXPECT_EQ( missing.pluginID, 0u );
	EXPECT_EQ( missing.errorCode, RWERR_NULL_ARGUMENT );
	EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_INITIALISED );
	EXPECT_EQ( TestDeviceRequestCount( RWDEVICE_REGISTER ), 0u );

	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
	EXPECT_FALSE( RwEngineOpen( &rwTestDeviceConfig ) );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_BAD_ENGINE_STATE );
	EXPECT_EQ( _rwGetNumEngineInstances(), 1 );
}

TEST_F( RwEngineTest, InitOutOfStateZeroChangesNothing ) {
	ASSERT_TRUE( RwTestBringUp( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, ARENA_BYTES ) );
	RwGlobals* const open = RwEngineInstance;
	const s32 size = engineTKList.sizeOfStruct;

	EXPECT_FALSE( RwEngineInit( nullptr, 0, 1234 ) );
	EXPECT_EQ( RwEngineInstance, open );
	EXPECT_EQ( RwEngineInstance->freeListAllocHook, MallocWrapper );
	EXPECT_EQ( RwEngineInstance->freeListFreeHook, FreeWrapper );
	EXPECT_EQ( staticGlobals.freeListAllocHook, MallocWrapper );
	EXPECT_FALSE( FreeListsEnabled );
	EXPECT_EQ( RwEngineInstance->arenaSize, ARENA_BYTES );
	EXPECT_EQ( staticGlobals.arenaSize, ARENA_BYTES );
	EXPECT_EQ( engineTKList.sizeOfStruct, size );
	EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_STARTED );

	EXPECT_TRUE( RwEngineStop() );
	EXPECT_TRUE( RwEngineClose() );
	EXPECT_FALSE( RwEngineInit( nullptr, 0, 1234 ) );
	EXPECT_EQ( staticGlobals.arenaSize, ARENA_BYTES );
	EXPECT_TRUE( RwEngineTerm() );
}

TEST_F( RwEngineTest, CloseWithoutAnOpenInstanceFailsAndChangesNothing ) {
	ASSERT_TRUE( RwEngineInit( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, ARENA_BYTES ) );
	EXPECT_FALSE( RwEngineClose() );
	EXPECT_EQ( RwEngineInstance, &staticGlobals );
	EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_INITIALISED );
	EXPECT_EQ( _rwGetNumEngineInstances(), 0 );
	EXPECT_EQ( TestDeviceRequestCount( RWDEVICE_CLOSE ), 0u );

	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
	ASSERT_TRUE( RwEngineStart() );
	ASSERT_TRUE( RwEngineStop() );
	ASSERT_TRUE( RwEngineClose() );
	EXPECT_TRUE( RwEngineTerm() );
}

TEST_F( RwEngineTest, StartAndStopOnlyRunInTheirStates ) {
	// Without an opened instance the modules would open in the static
	// record, which has no plug-in space.
	EXPECT_FALSE( RwEngineStart() );
	ASSERT_TRUE( RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, ARENA_BYTES ) );
	EXPECT_FALSE( RwEngineStart() );
	EXPECT_FALSE( RwEngineStop() );
	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
	EXPECT_FALSE( RwEngineStop() );
	ASSERT_TRUE( RwEngineStart() );
	EXPECT_FALSE( RwEngineStart() );
	EXPECT_TRUE( AllCoreModulesOpen( 1 ) );
	ASSERT_TRUE( RwEngineStop() );
	EXPECT_FALSE( RwEngineStop() );
	EXPECT_TRUE( AllCoreModulesOpen( 0 ) );
	ASSERT_TRUE( RwEngineClose() );
	EXPECT_FALSE( RwEngineStart() );
	EXPECT_EQ( TestDeviceRequestCount( RWDEVICE_START ), 1u );
}

TEST_F( RwEngineTest, RefusedDeviceStepsKeepTheStateTheyWereIn ) {
	ASSERT_TRUE( RwEngineInit( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, ARENA_BYTES ) );
	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );

	TestDeviceRefuseRequest( RWDEVICE_START, true );
	EXPECT_FALSE( RwEngineStart() );
	EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_OPENED );
	EXPECT_TRUE( AllCoreModulesOpen( 0 ) );
	TestDeviceRefuseRequest( RWDEVICE_START, false );
	ASSERT_TRUE( RwEngineStart() );

	// A refused stop has closed the modules already and stays started;
	// close then works from there.
	TestDeviceRefuseRequest( RWDEVICE_STOP, true );
	EXPECT_FALSE( RwEngineStop() );
	EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_STARTED );
	EXPECT_TRUE( AllCoreModulesOpen( 0 ) );

	TestDeviceRefuseRequest( RWDEVICE_CLOSE, true );
	EXPECT_FALSE( RwEngineClose() );
	EXPECT_NE( RwEngineInstance, &staticGlobals );
	TestDeviceRefuseRequest( RWDEVICE_CLOSE, false );
	EXPECT_TRUE( RwEngineClose() );
	EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_INITIALISED );

	EXPECT_TRUE( RwEngineTerm() );
}

TEST_F( RwEngineTest, TermWaitsForTheInstanceToCloseAndResetsTheRegistry ) {
	ASSERT_TRUE( RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, ARENA_BYTES ) );
	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
	EXPECT_FALSE( RwEngineTerm() );
	EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_OPENED );
	ASSERT_TRUE( RwEngineClose() );
	ASSERT_TRUE( RwEngineTerm() );
	EXPECT_EQ( engineTKList.sizeOfStruct, static_cast<s32>( sizeof( RwGlobals ) ) );
	EXPECT_EQ( engineTKList.firstRegEntry, nullptr );
	EXPECT_EQ( RwEngineGetPluginOffset( RWID_ERROR_MODULE ), -1 );
	// The string table stays usable after term.
	EXPECT_EQ( staticGlobals.stringFunctions.rwstricmp( "Term", "TERM" ), 0 );
}

TEST_F( RwEngineTest, FillsEveryStandardSlotWithACallableFunction ) {
	ASSERT_TRUE( RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, ARENA_BYTES ) );
	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
	for ( s32 i = 0; i < RWSTANDARD_COUNT; i++ ) {
		ASSERT_NE( RwEngineInstance->standards[i], nullptr ) << i;
		EXPECT_FALSE( RwEngineInstance->standards[i]( nullptr, nullptr, 0 ) ) << i;
	}
	EXPECT_EQ( RwEngineInstance->device.gammaCorrection, 1.0f );
}

}	// namespace
