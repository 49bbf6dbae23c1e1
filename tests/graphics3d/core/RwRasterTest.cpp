#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwResources.h"
#include "graphics3d/testdevice/TestDeviceRasters.h"
#include "RwTestChunks.h"

#include <functional>

namespace {

constexpr s32 CAMERA_FLAGS = rwRASTERTYPECAMERA | rwRASTERFORMAT8888;
constexpr s32 EMPTY_CAMERA_FLAGS = rwRASTERTYPECAMERA | rwRASTERDONTALLOCATE;

class RwRasterTest : public RwStartedTestCase {
protected:
	RwRaster* Camera( const s32 width, const s32 height ) {
		RwRaster* const raster = RwRasterCreate( width, height, 32, CAMERA_FLAGS );
		EXPECT_NE( raster, nullptr );
		return raster;
	}
	RwRaster* Window() {
		RwRaster* const raster = RwRasterCreate( 0, 0, 0, EMPTY_CAMERA_FLAGS );
		EXPECT_NE( raster, nullptr );
		return raster;
	}
	const TestDeviceStandardCall& LastCall() { return TestDeviceStandardCalls().back(); }
};

TEST_F( RwRasterTest, CreatesARasterThatIsItsOwnParentFromTheDevice ) {
	RwRaster* const raster = Camera( 640, 480 );
	ASSERT_NE( raster, nullptr );
	EXPECT_EQ( raster->parent, raster );
	EXPECT_EQ( raster->width, 640 );
	EXPECT_EQ( raster->height, 480 );
	EXPECT_EQ( raster->cType, rwRASTERTYPECAMERA );
	EXPECT_EQ( raster->cFormat, rwRASTERFORMAT8888 >> 8 );
	EXPECT_EQ( raster->nOffsetX, 0 );
	EXPECT_EQ( raster->cpPixels, nullptr );
	const TestDeviceStandardCall& call = LastCall();
	EXPECT_EQ( call.standard, rwSTANDARDRASTERCREATE );
	EXPECT_EQ( call.out, nullptr );
	EXPECT_EQ( call.inOut, raster );
	EXPECT_EQ( call.inInt, CAMERA_FLAGS );
	EXPECT_TRUE( RwRasterDestroy( raster ) );
}

TEST_F( RwRasterTest, PassesEachOperationsArgumentsToItsStandard ) {
	RwRaster* const texture = RwRasterCreate( 16, 16, 8, rwRASTERTYPETEXTURE | rwRASTERFORMATPAL8 | rwRASTERFORMAT8888 );
	ASSERT_NE( texture, nullptr );
	RwRaster* const camera = Camera( 8, 8 );
	u8 device = 0;
	struct Case {
		const char*				name;
		std::function<bool()>	operation;
		s32						standard;
		bool					outGiven;	// the standard gets somewhere to answer
		void*					inOut;
		s32						inInt;
	};
	const Case cases[] = {
		{ "lock level 2 for writing", [&] { RwRasterLock( texture, 2, rwRASTERLOCKWRITE ); return true; }, 15, true, texture, 0x201 },
		{ "unlock", [&] { return RwRasterUnlock( texture ) == texture; }, 16, false, texture, 0 },
		{ "lock level 300 wraps", [&] { RwRasterLock( texture, static_cast<u8>( 300 ), 2 ); RwRasterUnlock( texture ); return true; },
		  15, true, texture, 0x2C02 },
		{ "lock palette", [&] { return RwRasterLockPalette( texture, rwRASTERLOCKREAD ) != nullptr; }, 23, true, texture, 2 },
		{ "unlock palette", [&] { return RwRasterUnlockPalette( texture ) == texture; }, 24, false, texture, 0 },
		{ "push", [&] { return RwRasterPushContext( camera ) == camera; }, 11, false, camera, 0 },
		{ "clear", [&] { return RwRasterClear( 0x11223344 ); }, 14, false, nullptr, 0x11223344 },
		{ "show", [&] { return RwRasterShowRaster( camera, &device, 7 ) == camera; }, 20, true, &device, 7 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		const size_t before = TestDeviceStandardCalls().size();
		EXPECT_TRUE( c.operation() );
		ASSERT_GT( TestDeviceStandardCalls().size(), before );
		const TestDeviceStandardCall& call = TestDeviceStandardCalls()[before];
		EXPECT_EQ( call.standard, c.standard );
		EXPECT_EQ( call.out != nullptr, c.outGiven );
		EXPECT_EQ( call.inOut, c.inOut );
		EXPECT_EQ( call.inInt, c.inInt );
	}
	EXPECT_EQ( RwRasterPopContext(), camera );
	RwRasterDestroy( camera );
	RwRasterDestroy( texture );
}

TEST_F( RwRasterTest, LocksHandTheLevelsPixelsAndKeepTheRastersOwnSize ) {
	RwRaster* const texture = RwRasterCreate( 16, 8, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 | rwRASTERFORMATMIPMAP );
	ASSERT_NE( texture, nullptr );
	u8* const pixels = RwRasterLock( texture, 2, rwRASTERLOCKREADWRITE );
	ASSERT_NE( pixels, nullptr );
	EXPECT_EQ( texture->cpPixels, pixels );
	EXPECT_EQ( texture->width, 4 );
	EXPECT_EQ( texture->height, 2 );
	EXPECT_EQ( texture->originalWidth, 16 );
	EXPECT_EQ( texture->originalHeight, 8 );
	RwRasterUnlock( texture );
	EXPECT_EQ( texture->width, 16 );
	EXPECT_EQ( texture->height, 8 );
	EXPECT_EQ( texture->cpPixels, nullptr );
	RwRaster* const zBuffer = RwRasterCreate( 16, 8, 0, rwRASTERTYPEZBUFFER );
	ASSERT_NE( zBuffer, nullptr );
	EXPECT_EQ( RwRasterLock( zBuffer, 0, rwRASTERLOCKREAD ), nullptr );
	RwRasterDestroy( zBuffer );
	RwRasterDestroy( texture );
}

TEST_F( RwRasterTest, RefusesASubRasterOfARasterWithPixelsWithoutAskingTheDevice ) {
	RwRaster* const parent = Camera( 64, 64 );
	RwRaster* const owner = Camera( 8, 8 );
	const RwRect rect = { 1, 2, 3, 4 };
	const u32 before = TestDeviceStandardCount( rwSTANDARDRASTERSUBRASTER );
	EXPECT_EQ( RwRasterSubRaster( owner, parent, &rect ), nullptr );
	EXPECT_EQ( TestDeviceStandardCount( rwSTANDARDRASTERSUBRASTER ), before );
	EXPECT_EQ( owner->parent, owner );
	RwRasterDestroy( owner );
	RwRasterDestroy( parent );
}

TEST_F( RwRasterTest, SubRastersOfSubRastersNameTheRootAndSumTheirOffsets ) {
	RwRaster* const root = Camera( 640, 480 );
	RwRaster* const middle = Window();
	RwRaster* const inner = Window();
	const RwRect outerRect = { 320, 10, 320, 470 };
	const RwRect innerRect = { 5, 7, 20, 30 };
	ASSERT_EQ( RwRasterSubRaster( middle, root, &outerRect ), middle );
	ASSERT_EQ( RwRasterSubRaster( inner, middle, &innerRect ), inner );
	EXPECT_EQ( middle->parent, root );
	EXPECT_EQ( inner->parent, root );
	EXPECT_EQ( inner->nOffsetX, 325 );
	EXPECT_EQ( inner->nOffsetY, 17 );
	EXPECT_EQ( inner->width, 20 );
	EXPECT_EQ( inner->height, 30 );
	// A clear of the innermost window reaches exactly its rectangle of the
	// root's pixels.
	ASSERT_EQ( RwRasterPushContext( inner ), inner );
	EXPECT_TRUE( RwRasterClear( static_cast<s32>( 0xFF102030u ) ) );
	RwRasterPopContext();
	const u8* const pixels = RwRasterLock( root, 0, rwRASTERLOCKREAD );
	ASSERT_NE( pixels, nullptr );
	const auto pixel = [&]( const s32 x, const s32 y ) { return pixels + y * root->stride + x * 4; };
	EXPECT_EQ( pixel( 325, 17 )[0], 0x10 );
	EXPECT_EQ( pixel( 344, 46 )[3], 0xFF );
	EXPECT_EQ( pixel( 324, 17 )[0], 0 );
	EXPECT_EQ( pixel( 345, 46 )[0], 0 );
	EXPECT_EQ( pixel( 325, 47 )[0], 0 );
	RwRasterUnlock( root );
	const RwRect refused = { 0, 0, 1, 1 };
	TestDeviceRefuseStandard( rwSTANDARDRASTERSUBRASTER, true );
	RwRaster* const orphan = Window();
	EXPECT_EQ( RwRasterSubRaster( orphan, root, &refused ), nullptr );
	EXPECT_EQ( orphan->parent, orphan );
	RwRasterDestroy( orphan );
	RwRasterDestroy( inner );
	RwRasterDestroy( middle );
	RwRasterDestroy( root );
}

TEST_F( RwRasterTest, ClearWithoutAPushedRasterFailsWithCoreError21 ) {
	const u32 before = TestDeviceStandardCount( rwSTANDARDRASTERCLEAR );
	EXPECT_FALSE( RwRasterClear( 0 ) );
	EXPECT_EQ( TestDeviceStandardCount( rwSTANDARDRASTERCLEAR ), before );
	const RwError error = RwTestReadError();
	EXPECT_EQ( error.pluginID, RWPLUGIN_CORE );
	EXPECT_EQ( error.errorCode, RWERR_NO_RASTER_CONTEXT );
}

TEST_F( RwRasterTest, ContextStackHoldsNinePushesAndNeverPopsBelowItsPlaceholder ) {
	RwRaster* rasters[RWRASTER_CONTEXT_STACK_SIZE];
	for ( RwRaster*& raster : rasters ) {
		raster = Camera( 4, 4 );
	}
	for ( s32 i = 0; i < RWRASTER_CONTEXT_STACK_SIZE - 1; i++ ) {
		EXPECT_EQ( RwRasterPushContext( rasters[i] ), rasters[i] ) << i;
	}
	const u32 pushes = TestDeviceStandardCount( rwSTANDARDSETRASTERCONTEXT );
	EXPECT_EQ( RwRasterPushContext( rasters[9] ), nullptr );
	EXPECT_EQ( TestDeviceStandardCount( rwSTANDARDSETRASTERCONTEXT ), pushes );
	for ( s32 i = RWRASTER_CONTEXT_STACK_SIZE - 2; i >= 0; i-- ) {
		EXPECT_EQ( RwRasterPopContext(), rasters[i] ) << i;
		RwRaster* const top = TestDeviceRasterContext();
		if ( i > 0 ) {
			EXPECT_EQ( top, rasters[i - 1] );
		} else {
			ASSERT_NE( top, nullptr );
			EXPECT_EQ( top->cFlags, rwRASTERDONTALLOCATE );
			EXPECT_EQ( top->parent, nullptr );
			EXPECT_EQ( top->width, 0 );
		}
	}
	const u32 pops = TestDeviceStandardCount( rwSTANDARDSETRASTERCONTEXT );
	EXPECT_EQ( RwRasterPopContext(), nullptr );
	EXPECT_EQ( TestDeviceStandardCount( rwSTANDARDSETRASTERCONTEXT ), pops );
	for ( RwRaster* raster : rasters ) {
		RwRasterDestroy( raster );
	}
}

TEST_F( RwRasterTest, RefusedPushKeepsTheStackAndRefusedPopStillRemovesTheTop ) {
	RwRaster* const first = Camera( 4, 4 );
	RwRaster* const second = Camera( 4, 4 );
	ASSERT_EQ( RwRasterPushContext( first ), first );
	TestDeviceRefuseStandard( rwSTANDARDSETRASTERCONTEXT, true );
	EXPECT_EQ( RwRasterPushContext( second ), nullptr );
	EXPECT_EQ( RwRasterPopContext(), nullptr );
	TestDeviceRefuseStandard( rwSTANDARDSETRASTERCONTEXT, false );
	// The refused pop took first off: the stack is empty again.
	EXPECT_EQ( RwRasterPopContext(), nullptr );
	EXPECT_FALSE( RwRasterClear( 0 ) );
	RwRasterDestroy( second );
	RwRasterDestroy( first );
}

TEST_F( RwRasterTest, DestroyIsTrueWhateverTheDeviceAnswers ) {
	RwRaster* const raster = Camera( 4, 4 );
	TestDeviceRefuseStandard( rwSTANDARDRASTERDESTROY, true );
	EXPECT_TRUE( RwRasterDestroy( raster ) );
	EXPECT_EQ( TestDeviceStandardCount( rwSTANDARDRASTERDESTROY ), 1u );
}

TEST_F( RwRasterTest, CountsMipLevelsOnlyForMipmappedFormats ) {
	struct Case {
		s32		width;
		s32		height;
		s32		flags;
		bool	refuse;
		s32		levels;
		u32		deviceCalls;
	};
	const Case cases[] = {
		{ 64, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888, false, 1, 0 },
		{ 64, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 | rwRASTERFORMATMIPMAP, false, 7, 1 },
		{ 1, 1, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 | rwRASTERFORMATMIPMAP, false, 1, 1 },
		{ 64, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 | rwRASTERFORMATMIPMAP, true, -1, 1 },
	};
	for ( const Case& c : cases ) {
		RwRaster* const raster = RwRasterCreate( c.width, c.height, 32, c.flags );
		ASSERT_NE( raster, nullptr );
		const u32 before = TestDeviceStandardCount( rwSTANDARDRASTERGETMIPLEVELS );
		TestDeviceRefuseStandard( rwSTANDARDRASTERGETMIPLEVELS, c.refuse );
		EXPECT_EQ( RwRasterGetNumLevels( raster ), c.levels ) << c.width << " " << c.flags;
		EXPECT_EQ( TestDeviceStandardCount( rwSTANDARDRASTERGETMIPLEVELS ) - before, c.deviceCalls );
		TestDeviceRefuseStandard( rwSTANDARDRASTERGETMIPLEVELS, false );
		RwRasterDestroy( raster );
	}
}

TEST_F( RwRasterTest, UnlockingThePaletteClearsItsLockBits ) {
	RwRaster* const raster = RwRasterCreate( 4, 4, 4, rwRASTERTYPETEXTURE | rwRASTERFORMATPAL4 | rwRASTERFORMAT8888 );
	ASSERT_NE( raster, nullptr );
	ASSERT_NE( RwRasterLockPalette( raster, rwRASTERLOCKREADWRITE ), nullptr );
	EXPECT_EQ( raster->privateFlags & 0x18, 0x18 );
	raster->privateFlags |= rwRASTERGAMMACORRECTED;
	RwRasterUnlockPalette( raster );
	EXPECT_EQ( raster->privateFlags, rwRASTERGAMMACORRECTED );
	RwRasterDestroy( raster );
}

TEST_F( RwRasterTest, RefusedCreationGivesNullAndFailsOnUnknownTypes ) {
	TestDeviceRefuseStandard( rwSTANDARDRASTERCREATE, true );
	EXPECT_EQ( RwRasterCreate( 4, 4, 32, CAMERA_FLAGS ), nullptr );
	TestDeviceRefuseStandard( rwSTANDARDRASTERCREATE, false );
	EXPECT_EQ( RwRasterCreate( 4, 4, 32, 3 ), nullptr );
	EXPECT_EQ( RwRasterCreate( 4, 4, 32, 6 ), nullptr );
}

// Plug-ins registered before the engine opens, counting their calls.
struct RasterPluginCounts {
	static inline u32 constructed = 0;
	static inline u32 destructed = 0;
	static void* Construct( void* object, s32, s32 ) {
		constructed++;
		return object;
	}
	static void* Destruct( void* object, s32, s32 ) {
		destructed++;
		return object;
	}
};

class RwRasterPluginTest : public RwTestCase {};

TEST_F( RwRasterPluginTest, RunsPluginConstructorsOnlyForRastersTheDeviceMade ) {
	RasterPluginCounts::constructed = 0;
	RasterPluginCounts::destructed = 0;
	ASSERT_TRUE( RwEngineInit( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
	ASSERT_GE( RwRasterRegisterPlugin( 4, 0x7F01, RasterPluginCounts::Construct, RasterPluginCounts::Destruct, nullptr ), 0 );
	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) && RwEngineStart() );
	TestDeviceRefuseStandard( rwSTANDARDRASTERCREATE, true );
	EXPECT_EQ( RwRasterCreate( 4, 4, 32, CAMERA_FLAGS ), nullptr );
	EXPECT_EQ( RasterPluginCounts::constructed, 0u );
	TestDeviceRefuseStandard( rwSTANDARDRASTERCREATE, false );
	RwRaster* const raster = RwRasterCreate( 4, 4, 32, CAMERA_FLAGS );
	ASSERT_NE( raster, nullptr );
	EXPECT_EQ( RasterPluginCounts::constructed, 1u );
	RwRasterDestroy( raster );
	EXPECT_EQ( RasterPluginCounts::destructed, 1u );
}

class RwRasterArenaTest : public RwTestCase {};

TEST_F( RwRasterArenaTest, ShowingARasterAgesTheArenaEvenWhenTheDeviceRefuses ) {
	ASSERT_TRUE( RwTestBringUp( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, 0x10000 ) );
	RwRaster* const raster = RwRasterCreate( 4, 4, 32, CAMERA_FLAGS );
	ASSERT_NE( raster, nullptr );
	RwResourcesGlobals* const resources = RwPluginData<RwResourcesGlobals>( RwEngineInstance, resourcesModule.globalsOffset );
	for ( const bool refuse : { false, true } ) {
		RwResEntry* const entry = RwResourcesAllocateResEntry( nullptr, nullptr, 64, nullptr );
		ASSERT_NE( entry, nullptr );
		EXPECT_EQ( rwLinkListGetFirst( resources->currentFrame ), &entry->link );
		TestDeviceRefuseStandard( rwSTANDARDRASTERSHOWRASTER, refuse );
		EXPECT_EQ( RwRasterShowRaster( raster, nullptr, 0 ) == nullptr, refuse );
		EXPECT_TRUE( rwLinkListEmpty( resources->currentFrame ) );
		EXPECT_EQ( rwLinkListGetFirst( resources->earlierFrames ), &entry->link );
	}
	TestDeviceRefuseStandard( rwSTANDARDRASTERSHOWRASTER, false );
	EXPECT_EQ( TestDeviceStandardCount( rwSTANDARDRASTERSHOWRASTER ), 2u );
	RwRasterDestroy( raster );
}

}	// namespace
