#include "RwDlTestDriver.h"

#include "datatypes/base/DTByteOrder.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/gamecube/RwDlRenderState.h"
#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/ToolChunkWriter.h"
#include "support/TestHexBytes.h"

#include <vector>

namespace {

typedef std::vector<u8> Bytes;

class RwDlNativeTextureTest : public RwDlTestCase {
protected:
	void SetUp() override {
		RwDlTestCase::SetUp();
		ASSERT_TRUE( BringUp() );
	}

	static bool Size( RwTexture* texture, u32* size ) {
		return RwEngineInstance->standards[25]( size, texture, 0 );
	}

	static Bytes Write( RwTexture* texture, bool* written = nullptr ) {
		RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMWRITE, nullptr );
		const bool ok = RwEngineInstance->standards[27]( stream, texture, 0 );
		if ( written != nullptr ) {
			*written = ok;
		}
		RwMemory memory = { nullptr, 0 };
		RwStreamClose( stream, &memory );
		Bytes bytes( memory.start, memory.start + memory.length );
		std::free( memory.start );
		return bytes;
	}

	static RwTexture* Read( const Bytes& bytes ) {
		RwMemory memory = { const_cast<u8*>( bytes.data() ), static_cast<u32>( bytes.size() ) };
		RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
		RwTexture* texture = nullptr;
		RwEngineInstance->standards[26]( stream, &texture, 0 );
		RwStreamClose( stream, nullptr );
		return texture;
	}

	// A texture on a new raster whose texels and palette hold a pattern.
	static RwTexture* Make( const s32 depth, const u32 flags ) {
		RwRaster* const raster = RwRasterCreate( 16, 8, depth, rwRASTERTYPETEXTURE | static_cast<s32>( flags ) );
		if ( raster == nullptr ) {
			return nullptr;
		}
		RwDlRasterExt* const ext = _rwDlRasterExt( raster );
		const u32 size = _rwDlRasterGetSize( raster );
		for ( u32 i = 0; i < size; i++ ) {
			ext->texels[i] = static_cast<u8>( i * 7 + 1 );
		}
		if ( ext->palette != nullptr ) {
			for ( u32 i = 0; i < ( 2u << raster->depth ); i++ ) {
				ext->palette[i] = static_cast<u8>( 255 - i );
			}
		}
		RwTexture* const texture = RwTextureCreate( raster );
		RwTextureSetName( texture, "stone" );
		RwTextureSetMaskName( texture, "stoneMask" );
		texture->filterAddressing = 0x12306;
		return texture;
	}

	static void Destroy( RwTexture* texture ) {
		if ( texture != nullptr ) {
			RwRaster* const raster = texture->raster;
			RwTextureDestroy( texture );
			RwRasterDestroy( raster );
		}
	}

	// A chunk around a body, stamped as given.
	static Bytes Chunk( const Bytes& body, const u32 stamp ) {
		ToolChunkWriter writer;
		writer.BeginChunkStamped( TOOL_CHUNK_STRUCT, stamp );
		writer.WriteBytes( body );
		writer.EndChunk();
		Bytes out;
		writer.Finish( out );
		return out;
	}

	// A body: record, raster header, palette, count and texels as given.
	static Bytes Body( const u32 platform, const u32 formatType, const u16 width, const u16 height, const u8 depth,
					   const u8 levels, const u32 paletteBytes, const u32 count, const u32 texelBytes ) {
		ToolBigEndianWriter w;
		w.WriteU32( platform );
		w.WriteU32( 0x1102 );
		w.WriteU32( 0 );
		w.WriteU32( 1 );
		w.WriteU32( 1 );
		w.WriteF32( 0.0f );
		w.WriteZeros( 64 );
		w.WriteU32( formatType );
		w.WriteU16( width );
		w.WriteU16( height );
		w.WriteU8( depth );
		w.WriteU8( levels );
		w.WriteU8( GX_TF_RGBA8 );
		w.WriteU8( 255 );
		w.WriteU32( 1 );
		w.WriteZeros( paletteBytes );
		w.WriteU32( count );
		for ( u32 i = 0; i < texelBytes; i++ ) {
			w.WriteU8( static_cast<u8>( 0xA0 + i ) );
		}
		return w.Take();
	}
};

}	// namespace

TEST_F( RwDlNativeTextureTest, WritesAndReadsEveryFormatByteForByte ) {
	const struct {
		const char*	name;
		s32			depth;
		u32			flags;
		u32			paletteBytes;
	} cases[] = {
		{ "I4", 4, 0x0000, 0 },			{ "I8", 8, 0x0000, 0 },			{ "RGB565", 0, 0x0200, 0 },
		{ "RGB5A3", 0, 0x0100, 0 },		{ "RGBA8", 0, 0x0500, 0 },		{ "C4 RGB5A3", 0, 0x4100, 32 },
		{ "C4 RGB565", 0, 0x4200, 32 },	{ "C8 RGB5A3", 0, 0x2100, 512 },	{ "C8 RGB565", 0, 0x2200, 512 },
	};
	for ( const auto& c : cases ) {
		for ( const u32 mipmaps : { 0u, 0x8000u } ) {
			SCOPED_TRACE( ::testing::Message() << c.name << ( mipmaps ? " mipmapped" : "" ) );
			RwTexture* const texture = Make( c.depth, c.flags | mipmaps );
			ASSERT_NE( texture, nullptr );
			u32 size = 0;
			ASSERT_TRUE( Size( texture, &size ) );
			bool written = false;
			const Bytes chunk = Write( texture, &written );
			ASSERT_TRUE( written );
			ASSERT_EQ( chunk.size(), size );
			EXPECT_EQ( size, 116 + c.paletteBytes + 4 + _rwDlRasterGetSize( texture->raster ) );
			// Pinned layout: little-endian header, big-endian body.
			EXPECT_EQ( DTReadLE32( chunk.data() ), 1u );
			EXPECT_EQ( DTReadLE32( chunk.data() + 4 ), size - 12 );
			EXPECT_EQ( DTReadBE32( chunk.data() + 12 ), 6u );
			EXPECT_EQ( DTReadBE32( chunk.data() + 16 ), 0x2306u );
			EXPECT_EQ( std::string( reinterpret_cast<const char*>( chunk.data() + 36 ) ), "stone" );
			EXPECT_EQ( std::string( reinterpret_cast<const char*>( chunk.data() + 68 ) ), "stoneMask" );
			EXPECT_EQ( DTReadBE16( chunk.data() + 104 ), 16 );
			EXPECT_EQ( DTReadBE16( chunk.data() + 106 ), 8 );
			EXPECT_EQ( DTReadBE32( chunk.data() + 116 + c.paletteBytes ), _rwDlRasterGetSize( texture->raster ) );

			RwTexture* const back = Read( chunk );
			ASSERT_NE( back, nullptr );
			EXPECT_EQ( back->filterAddressing, 0x2306u );
			EXPECT_STREQ( back->name, "stone" );
			EXPECT_EQ( back->raster->depth, texture->raster->depth );
			EXPECT_EQ( Write( back ), chunk );
			Destroy( back );
			Destroy( texture );
		}
	}
}

TEST_F( RwDlNativeTextureTest, WritesTheDefaultLodUntilOneIsSet ) {
	RwTexture* const texture = Make( 0, 0x500 );
	const struct {
		bool	set;
		u32		aniso;
		u32		clamp;
		u32		edge;
		f32		bias;
	} cases[] = { { false, 0, 1, 1, 0.0f }, { true, 2, 0, 0, 0.5f } };
	for ( const auto& c : cases ) {
		if ( c.set ) {
			RwGameCubeTextureSetLOD( texture, GX_FALSE, GX_FALSE, 2, 0.5f );
		}
		const Bytes chunk = Write( texture );
		EXPECT_EQ( DTReadBE32( chunk.data() + 20 ), c.aniso );
		EXPECT_EQ( DTReadBE32( chunk.data() + 24 ), c.clamp );
		EXPECT_EQ( DTReadBE32( chunk.data() + 28 ), c.edge );
		EXPECT_EQ( DTReadBEF32( chunk.data() + 32 ), c.bias );
		RwTexture* const back = Read( chunk );
		ASSERT_NE( back, nullptr );
		EXPECT_EQ( GXGetTexObjMaxAniso( &_rwDlTextureExt( back )->textureObject ), c.aniso );
		EXPECT_EQ( GXGetTexObjLODBias( &_rwDlTextureExt( back )->textureObject ), c.bias );
		EXPECT_EQ( _rwDlTextureExt( back )->state & RWDL_TEXTURE_LOD_NOT_SET, 0u );
		Destroy( back );
	}
	// Without a raster: size 100, nothing written.
	RwTexture* const bare = RwTextureCreate( nullptr );
	u32 size = 0;
	EXPECT_TRUE( Size( bare, &size ) );
	EXPECT_EQ( size, 100u );
	bool written = true;
	EXPECT_TRUE( Write( bare, &written ).empty() );
	EXPECT_FALSE( written );
	RwTextureDestroy( bare );
	Destroy( texture );
}

TEST_F( RwDlNativeTextureTest, RefusesBadVersionsPlatformsHeadersCountsAndCutChunks ) {
	const u32 rgba = 0x0500 | rwRASTERTYPETEXTURE;
	const u32 level = 16 * 8 * 4;
	const Bytes good = Body( 6, rgba, 16, 8, 32, 1, 0, level, level );
	const u32 stamp = ToolChunkWriter::EncodeStamp( 0x34003, 0xFFFF );
	const struct {
		const char*	name;
		Bytes		chunk;
		bool		read;
		u32			error;
	} cases[] = {
		{ "good", Chunk( good, stamp ), true, 0 },
		{ "oldest version", Chunk( good, ToolChunkWriter::EncodeStamp( 0x31000, 0xFFFF ) ), true, 0 },
		{ "below oldest", Chunk( good, ToolChunkWriter::EncodeStamp( 0x30FFF, 0xFFFF ) ), false, 0x80000004 },
		{ "above newest", Chunk( good, ToolChunkWriter::EncodeStamp( 0x34004, 0xFFFF ) ), false, 0x80000004 },
		{ "platform 5", Chunk( Body( 5, rgba, 16, 8, 32, 1, 0, level, level ), stamp ), false, 0 },
		{ "platform 7", Chunk( Body( 7, rgba, 16, 8, 32, 1, 0, level, level ), stamp ), false, 0 },
		{ "4-bit palette at depth 8", Chunk( Body( 6, 0x4104, 16, 8, 8, 1, 512, 128, 128 ), stamp ), false, 0 },
		{ "8-bit palette at depth 4", Chunk( Body( 6, 0x2104, 16, 8, 4, 1, 32, 64, 64 ), stamp ), false, 0 },
		{ "both palettes", Chunk( Body( 6, 0x6104, 16, 8, 4, 1, 32, 64, 64 ), stamp ), false, 0 },
		{ "depth 24", Chunk( Body( 6, rgba, 16, 8, 24, 1, 0, level, level ), stamp ), false, 0 },
		{ "33 levels", Chunk( Body( 6, rgba, 16, 8, 32, 33, 0, level, level ), stamp ), false, 0 },
		{ "6 levels for 16 wide", Chunk( Body( 6, rgba, 16, 8, 32, 6, 0, level, level ), stamp ), false, 0 },
		{ "0 levels derived", Chunk( Body( 6, rgba, 16, 8, 32, 0, 0, level, level ), stamp ), true, 0 },
		{ "width 0", Chunk( Body( 6, rgba, 0, 8, 32, 1, 0, 0, 0 ), stamp ), false, 0 },
		{ "height 0", Chunk( Body( 6, rgba, 16, 0, 32, 1, 0, 0, 0 ), stamp ), false, 0 },
		{ "camera type", Chunk( Body( 6, 0x0502, 16, 8, 32, 1, 0, level, level ), stamp ), false, 0 },
		{ "count above the texels", Chunk( Body( 6, rgba, 16, 8, 32, 1, 0, level + 1, level + 1 ), stamp ), false, 0 },
		{ "smaller count", Chunk( Body( 6, rgba, 16, 8, 32, 1, 0, 100, 100 ), stamp ), true, 0 },
		{ "cut in the palette", Chunk( Body( 6, 0x4104, 16, 8, 4, 1, 0, 0, 0 ), stamp ), false, 0 },
		{ "cut in the texels", Chunk( Body( 6, rgba, 16, 8, 32, 1, 0, level, level - 1 ), stamp ), false, 0 },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.name );
		RwDlTestReadError();
		RwTexture* const texture = Read( c.chunk );
		EXPECT_EQ( texture != nullptr, c.read );
		if ( c.error != 0 ) {
			EXPECT_EQ( RwDlTestReadError().errorCode, c.error );
		}
		if ( texture == nullptr ) {
			continue;
		}
		// A smaller count fills its bytes; the rest stays as allocated.
		const u8* const texels = _rwDlRasterExt( texture->raster )->texels;
		EXPECT_EQ( texels[0], 0xA0 );
		EXPECT_EQ( texels[99], static_cast<u8>( 0xA0 + 99 ) );
		Destroy( texture );
	}
}

TEST_F( RwDlNativeTextureTest, MatchesTheHandWrittenLayoutOfASmallTexture ) {
	// A 1 x 1 I4 texture "t", LOD never set, one texel byte 0xAB.
	const Bytes fixture = HexBytes(
		"01000000 8C000000 FFFF0310"
		"00000006 00001101 00000000 00000001 00000001 00000000"
		"74000000000000000000000000000000 00000000000000000000000000000000"
		"00000000000000000000000000000000 00000000000000000000000000000000"
		"00000004 0001 0001 04 01 00 FF 00000000"
		"00000020"
		"AB000000000000000000000000000000 00000000000000000000000000000000" );
	RwRaster* const raster = RwRasterCreate( 1, 1, 4, rwRASTERTYPETEXTURE );
	std::memset( _rwDlRasterExt( raster )->texels, 0, 32 );
	_rwDlRasterExt( raster )->texels[0] = 0xAB;
	RwTexture* const texture = RwTextureCreate( raster );
	RwTextureSetName( texture, "t" );
	EXPECT_EQ( Write( texture ), fixture );
	RwTexture* const back = Read( fixture );
	ASSERT_NE( back, nullptr );
	EXPECT_EQ( back->raster->width, 1 );
	EXPECT_EQ( back->raster->depth, 4 );
	EXPECT_EQ( _rwDlRasterExt( back->raster )->gxFormat, static_cast<u32>( GX_TF_I4 ) );
	EXPECT_EQ( _rwDlRasterExt( back->raster )->texels[0], 0xAB );
	EXPECT_STREQ( back->name, "t" );
	Destroy( back );
	Destroy( texture );
}
