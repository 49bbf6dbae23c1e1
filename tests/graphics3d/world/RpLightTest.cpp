#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/world/RpWorld.h"
#include "support/TestHexBytes.h"
#include "tools/lib/graphics3d/ToolLightWriter.h"
#include "RpWorldTestSupport.h"

#include <cmath>

namespace {

class RpLightTest : public RpWorldTestCase {
protected:
	void TearDown() override {
		EXPECT_EQ( RpTestAlive::lights, 0 );
		RpWorldTestCase::TearDown();
	}

	RpLight* Read( const ToolLight& light ) {
		return RpLightStreamRead(
			OpenAt( RpTestBytes( [&]( ToolChunkWriter& w ) { ToolLightWriter::Write( w, light ); } ), rwID_LIGHT ) );
	}
};

TEST_F( RpLightTest, ReadsAPinnedLightChunkByteForByte ) {
	// Radius 2, colour 0.5 0.5 0.5, cone -0.5, spot light (0x81), flags 1.
	const std::vector<u8> bytes = HexBytes(
		"12000000 30000000 FFFF0310"
		"01000000 18000000 FFFF0310"
		"00000040 0000003F 0000003F 0000003F 000000BF 01008100"
		"03000000 00000000 FFFF0310" );
	const ToolLight source = { 2.0f, 0.5f, 0.5f, 0.5f, -0.5f, 0x81, 1 };
	EXPECT_EQ( bytes, RpTestBytes( [&]( ToolChunkWriter& w ) { ToolLightWriter::Write( w, source ); } ) );
	RpLight* const light = RpLightStreamRead( OpenAt( bytes, rwID_LIGHT ) );
	ASSERT_NE( light, nullptr );
	EXPECT_EQ( light->object.object.type, rpLIGHT );
	EXPECT_EQ( light->object.object.subType, rpLIGHTSPOT );
	EXPECT_EQ( light->object.object.flags, 1 );
	EXPECT_EQ( light->object.object.privateFlags, rpLIGHTPRIVATENOCHROMA );
	EXPECT_EQ( light->radius, 2.0f );
	EXPECT_EQ( light->color.green, 0.5f );
	EXPECT_EQ( light->color.alpha, 1.0f );
	EXPECT_EQ( light->minusCosAngle, -0.5f );
	EXPECT_NEAR( RpLightGetConeAngle( light ), std::acos( 0.5f ), 1e-6f );
	RpLightDestroy( light );
}

TEST_F( RpLightTest, ReadsStructsOfAnyLength ) {
	struct Case {
		const char*		name;
		u32				structBytes;
		f32				cone;			// as read
		u8				subType;
		u8				flags;
		bool			read;
	};
	const Case cases[] = {
		{ "full struct", 24, -0.25f, 0x80, 3, true },
		{ "16 bytes: cone, type and flags zero", 16, 0.0f, 0, 0, true },
		{ "32 bytes: the rest skipped", 32, -0.25f, 0x80, 3, true },
		{ "empty struct", 0, 0.0f, 0, 0, true },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		ToolLight source = { 1.0f, 0.5f, 0.5f, 0.4f, -0.25f, 0x80, 3 };
		source.structBytes = c.structBytes;
		RpLight* const light = Read( source );
		ASSERT_EQ( light != nullptr, c.read );
		EXPECT_EQ( light->minusCosAngle, c.cone );
		EXPECT_EQ( light->object.object.subType, c.subType );
		EXPECT_EQ( light->object.object.flags, c.flags );
		EXPECT_EQ( light->object.object.privateFlags, c.structBytes >= 16 ? 0 : rpLIGHTPRIVATENOCHROMA );
		RpLightDestroy( light );
	}
	// A struct chunk cut short by the end of the stream.
	std::vector<u8> cut = RpTestBytes( [&]( ToolChunkWriter& w ) { ToolLightWriter::Write( w, ToolLight{} ); } );
	cut.resize( 12 + 12 + 10 );
	EXPECT_EQ( RpLightStreamRead( OpenAt( cut, rwID_LIGHT ) ), nullptr );
	EXPECT_EQ( RpTestAlive::lights, 0 );
	RwTestReadError();
	// A struct of a version outside the window.
	ToolLight newer;
	newer.structStamp = ToolChunkWriter::EncodeStamp( 0x34004, 0xFFFF );
	EXPECT_EQ( Read( newer ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, 0x80000004u );
}

TEST_F( RpLightTest, OldChunksStoreTheConeAsATangent ) {
	struct Case {
		f32		stored;
		u32		version;
		f32		negatedCosine;
	};
	const Case cases[] = {
		{ 1.0f, 0x30200, -0.70710678f }, { 0.0f, 0x30200, -1.0f }, { 1.0f, 0x302FF, -0.70710678f },
		{ -0.3f, 0x30300, -0.3f },		 { 0.6f, 0x34003, 0.6f },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.version );
		EXPECT_NEAR( _rpLightConeFromStream( c.stored, c.version ), c.negatedCosine, 1e-6f );
	}
}

TEST_F( RpLightTest, CreationSettersAndTheConeBounds ) {
	RwEngineInstance->lightFrame = 0;
	RpLight* const light = RpLightCreate( rpLIGHTPOINT );
	ASSERT_NE( light, nullptr );
	EXPECT_EQ( light->lightFrame, 0xFFFF );
	EXPECT_EQ( light->object.object.flags, RPLIGHT_DEFAULT_FLAGS );
	EXPECT_EQ( light->minusCosAngle, 1.0f );

	struct ColorCase {
		RwRGBAReal	color;
		u8			privateFlags;
	};
	const ColorCase colors[] = {
		{ { 0.5f, 0.5f, 0.5f, 1.0f }, 1 }, { { 0.5f, 0.5f, 0.4f, 1.0f }, 0 }, { { 0.4f, 0.5f, 0.5f, 0.0f }, 0 } };
	for ( const ColorCase& c : colors ) {
		RpLightSetColor( light, &c.color );
		EXPECT_EQ( light->object.object.privateFlags, c.privateFlags );
	}

	struct ConeCase {
		f32		angle;
		bool	accepted;
	};
	const ConeCase cones[] = { { -0.1f, false }, { 0.0f, true }, { 1.0f, true }, { 89.9999f, true }, { 90.0f, false } };
	for ( const ConeCase& c : cones ) {
		SCOPED_TRACE( c.angle );
		const f32 before = light->minusCosAngle;
		EXPECT_EQ( RpLightSetConeAngle( light, c.angle ) != nullptr, c.accepted );
		EXPECT_EQ( light->minusCosAngle, c.accepted ? -std::cos( c.angle ) : before );
	}
	RpLightSetConeAngle( light, 0.5f );
	EXPECT_NEAR( RpLightGetConeAngle( light ), 0.5f, 1e-6f );

	// The radius marks the frame dirty only when there is one.
	RpLightSetRadius( light, 3.0f );
	EXPECT_EQ( light->radius, 3.0f );
	RwFrame* const frame = RwFrameCreate();
	_rwObjectHasFrameSetFrame( &light->object, frame );
	_rwFrameSyncDirty();
	ASSERT_TRUE( rwLinkListEmpty( &RwEngineInstance->dirtyFrames ) );
	RpLightSetRadius( light, 4.0f );
	EXPECT_FALSE( rwLinkListEmpty( &RwEngineInstance->dirtyFrames ) );
	RpLightDestroy( light );
	RwFrameDestroy( frame );
}

TEST_F( RpLightTest, DestroyingALightTakesItOutOfItsWorld ) {
	const RwBBox box = { { 1.0f, 1.0f, 1.0f }, { -1.0f, -1.0f, -1.0f } };
	RpWorld* const world = RpWorldCreate( &box );
	RpLight* const light = RpLightCreate( rpLIGHTAMBIENT );
	RpWorldAddLight( world, light );
	RpLightDestroy( light );
	EXPECT_TRUE( rwLinkListEmpty( &world->directionalLightList ) );
	RpWorldDestroy( world );
}

// With free lists enabled the module's close destroys what is left.
TEST_F( RwTestCase, ClosingTheLightModuleDestroysEveryLightLeft ) {
	RpTestAlive::lights = 0;
	ASSERT_TRUE( RwEngineInit( &rwTestEngineMemory, 0, 0 ) );
	ASSERT_TRUE( RpWorldPluginAttach() );
	ASSERT_GE( RpLightRegisterPlugin( 4, RP_TEST_COUNTING_PLUGIN, RpTestCountUp<&RpTestAlive::lights>,
									  RpTestCountDown<&RpTestAlive::lights>, nullptr ),
			   0 );
	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
	ASSERT_TRUE( RwEngineStart() );
	for ( s32 i = 0; i < 40; i++ ) {
		ASSERT_NE( RpLightCreate( rpLIGHTDIRECTIONAL ), nullptr );
	}
	EXPECT_EQ( RpTestAlive::lights, 40 );
	ASSERT_TRUE( RwEngineStop() );
	EXPECT_EQ( RpTestAlive::lights, 0 );
	EXPECT_EQ( lightModule.numInstances, 0 );
	// A second close finds nothing to do.
	_rpLightClose( RwEngineInstance, RwEngineGetPluginOffset( rwID_LIGHTMODULE ), 0 );
	EXPECT_EQ( lightModule.numInstances, 0 );
}

}	// namespace
