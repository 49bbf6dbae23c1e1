#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/core/RwTextureRead.h"
#include "graphics3d/testdevice/TestDeviceRasters.h"
#include "graphics3d/testdevice/TestDeviceTextures.h"
#include "RwTestChunks.h"

#include <cstring>
#include <string>

namespace {

class RwTextureTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		ASSERT_TRUE( RwTestBringUp( &rwTestCountingMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		RwTestReadError();
	}
	static RwTexture* Named( const char* name ) {
		RwTexture* const texture = RwTextureCreate( nullptr );
		EXPECT_NE( texture, nullptr );
		RwTextureSetName( texture, name );
		return texture;
	}
	static s64 Outstanding() {
		return static_cast<s64>( RwTestCountingMemory::mallocCalls ) - static_cast<s64>( RwTestCountingMemory::freeCalls );
	}
};

TEST_F( RwTextureTest, ANewTextureHasOneReferenceDefaultModesAndNoDictionary ) {
	RwRaster* const raster = RwRasterCreate( 4, 4, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 );
	RwTexture* const texture = RwTextureCreate( raster );
	ASSERT_NE( texture, nullptr );
	EXPECT_EQ( texture->raster, raster );
	EXPECT_EQ( texture->refCount, 1 );
	EXPECT_EQ( texture->filterAddressing, 0x1101u );
	EXPECT_EQ( texture->dict, nullptr );
	EXPECT_STREQ( texture->name, "" );
	EXPECT_STREQ( texture->mask, "" );
	EXPECT_EQ( TestDeviceTextureExtensionOf( texture )->state, TEST_DEVICE_TEXTURE_SET_UP );
	// The last reference takes the raster with it.
	const u32 destroyed = TestDeviceStandardCount( 5 );
	EXPECT_TRUE( RwTextureDestroy( texture ) );
	EXPECT_EQ( TestDeviceStandardCount( 5 ), destroyed + 1 );
}

TEST_F( RwTextureTest, CutsNamesOfThirtyTwoCharsOrMoreToThirtyOne ) {
	struct Case {
		size_t	length;
		bool	cut;
	};
	const Case cases[] = { { 0, false }, { 31, false }, { 32, true }, { 40, true } };
	RwTexture* const texture = RwTextureCreate( nullptr );
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.length );
		std::string name;
		for ( size_t i = 0; i < c.length; i++ ) {
			name += static_cast<char>( 'a' + i % 26 );
		}
		const std::string kept = name.substr( 0, c.cut ? 31 : c.length );
		EXPECT_EQ( RwTextureSetName( texture, name.c_str() ), texture );
		EXPECT_EQ( std::string( texture->name ), kept );
		EXPECT_EQ( RwTestReadError().errorCode, c.cut ? 0x8000001Eu : RWERR_NONE );
		EXPECT_EQ( RwTextureSetMaskName( texture, name.c_str() ), texture );
		EXPECT_EQ( std::string( texture->mask ), kept );
		EXPECT_EQ( RwTestReadError().errorCode, c.cut ? 0x8000001Eu : RWERR_NONE );
	}
	RwTextureDestroy( texture );
}

TEST_F( RwTextureTest, SetsRastersThroughTheDeviceAndClearsWithNull ) {
	RwTexture* const texture = RwTextureCreate( nullptr );
	RwRaster* const raster = RwRasterCreate( 2, 2, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 );
	TestDeviceTextureExtensionOf( texture )->state = 0;
	EXPECT_EQ( RwTextureSetRaster( texture, raster ), texture );
	EXPECT_EQ( texture->raster, raster );
	EXPECT_EQ( TestDeviceTextureExtensionOf( texture )->state, TEST_DEVICE_TEXTURE_SET_UP );
	EXPECT_EQ( TestDeviceStandardCount( RWSTANDARD_TEXTURE_SET_RASTER ), 1u );

	EXPECT_EQ( RwTextureSetRaster( texture, nullptr ), texture );
	EXPECT_EQ( texture->raster, nullptr );
	EXPECT_EQ( TestDeviceStandardCount( RWSTANDARD_TEXTURE_SET_RASTER ), 1u );

	TestDeviceRefuseStandard( RWSTANDARD_TEXTURE_SET_RASTER, true );
	EXPECT_EQ( RwTextureSetRaster( texture, raster ), nullptr );
	RwRasterDestroy( raster );
	RwTextureDestroy( texture );
}

TEST_F( RwTextureTest, FindsNamesWithLettersFoldedToUpperCase ) {
	RwTexDictionary* const dict = RwTexDictionaryCreate();
	RwTexture* const grass = RwTexDictionaryAddTexture( dict, Named( "Grass" ) );
	RwTexDictionaryAddTexture( dict, Named( "w_1[" ) );
	struct Case {
		const char*	name;
		bool		found;
	};
	const Case cases[] = { { "Grass", true },  { "GRASS", true }, { "grass", true }, { "Grass2", false },
						   { "Gras", false },  { "", false },	  { "W_1[", true },	 { "w_1{", false } };
	for ( const Case& c : cases ) {
		RwTexture* const found = RwTexDictionaryFindNamedTexture( dict, c.name );
		EXPECT_EQ( found != nullptr, c.found ) << c.name;
		if ( c.found && std::string( c.name ).starts_with( "G" ) ) {
			EXPECT_EQ( found, grass );
		}
	}
	EXPECT_EQ( grass->refCount, 1 );
	RwTexDictionaryDestroy( dict );
}

TEST_F( RwTextureTest, FindsTheMostRecentlyAddedOfTwoSameNamedTextures ) {
	RwTexDictionary* const dict = RwTexDictionaryCreate();
	RwTexture* const a = RwTexDictionaryAddTexture( dict, Named( "shared" ) );
	RwTexture* const b = RwTexDictionaryAddTexture( dict, Named( "SHARED" ) );
	EXPECT_EQ( RwTexDictionaryFindNamedTexture( dict, "shared" ), b );
	// Adding A again moves it to the head.
	RwTexDictionaryAddTexture( dict, a );
	EXPECT_EQ( RwTexDictionaryFindNamedTexture( dict, "shared" ), a );
	EXPECT_EQ( a->refCount, 1 );
	RwTexDictionaryDestroy( dict );
}

TEST_F( RwTextureTest, MovesATextureBetweenDictionaries ) {
	RwTexDictionary* const first = RwTexDictionaryCreate();
	RwTexDictionary* const second = RwTexDictionaryCreate();
	RwTexture* const texture = RwTexDictionaryAddTexture( first, Named( "moved" ) );
	RwTexDictionaryAddTexture( second, texture );
	EXPECT_EQ( texture->dict, second );
	EXPECT_EQ( RwTexDictionaryFindNamedTexture( first, "moved" ), nullptr );
	EXPECT_EQ( RwTexDictionaryFindNamedTexture( second, "moved" ), texture );
	RwTexDictionaryDestroy( first );
	RwTexDictionaryDestroy( second );
}

TEST_F( RwTextureTest, ATextureHeldElsewhereSurvivesItsDictionaryAndMayJoinAnother ) {
	const s64 before = Outstanding();
	RwTexDictionary* const dict = RwTexDictionaryCreate();
	RwTexture* const held = RwTexDictionaryAddTexture( dict, Named( "held" ) );
	RwTexDictionaryAddTexture( dict, Named( "only" ) );
	held->refCount++;
	EXPECT_TRUE( RwTexDictionaryDestroy( dict ) );
	EXPECT_EQ( held->refCount, 1 );
	EXPECT_EQ( held->dict, nullptr );
	EXPECT_EQ( held->lInDictionary.next, nullptr );

	RwTexDictionary* const next = RwTexDictionaryCreate();
	RwTexDictionaryAddTexture( next, held );
	EXPECT_EQ( RwTexDictionaryFindNamedTexture( next, "held" ), held );
	RwTextureDestroy( held );
	EXPECT_EQ( RwTexDictionaryFindNamedTexture( next, "held" ), nullptr );
	RwTexDictionaryDestroy( next );
	EXPECT_EQ( Outstanding(), before );
}

TEST_F( RwTextureTest, DestroyingTheCurrentDictionaryLeavesNoneCurrent ) {
	RwTexDictionary* const opened = RwTexDictionaryGetCurrent();
	ASSERT_NE( opened, nullptr );
	RwTexDictionary* const other = RwTexDictionaryCreate();
	RwTexDictionaryDestroy( other );
	EXPECT_EQ( RwTexDictionaryGetCurrent(), opened );
	RwTexDictionaryDestroy( opened );
	EXPECT_EQ( RwTexDictionaryGetCurrent(), nullptr );
	// The module's close must not touch the dictionary it made.
	RwTexDictionary* const reused = RwTexDictionaryCreate();
	RwTexDictionarySetCurrent( reused );
	EXPECT_EQ( RwTexDictionaryGetCurrent(), reused );
	RwTexDictionaryDestroy( reused );
}

TEST_F( RwTextureTest, VisitsEveryTextureEvenWhenTheCallbackDestroysIt ) {
	RwTexDictionary* const dict = RwTexDictionaryCreate();
	for ( const char* name : { "a", "b", "c", "d" } ) {
		RwTexDictionaryAddTexture( dict, Named( name ) );
	}
	struct Visit {
		std::string	names;
		char		stopAt;
	};
	Visit stopping = { "", 'b' };
	RwTexDictionaryForAllTextures(
		dict,
		[]( RwTexture* texture, void* data ) -> RwTexture* {
			Visit* const visit = static_cast<Visit*>( data );
			visit->names += texture->name;
			return texture->name[0] == visit->stopAt ? nullptr : texture;
		},
		&stopping );
	EXPECT_EQ( stopping.names, "dcb" );

	Visit destroying = { "", 0 };
	EXPECT_EQ( RwTexDictionaryForAllTextures(
				   dict,
				   []( RwTexture* texture, void* data ) -> RwTexture* {
					   static_cast<Visit*>( data )->names += texture->name;
					   RwTextureDestroy( texture );
					   return texture;
				   },
				   &destroying ),
			   dict );
	EXPECT_EQ( destroying.names, "dcba" );
	EXPECT_TRUE( rwLinkListEmpty( &dict->texturesInDict ) );
	RwTexDictionaryDestroy( dict );
}

TEST_F( RwTextureTest, RunsPlugInDestructorsWhileTheLastReferenceIsHeld ) {
	RwTestShutDown();
	static s32 seenCount;
	static s32 constructed;
	seenCount = -1;
	constructed = 0;
	ASSERT_TRUE( RwEngineInit( &rwTestCountingMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
	const s32 offset = RwTextureRegisterPlugin(
		4, 0xF0F0,
		[]( void* object, s32, s32 ) -> void* {
			constructed++;
			return object;
		},
		[]( void* object, s32, s32 ) -> void* {
			seenCount = static_cast<RwTexture*>( object )->refCount;
			return object;
		},
		nullptr );
	ASSERT_GE( offset, static_cast<s32>( sizeof( RwTexture ) ) );
	EXPECT_EQ( RwTextureGetPluginOffset( 0xF0F0 ), offset );
	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) && RwEngineStart() );
	RwTexture* const texture = RwTextureCreate( nullptr );
	texture->refCount = 2;
	RwTextureDestroy( texture );
	EXPECT_EQ( seenCount, -1 );
	RwTextureDestroy( texture );
	EXPECT_EQ( seenCount, 1 );
	EXPECT_EQ( constructed, 1 );
}

TEST_F( RwTextureTest, OpensWithBothSwitchesOffAndTheDefaultCallbacks ) {
	EXPECT_FALSE( RwTextureGetMipmapping() );
	EXPECT_FALSE( RwTextureGetAutoMipmapping() );
	EXPECT_TRUE( RwTextureSetMipmapping( true ) );
	EXPECT_TRUE( RwTextureSetAutoMipmapping( true ) );
	EXPECT_TRUE( RwTextureGetMipmapping() );
	EXPECT_TRUE( RwTextureGetAutoMipmapping() );
	const RwTextureGlobals* const globals = _rwTextureGlobals();
	EXPECT_EQ( globals->textureReadFunc, TextureDefaultRead );
	EXPECT_EQ( globals->mipmapNameFunc, TextureDefaultMipmapName );
	EXPECT_NE( globals->mipmapGenerationFunc, nullptr );
}

TEST_F( RwTextureTest, NamesMipLevelFilesWithAHexadecimalDigit ) {
	struct Case {
		const char*	name;
		const char*	mask;
		u8			level;
		const char*	levelName;
		const char*	levelMask;
	};
	const Case cases[] = {
		{ "wall", "", 0, "wall", "" },		{ "wall", "", 3, "wallm3", "" },	 { "wall", "", 12, "wallmc", "" },
		{ "wall", "", 15, "wallmf", "" },	{ "wall", "", 16, "wall", "" },		 { "wall", "wallA", 1, "wallm1", "wallAm1" },
		{ "wall", "", 255, "wall", "" },
	};
	for ( const Case& c : cases ) {
		char name[RWTEXTURE_FILENAME_BYTES];
		char mask[RWTEXTURE_FILENAME_BYTES];
		std::strcpy( name, c.name );
		std::strcpy( mask, c.mask );
		EXPECT_TRUE( RwTextureGenerateMipmapName( name, mask, c.level, 0 ) ) << +c.level;
		EXPECT_STREQ( name, c.levelName );
		EXPECT_STREQ( mask, c.levelMask );
	}
	// A suffix that does not fit is refused, the names untouched.
	char full[RWTEXTURE_FILENAME_BYTES];
	char mask[RWTEXTURE_FILENAME_BYTES] = "";
	std::memset( full, 'n', sizeof( full ) - 2 );
	full[sizeof( full ) - 2] = '\0';
	EXPECT_FALSE( RwTextureGenerateMipmapName( full, mask, 1, 0 ) );
	EXPECT_EQ( std::strlen( full ), sizeof( full ) - 2 );
	EXPECT_EQ( RwTestReadError().errorCode, 0x8000001Eu );
}

}	// namespace
