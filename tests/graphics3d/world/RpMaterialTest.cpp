#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/world/RpMaterialList.h"
#include "support/TestHexBytes.h"
#include "tools/lib/graphics3d/ToolMaterialWriter.h"
#include "RpWorldTestSupport.h"

#include <cstring>

namespace {

// Plug-in of materials with a stream entry: one word read from it.
constexpr u32 WORD_PLUGIN = 0xF0F2;
s32 wordPluginOffset = 0;

void* ClearWord( void* object, const s32 offset, s32 ) {
	*RwPluginData<u32>( object, offset ) = 0;
	return object;
}

RwStream* ReadWord( RwStream* stream, s32 length, void* object, const s32 offset, s32 ) {
	if ( length != 4 || RwStreamRead( stream, RwPluginData<u32>( object, offset ), 4 ) != 4 ) {
		return nullptr;
	}
	return stream;
}

RwTexture* FindNothing( const char*, const char* ) {
	return nullptr;
}

class RpMaterialTest : public RpWorldTestCase {
protected:
	void RegisterPlugins() override {
		wordPluginOffset = RpMaterialRegisterPlugin( 4, WORD_PLUGIN, ClearWord, nullptr, nullptr );
		ASSERT_GE( _rwPluginRegistryAddPluginStream( &materialTKList, WORD_PLUGIN, ReadWord, nullptr, nullptr ), 0 );
	}

	void SetUp() override {
		RpWorldTestCase::SetUp();
		// Names not in the dictionary are not found anywhere else.
		_rwTextureGlobals()->textureReadFunc = FindNothing;
		dictionary = RwTexDictionaryCreate();
		brick = RwTextureCreate( RwRasterCreate( 2, 2, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 ) );
		RwTextureSetName( brick, "brick" );
		RwTexDictionaryAddTexture( dictionary, brick );
		RwTexDictionarySetCurrent( dictionary );
	}

	void TearDown() override {
		EXPECT_EQ( RpTestAlive::materials, 0 );
		RwTexDictionaryDestroy( dictionary );
		RpWorldTestCase::TearDown();
	}

	RpMaterial* ReadMaterial( const ToolMaterial& material ) {
		return RpMaterialStreamRead(
			OpenAt( RpTestBytes( [&]( ToolChunkWriter& w ) { ToolMaterialWriter::WriteMaterial( w, material ); } ),
					rwID_MATERIAL ) );
	}

	RpMaterialList* ReadList( const ToolMaterialList& source, RpMaterialList* list ) {
		_rpMaterialListInitialize( list );
		return _rpMaterialListStreamRead(
			OpenAt( RpTestBytes( [&]( ToolChunkWriter& w ) { ToolMaterialWriter::WriteList( w, source ); } ), rwID_MATLIST ),
			list );
	}

	RwTexDictionary*	dictionary = nullptr;
	RwTexture*			brick = nullptr;
};

ToolMaterial Textured( const char* name, const u32 stamp = 0 ) {
	ToolMaterial material;
	material.texture = ToolTexture{ 0x1102, name, "", stamp };
	return material;
}

TEST_F( RpMaterialTest, ReadsAPinnedMaterialChunkByteForByte ) {
	// Colour 10 20 30 40, untextured, surface 0.5 0.25 1.0, empty extension.
	const std::vector<u8> bytes = HexBytes(
		"07000000 34000000 FFFF0310"
		"01000000 1C000000 FFFF0310"
		"00000000 0A141E28 00000000 00000000 0000003F 0000803E 0000803F"
		"03000000 00000000 FFFF0310" );
	ToolMaterial source;
	std::memcpy( source.color, "\x0A\x14\x1E\x28", 4 );
	source.ambient = 0.5f;
	source.specular = 0.25f;
	EXPECT_EQ( bytes, RpTestBytes( [&]( ToolChunkWriter& w ) { ToolMaterialWriter::WriteMaterial( w, source ); } ) );
	RpMaterial* const material = RpMaterialStreamRead( OpenAt( bytes, rwID_MATERIAL ) );
	ASSERT_NE( material, nullptr );
	EXPECT_EQ( material->color.red, 10 );
	EXPECT_EQ( material->color.green, 20 );
	EXPECT_EQ( material->color.blue, 30 );
	EXPECT_EQ( material->color.alpha, 40 );
	EXPECT_EQ( material->surfaceProps.ambient, 0.5f );
	EXPECT_EQ( material->surfaceProps.specular, 0.25f );
	EXPECT_EQ( material->surfaceProps.diffuse, 1.0f );
	EXPECT_EQ( material->texture, nullptr );
	EXPECT_EQ( material->refCount, 1 );
	RpMaterialDestroy( material );
}

TEST_F( RpMaterialTest, ReadsStructsOfAnyLengthAndTheirTextures ) {
	struct Case {
		const char*		name;
		u32				structBytes;
		const char*		textureName;	// null: untextured
		bool			textured;		// the material holds the dictionary's texture
		f32				ambient;		// as read
		u32				word;			// the plug-in's entry, 0 for none
	};
	const Case cases[] = {
		{ "full struct, dictionary texture", 28, "brick", true, 0.75f, 0 },
		{ "16-byte struct reads zero surfaces", 16, nullptr, false, 0.0f, 0 },
		{ "unknown name leaves it untextured", 28, "nowhere", false, 0.75f, 0 },
		{ "32-byte struct before texture and extension", 32, "brick", true, 0.75f, 0xCAFE },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		ToolMaterial source = c.textureName != nullptr ? Textured( c.textureName ) : ToolMaterial{};
		source.structBytes = c.structBytes;
		source.ambient = 0.75f;
		if ( c.word != 0 ) {
			source.extension.push_back( { WORD_PLUGIN, { 0xFE, 0xCA, 0x00, 0x00 } } );
		}
		const s32 before = brick->refCount;
		RpMaterial* const material = ReadMaterial( source );
		ASSERT_NE( material, nullptr );
		EXPECT_EQ( material->texture, c.textured ? brick : nullptr );
		EXPECT_EQ( brick->refCount, before + ( c.textured ? 1 : 0 ) );
		EXPECT_EQ( material->surfaceProps.ambient, c.ambient );
		EXPECT_EQ( *RwPluginData<u32>( material, wordPluginOffset ), c.word );
		RpMaterialDestroy( material );
		EXPECT_EQ( brick->refCount, before );
	}
}

TEST_F( RpMaterialTest, ATextureChunkOfABadVersionOrNoneAtAllDestroysTheMaterial ) {
	ToolMaterial badVersion = Textured( "brick", ToolChunkWriter::EncodeStamp( 0x34004, 0xFFFF ) );
	EXPECT_EQ( ReadMaterial( badVersion ), nullptr );
	const RwError error = RwTestReadError();
	EXPECT_EQ( error.pluginID, 0u );
	EXPECT_EQ( error.errorCode, 0x80000004u );
	EXPECT_EQ( brick->refCount, 1 );

	// Textured word set, but the extension follows directly.
	ToolMaterial missing;
	missing.extension.clear();
	std::vector<u8> bytes = RpTestBytes( [&]( ToolChunkWriter& w ) { ToolMaterialWriter::WriteMaterial( w, missing ); } );
	bytes[12 + 12 + 12] = 1;
	EXPECT_EQ( RpMaterialStreamRead( OpenAt( bytes, rwID_MATERIAL ) ), nullptr );
	EXPECT_EQ( RpTestAlive::materials, 0 );
}

TEST_F( RpMaterialTest, ReferencesKeepTheMaterialAndItsTextureAlive ) {
	RpMaterial* const material = RpMaterialCreate();
	ASSERT_NE( material, nullptr );
	RpMaterialSetTexture( material, brick );
	RpMaterialSetTexture( material, brick );
	EXPECT_EQ( brick->refCount, 2 );
	material->refCount++;
	EXPECT_TRUE( RpMaterialDestroy( material ) );
	EXPECT_EQ( material->refCount, 1 );
	EXPECT_EQ( material->texture, brick );
	EXPECT_EQ( RpTestAlive::materials, 1 );
	EXPECT_TRUE( RpMaterialDestroy( material ) );
	EXPECT_EQ( brick->refCount, 1 );
}

TEST_F( RpMaterialTest, DefaultSurfacePropertiesAreSetAndReset ) {
	const RwSurfaceProperties old = { 0.2f, 0.3f, 0.4f };
	_rpMaterialSetDefaultSurfaceProperties( &old );
	RpMaterial* const a = RpMaterialCreate();
	_rpMaterialSetDefaultSurfaceProperties( nullptr );
	RpMaterial* const b = RpMaterialCreate();
	EXPECT_EQ( a->surfaceProps.specular, 0.3f );
	EXPECT_EQ( b->surfaceProps.specular, 1.0f );
	RpMaterialDestroy( a );
	RpMaterialDestroy( b );
}

TEST_F( RpMaterialTest, ListEntriesReuseEarlierMaterialsWithAReferenceEach ) {
	ToolMaterialList source;
	source.indices = { -1, -1, 0 };
	source.materials = { Textured( "brick" ), ToolMaterial{} };
	RpMaterialList list;
	ASSERT_EQ( ReadList( source, &list ), &list );
	ASSERT_EQ( list.numMaterials, 3 );
	EXPECT_EQ( list.space, 3 );
	EXPECT_EQ( list.materials[0], list.materials[2] );
	EXPECT_EQ( list.materials[0]->refCount, 2 );
	EXPECT_EQ( list.materials[1]->refCount, 1 );
	EXPECT_EQ( RpTestAlive::materials, 2 );
	EXPECT_EQ( _rpMaterialListFindMaterialIndex( &list, list.materials[0] ), 2 );
	EXPECT_EQ( _rpMaterialListFindMaterialIndex( &list, nullptr ), -1 );

	// Appending past the space grows by 20 entries.
	EXPECT_EQ( _rpMaterialListAppendMaterial( &list, list.materials[1] ), 3 );
	EXPECT_EQ( list.space, 23 );
	EXPECT_EQ( list.materials[1]->refCount, 2 );
	_rpMaterialListDeinitialize( &list );
	EXPECT_EQ( list.materials, nullptr );
	EXPECT_EQ( list.numMaterials, 0 );
	EXPECT_EQ( RpTestAlive::materials, 0 );
	EXPECT_EQ( brick->refCount, 1 );

	ToolMaterialList empty;
	ASSERT_EQ( ReadList( empty, &list ), &list );
	EXPECT_EQ( list.materials, nullptr );
}

TEST_F( RpMaterialTest, AMalformedListFailsAndLeavesNothingAllocated ) {
	struct Case {
		const char*			name;
		ToolMaterialList	list;
		u32					pluginID;
		u32					errorCode;
	};
	ToolMaterialList hugeCount;
	hugeCount.indices = { 0 };
	hugeCount.storedCount = 1000000;
	ToolMaterialList negativeCount;
	negativeCount.storedCount = -2;
	ToolMaterialList forward;
	forward.indices = { 0 };
	ToolMaterialList outOfRange;
	outOfRange.indices = { -1, 5 };
	outOfRange.materials = { Textured( "brick" ) };
	ToolMaterialList badTexture;
	badTexture.indices = { -1, -1, 0 };
	badTexture.materials = { Textured( "brick" ), Textured( "brick", ToolChunkWriter::EncodeStamp( 0x34004, 0xFFFF ) ) };
	ToolMaterialList missingMaterial;
	missingMaterial.indices = { -1, -1 };
	missingMaterial.materials = { Textured( "brick" ) };
	const Case cases[] = {
		{ "count of 1,000,000 in an 8-byte struct", hugeCount, 0, 0x8000001A },
		{ "negative count", negativeCount, 0, 0x8000001A },
		{ "index naming no earlier entry", forward, 0, 0x8000001A },
		{ "index past the entries read", outOfRange, 0, 0x8000001A },
		{ "texture chunk of a bad version mid-list", badTexture, 0, 0x80000004 },
		{ "material chunk missing: the stream ends", missingMaterial, 1, 5 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RpMaterialList list;
		EXPECT_EQ( ReadList( c.list, &list ), nullptr );
		EXPECT_EQ( list.materials, nullptr );
		EXPECT_EQ( list.numMaterials, 0 );
		EXPECT_EQ( list.space, 0 );
		EXPECT_EQ( RpTestAlive::materials, 0 );
		EXPECT_EQ( brick->refCount, 1 );
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.pluginID, c.pluginID );
		EXPECT_EQ( error.errorCode, c.errorCode );
	}
}

}	// namespace

namespace {

// A struct chunk whose stored length promises a billion indices in a
// stream of a few bytes: refused before anything is allocated.
TEST_F( RpMaterialTest, AListLongerThanTheStreamIsRefusedBeforeAllocating ) {
	ToolMaterialList list;
	list.indices = { 0 };
	const s32 count = 0x3FFFFFF0;
	list.storedCount = count;
	std::vector<u8> bytes = RpTestBytes( [&]( ToolChunkWriter& w ) { ToolMaterialWriter::WriteList( w, list ); } );
	const u32 claimed = 4 + 4 * static_cast<u32>( count );
	// The list chunk's header, then the struct's type and length.
	std::memcpy( &bytes[TOOL_CHUNK_HEADER_SIZE + 4], &claimed, sizeof( claimed ) );
	RpMaterialList out;
	_rpMaterialListInitialize( &out );
	EXPECT_EQ( _rpMaterialListStreamRead( OpenAt( bytes, rwID_MATLIST ), &out ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, 0x8000001Au );
	EXPECT_EQ( out.materials, nullptr );
}

}	// namespace
