// Immediate 3D: counts per primitive, indexed and not, refusals, and the
// vertices the processor receives against the caller's.
#include "RwDlTestDriver.h"

#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/gamecube/RwDlIm3D.h"

#include <vector>

namespace {

class RwDlIm3DTest : public RwDlTestCase {
protected:
	void SetUp() override {
		RwDlTestCase::SetUp();
		ASSERT_TRUE( BringUp() );
		RwDlTestReadError();
	}

	static std::vector<RwIm3DVertex> Vertices( const u32 n ) {
		std::vector<RwIm3DVertex> v( n );
		for ( u32 i = 0; i < n; i++ ) {
			v[i] = { { 1.0f * i, -2.0f * i, 0.5f }, { 0, 0, 1 }, { static_cast<u8>( i ), 7, 8, 9 }, 0.25f * i, 1.0f };
		}
		return v;
	}
};

TEST_F( RwDlIm3DTest, PrimitivesDrawWholeShapesAndRefuseWhatTheyCannot ) {
	std::vector<RwIm3DVertex> vertices = Vertices( 10 );
	std::vector<RwImVertexIndex> indices = { 9, 8, 7, 6, 5, 4, 3, 2, 1, 0 };
	const struct Case {
		const char* what;
		s32 type;
		s32 numIndices;		// -1: not indexed
		bool transformed;
		u32 drawn;			// vertices drawn, 0: refused
		u32 error;			// RWERR_NONE: none
	} cases[] = {
		{ "indexed triangle list of 10", rwPRIMTYPETRILIST, 10, true, 9, RWERR_NONE },
		{ "indexed line list of 7", rwPRIMTYPELINELIST, 7, true, 6, RWERR_NONE },
		{ "indexed strip of 10", rwPRIMTYPETRISTRIP, 10, true, 10, RWERR_NONE },
		{ "triangle list of 10 vertices", rwPRIMTYPETRILIST, -1, true, 9, RWERR_NONE },
		{ "poly line", rwPRIMTYPEPOLYLINE, -1, true, 10, RWERR_NONE },
		{ "point list", rwPRIMTYPEPOINTLIST, -1, true, 0, RWIM3D_ERROR_PRIMITIVE },
		{ "after the end", rwPRIMTYPETRIFAN, -1, false, 0, RWIM3D_ERROR_NO_TRANSFORM },
	};
	for ( const Case& c : cases ) {
		if ( c.transformed ) {
			ASSERT_EQ( RwIm3DTransform( vertices.data(), 10, nullptr, 0 ), vertices.data() ) << c.what;
		}
		GXHostClearLog();
		const bool drawn = c.numIndices < 0 ? RwIm3DRenderPrimitive( c.type )
											: RwIm3DRenderIndexedPrimitive( c.type, indices.data(), c.numIndices );
		EXPECT_EQ( drawn, c.drawn != 0 ) << c.what;
		const RwError error = RwDlTestReadError();
		EXPECT_EQ( error.errorCode, c.error ) << c.what;
		if ( c.drawn != 0 ) {
			ASSERT_EQ( GXHostCurrentFrame().draws.size(), 1u ) << c.what;
			const GXHostDraw& draw = GXHostCurrentFrame().draws[0];
			EXPECT_EQ( draw.announced, c.drawn ) << c.what;
			ASSERT_EQ( draw.vertices.size(), c.drawn ) << c.what;
			EXPECT_FALSE( draw.countFault ) << c.what;
			for ( u32 i = 0; i < c.drawn; i++ ) {
				const RwIm3DVertex& source = vertices[c.numIndices < 0 ? i : indices[i]];
				EXPECT_EQ( draw.vertices[i].position[1], source.objVertex.y ) << c.what << i;
				EXPECT_EQ( draw.vertices[i].colour[0].r, source.color.red ) << c.what << i;
			}
		} else {
			EXPECT_TRUE( GXHostCurrentFrame().draws.empty() ) << c.what;
		}
		EXPECT_EQ( RwIm3DEnd(), c.transformed ) << c.what;
	}
}

TEST_F( RwDlIm3DTest, TexturedVerticesCarryTheirCoordinatesAndBlocksHoldAt65535 ) {
	std::vector<RwIm3DVertex> vertices = Vertices( 4 );
	ASSERT_NE( RwIm3DTransform( vertices.data(), 4, nullptr, rwIM3D_VERTEXUV ), nullptr );
	GXHostClearLog();
	ASSERT_TRUE( RwIm3DRenderPrimitive( rwPRIMTYPETRISTRIP ) );
	const GXHostDraw& draw = GXHostCurrentFrame().draws[0];
	ASSERT_EQ( draw.vertices.size(), 4u );
	EXPECT_EQ( draw.vertices[3].texCoord[0][0], 0.75f );
	EXPECT_EQ( draw.primitive, static_cast<u32>( GX_TRIANGLESTRIP ) );
	EXPECT_TRUE( RwIm3DEnd() );

	std::vector<RwIm3DVertex> many( 65536 );
	EXPECT_EQ( RwIm3DTransform( many.data(), 65535, nullptr, 0 ), many.data() );
	EXPECT_TRUE( RwIm3DEnd() );
	EXPECT_EQ( RwIm3DTransform( many.data(), 65536, nullptr, 0 ), nullptr );
	EXPECT_EQ( RwDlTestReadError().errorCode, RWIM3D_ERROR_TOO_MANY );
	EXPECT_FALSE( RwIm3DEnd() );
	EXPECT_EQ( RwIm3DSetRenderPipeline( nullptr, 7 ), nullptr );
	EXPECT_EQ( RwDlTestReadError().errorCode, RWIM3D_ERROR_PRIMITIVE );
}

}	// namespace
