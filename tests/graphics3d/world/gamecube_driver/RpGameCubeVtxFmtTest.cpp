// Vertex formats: strides and sizes, conversions pinned by bytes, and
// instanced geometries and sectors read back through the host graphics
// processor's vertex fetch to the floats they came from.
#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpWorld.h"
#include "graphics3d/world/RpWorldPlugin.h"

#include "RpGameCubeTestCase.h"

#include <cmath>
#include <vector>

namespace {

constexpr u32 POS = 0x02;
constexpr u32 TEX = 0x04;
constexpr u32 PRELIT = 0x08;
constexpr u32 NORMALS = 0x10;

class RpGameCubeVtxFmtTest : public RpGameCubeTestCase {
protected:
	// Draws every vertex of the instance as a point and returns what the
	// vertex fetch decoded.
	static std::vector<GXHostVertex> Fetch( const RpGameCubeVtxFmt* descriptor, const u32 flags,
											const RxGCInstanceHeader& header, const u32 vertices, const u32 sets ) {
		_rwDlVtxFmtSetup( descriptor, flags, &header );
		GXBegin( GX_POINTS, GX_VTXFMT0, static_cast<u16>( vertices ) );
		for ( u32 i = 0; i < vertices; i++ ) {
			GXPosition1x8( static_cast<u8>( i ) );
			if ( flags & NORMALS ) {
				GXNormal1x8( static_cast<u8>( i ) );
			}
			if ( flags & PRELIT ) {
				GXColor1x8( static_cast<u8>( i ) );
			}
			for ( u32 k = 0; k < sets; k++ ) {
				GXTexCoord1x8( static_cast<u8>( i ) );
			}
		}
		GXEnd();
		const GXHostDraw& draw = GXHostCurrentFrame().draws.back();
		return std::vector<GXHostVertex>( draw.vertices.begin(), draw.vertices.end() );
	}
};

TEST_F( RpGameCubeVtxFmtTest, StridesAndSizesFollowTheDescriptor ) {
	RpGameCubeVtxFmt interleaved = _RpDlVtxFmtDefault;
	interleaved.flags |= rpGCVTXFMT_INTERLEAVED;
	RpGameCubeVtxFmt small = _RpDlVtxFmtDefault;
	small.posType = rpGCCOMP_S16;
	small.normType = rpGCCOMP_S8;
	small.threeNormals = 1;
	small.colorType = rpGCCOLOR_RGB565;
	small.texType[1] = rpGCCOMP_U8;
	const u32 flags = POS | NORMALS | PRELIT | TEX;
	const u32 v = 37;
	auto round32 = []( const u32 bytes ) { return ( bytes + 31 ) / 32 * 32; };
	const struct {
		const char*				what;
		const RpGameCubeVtxFmt*	descriptor;
		u8						strides[5];
		u32						size;
	} rows[] = {
		{ "default", nullptr, { 12, 12, 4, 8, 8 },
		  round32( 12 * v ) + round32( 12 * v ) + round32( 4 * v ) + round32( 8 * v ) + round32( 8 * v ) },
		{ "interleaved", &interleaved, { 44, 44, 44, 44, 44 }, round32( 44 * v ) },
		{ "small types, three normals", &small, { 6, 9, 2, 8, 2 },
		  round32( 6 * v ) + round32( 9 * v ) + round32( 2 * v ) + round32( 8 * v ) + round32( 2 * v ) },
	};
	for ( const auto& row : rows ) {
		RxGCInstanceHeader header = {};
		_rpDlVtxFmtGetStride( row.descriptor, &header, 2, flags );
		const u8 strides[5] = { header.posStride, header.normStride, header.colorStride, header.texStride[0],
								header.texStride[1] };
		EXPECT_EQ( std::vector<u8>( strides, strides + 5 ), std::vector<u8>( row.strides, row.strides + 5 ) ) << row.what;
		EXPECT_EQ( header.texStride[2], 0 ) << row.what;
		EXPECT_EQ( _rpDlVtxFmtGetSize( row.descriptor, flags, v, 2 ), row.size ) << row.what;
	}
	// Only present attributes count: positions alone.
	EXPECT_EQ( _rpDlVtxFmtGetSize( nullptr, POS, v, 2 ), round32( 12 * v ) );
}

TEST_F( RpGameCubeVtxFmtTest, ComponentsAndColoursArePackedBitForBit ) {
	const struct {
		f32		value;
		u8		type;
		u8		fraction;
		u8		bytes[2];
	} components[] = {
		{ 1.53f, rpGCCOMP_S16, 4, { 0x00, 0x18 } },		// 24.48 truncated
		{ -1.53f, rpGCCOMP_S16, 4, { 0xFF, 0xE8 } },	// -24
		{ 300.0f, rpGCCOMP_U8, 0, { 0x2C, 0 } },		// low byte, no saturation to the type
		{ -1.0f, rpGCCOMP_S8, 6, { 0xC0, 0 } },
		{ 1e12f, rpGCCOMP_S16, 0, { 0xFF, 0xFF } },		// saturated to 32 bits, then cut
	};
	for ( const auto& c : components ) {
		u8 out[2] = { 0, 0 };
		_rwDlQuantisedStore( out, c.value, c.type, c.fraction );
		EXPECT_EQ( out[0], c.bytes[0] ) << c.value;
		EXPECT_EQ( out[1], c.bytes[1] ) << c.value;
	}
	const RwRGBA colour = { 0xDE, 0xAD, 0xBE, 0x9F };
	const struct {
		u8					type;
		std::vector<u8>		bytes;
	} colours[] = {
		{ rpGCCOLOR_RGB565, { 0xDD, 0x77 } },
		{ rpGCCOLOR_RGB8, { 0xDE, 0xAD, 0xBE } },
		{ rpGCCOLOR_RGBX8, { 0x55, 0x55, 0x55, 0x55 } },	// not written
		{ rpGCCOLOR_RGBA4, { 0xDA, 0xB9 } },
		{ rpGCCOLOR_RGBA6, { 0xDE, 0xBB, 0xE7 } },
		{ rpGCCOLOR_RGBA8, { 0xDE, 0xAD, 0xBE, 0x9F } },
	};
	for ( const auto& c : colours ) {
		RpGameCubeVtxFmt descriptor = _RpDlVtxFmtDefault;
		descriptor.colorType = c.type;
		std::vector<u8> out( c.bytes.size(), 0x55 );
		_rpDlVtxFmtInstColor( &descriptor, out.data(), &colour, 1, static_cast<u32>( out.size() ) );
		EXPECT_EQ( out, c.bytes ) << static_cast<u32>( c.type );
	}
}

TEST_F( RpGameCubeVtxFmtTest, InstancedGeometriesReadBackThroughTheVertexFetch ) {
	const s32 v = 5;
	const u32 flags = POS | NORMALS | PRELIT | 0x80;
	RpGeometry* const geometry = RpGeometryCreate( v, 0, flags );
	ASSERT_NE( geometry, nullptr );
	for ( s32 i = 0; i < v; i++ ) {
		const f32 f = static_cast<f32>( i );
		geometry->morphTarget[0].verts[i] = { 1.5f * f - 2.0f, 0.25f * f, -3.75f + f };
		const f32 n = 1.0f / std::sqrt( 3.0f );
		geometry->morphTarget[0].normals[i] = { n, -n, i % 2 ? n : -n };
		geometry->preLitLum[i] = { static_cast<u8>( 40 * i ), 200, static_cast<u8>( 255 - i ), 128 };
		geometry->texCoords[0][i] = { 0.125f * f, 1.0f - 0.5f * f };
		geometry->texCoords[1][i] = { -0.5f * f, 2.0f };
	}
	RpGameCubeVtxFmt quantised = _RpDlVtxFmtDefault;
	quantised.posType = rpGCCOMP_S16;
	quantised.posFrac = 8;
	quantised.normType = rpGCCOMP_S16;
	quantised.texType[0] = rpGCCOMP_S16;
	quantised.texFrac[0] = 10;
	RpGameCubeVtxFmt interleaved = _RpDlVtxFmtDefault;
	interleaved.flags |= rpGCVTXFMT_INTERLEAVED;
	const struct {
		const char*				what;
		const RpGameCubeVtxFmt*	descriptor;
		f32						tolerance;
	} rows[] = { { "default", nullptr, 0.0f }, { "s16", &quantised, 1.0f / 256.0f }, { "interleaved", &interleaved, 0.0f } };
	for ( const auto& row : rows ) {
		std::vector<u8> arrays( _rpDlVtxFmtGetSize( row.descriptor, flags, v, 2 ) + 32 );
		u8* const base = reinterpret_cast<u8*>( ( reinterpret_cast<uintptr_t>( arrays.data() ) + 31 ) & ~uintptr_t{ 31 } );
		RxGCInstanceHeader header = {};
		header.indexType = RXGC_INDEX8;
		_rpDlGeometryVtxFmtInst( geometry, &header, row.descriptor, flags, 2, base );
		const std::vector<GXHostVertex> fetched = Fetch( row.descriptor, flags, header, v, 2 );
		ASSERT_EQ( fetched.size(), static_cast<size_t>( v ) ) << row.what;
		for ( s32 i = 0; i < v; i++ ) {
			const GXHostVertex& vertex = fetched[i];
			const RwV3d& p = geometry->morphTarget[0].verts[i];
			const RwV3d& n = geometry->morphTarget[0].normals[i];
			EXPECT_NEAR( vertex.position[0], p.x, row.tolerance ) << row.what << i;
			EXPECT_NEAR( vertex.position[2], p.z, row.tolerance ) << row.what << i;
			EXPECT_NEAR( vertex.normal[1], n.y, 1.0f / 16384.0f ) << row.what << i;
			EXPECT_EQ( vertex.colour[0].r, geometry->preLitLum[i].red ) << row.what << i;
			EXPECT_EQ( vertex.colour[0].a, 128 ) << row.what << i;
			EXPECT_NEAR( vertex.texCoord[0][1], geometry->texCoords[0][i].v, 1.0f / 1024.0f ) << row.what << i;
			EXPECT_EQ( vertex.texCoord[1][0], geometry->texCoords[1][i].u ) << row.what << i;
		}
	}
	RpGeometryDestroy( geometry );
}

TEST_F( RpGameCubeVtxFmtTest, SectorNormalsComeFromPackedBytesAndANullSetEndsTheTextureSetUp ) {
	RwV3d positions[2] = { { 1.0f, 2.0f, 3.0f }, { -4.0f, 5.0f, -6.0f } };
	RpVertexNormal normals[2] = { { 127, -128, 0, 0 }, { -64, 32, 1, 0 } };
	RwTexCoords uv[2] = { { 0.5f, 0.25f }, { 0.75f, 1.0f } };
	RpWorldSector sector = {};
	sector.vertices = positions;
	sector.normals = normals;
	sector.texCoords[0] = uv;
	sector.numVertices = 2;
	RpGameCubeVtxFmt s8Normals = _RpDlVtxFmtDefault;
	s8Normals.normType = rpGCCOMP_S8;
	const RpGameCubeVtxFmt* const descriptors[] = { nullptr, &s8Normals };
	for ( const RpGameCubeVtxFmt* descriptor : descriptors ) {
		std::vector<u8> arrays( 512 );
		RxGCInstanceHeader header = {};
		header.indexType = RXGC_INDEX8;
		const u32 flags = POS | NORMALS | TEX;
		_rpDlWorldSectorVtxFmtInst( &sector, &header, descriptor, flags, 1, arrays.data() );
		const std::vector<GXHostVertex> fetched = Fetch( descriptor, flags, header, 2, 1 );
		ASSERT_EQ( fetched.size(), 2u );
		// byte / 128, and for s8 byte / 2 truncated over 64.
		const f32 step = descriptor == nullptr ? 1.0f / 128.0f : 1.0f / 64.0f;
		EXPECT_NEAR( fetched[0].normal[0], 127.0f / 128.0f, step );
		EXPECT_NEAR( fetched[1].normal[0], -0.5f, 1e-6f );
		EXPECT_NEAR( fetched[1].normal[1], 0.25f, 1e-6f );
		EXPECT_EQ( fetched[1].position[2], -6.0f );
		EXPECT_EQ( fetched[1].texCoord[0][0], 0.75f );
		EXPECT_EQ( fetched[0].present & ( 1u << ( GX_VA_TEX0 + 1 ) ), 0u );
	}
}

}	// namespace
