/*
	Billboards: the shared budget and refused groups, batches of 128, one
	rotated billboard's corners and colour bytes, the turn-to-table
	mapping, and the 32-pixel margin around the screen.
*/
#include "ScreenEffectsTestBench.h"

#include "framework/graphics/effects/EFBillboardMgr.h"

#include <cstdio>
#include <cstring>

namespace {

class BillboardTest : public ScreenEffectsTest {
protected:
	void SetUp() override {
		ScreenEffectsTest::SetUp();
		AddTexture( "BB" );
		billboards = new EFBillboardMgr();
	}

	void TearDown() override {
		delete billboards;
		ScreenEffectsTest::TearDown();
	}

	struct Arrays {
		DTVector3d*	positions = nullptr;
		u32*		colours = nullptr;
		f32*		rotations = nullptr;
		f32*		sizes = nullptr;
	};

	u32 Add( const u32 count, Arrays& arrays, const char* texture = "BB" ) {
		char name[8];
		std::snprintf( name, sizeof( name ), "%s", texture );
		return billboards->AddBillboardGroup( count, name, 0, &arrays.positions, &arrays.colours, &arrays.rotations,
											  &arrays.sizes );
	}

	// count billboards at (x, y, z), size 1, no rotation.
	u32 Place( const u32 count, const f32 x, const f32 y, const f32 z, const f32 rotation = 0.0f ) {
		Arrays arrays;
		const u32 id = Add( count, arrays );
		for ( u32 i = 0; i < count; i++ ) {
			arrays.positions[i] = DTVector3d( x, y, z );
			const u8 bytes[4] = { 10, 20, 30, 40 };
			std::memcpy( &arrays.colours[i], bytes, 4 );
			arrays.rotations[i] = rotation;
			arrays.sizes[i] = 1.0f;
		}
		return id;
	}

	EFBillboardMgr* billboards = nullptr;
};

TEST_F( BillboardTest, GroupsShareTheBudgetAndRefusalsAddNothing ) {
	Arrays arrays;
	EXPECT_EQ( Add( 300, arrays ), 0x5A000001u );
	EXPECT_EQ( reinterpret_cast<u8*>( arrays.sizes ) - reinterpret_cast<u8*>( arrays.positions ), 300 * 20 );
	struct Row {
		const char*	name;
		u32			budget;
		u32			count;
		const char*	texture;
		u32			id;
	};
	const Row rows[] = {
		{ "201 over the budget", 500, 201, "BB", 0xFFFFFFFF },
		{ "unknown texture", 500, 1, "XX", 0xFFFFFFFF },
		{ "a budget under the held count", 100, 0, "BB", 0xFFFFFFFF },
		{ "a block past 32 bits", 0xFFFFFFFF, 0x0AAAAAAB, "BB", 0xFFFFFFFF },
		{ "200 fills it", 500, 200, "BB", 0x5A000002 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		billboards->SetBudget( row.budget );
		Arrays out;
		EXPECT_EQ( Add( row.count, out, row.texture ), row.id );
		EXPECT_EQ( out.positions != nullptr, row.id != 0xFFFFFFFF );
	}
	EXPECT_EQ( EFBillboardMgr::smuiNumBillBoards, 500u );
	EXPECT_EQ( billboards->RemoveBillboardGroup( 0x5A000001 ), 0 );
	EXPECT_EQ( billboards->RemoveBillboardGroup( 0x5A000001 ), -1 );
	EXPECT_EQ( billboards->EnableBillboardGroupRender( 0x5A000009, 1 ), -1 );
	EXPECT_EQ( EFBillboardMgr::smuiNumBillBoards, 200u );
	billboards->Terminate();
	EXPECT_EQ( billboards->GetBudget(), EF_BILLBOARD_BUDGET );
	EXPECT_EQ( Add( 1, arrays ), 0x5A000001u );
}

TEST_F( BillboardTest, ThreeHundredDrawAsBatchesOfAtMost128AndDisabledGroupsNot ) {
	const u32 id = Place( 300, 0.0f, 0.0f, 16.0f );
	billboards->Render();
	std::vector<size_t> sizes;
	for ( const GXHostDraw* draw : Draws() ) {
		sizes.push_back( draw->vertices.size() );
	}
	EXPECT_EQ( sizes, ( std::vector<size_t>{ 768, 768, 264 } ) );
	GXHostClearLog();
	billboards->EnableBillboardGroupRender( id, 0 );
	billboards->Render();
	EXPECT_TRUE( Draws().empty() );
}

TEST_F( BillboardTest, RotationsTurnTheSquareThroughTheTable ) {
	// At (0, 0, 16): the centre (256, 128); A = 32 cos, B = 16 sin.
	struct Row {
		f32			rotation;
		f32			corners[12];
	};
	const Row rows[] = {
		{ 0.25f, { 256, 144, 256, 112, 240, 128, 256, 144, 272, 128, 256, 112 } },
		{ 1.0f, { 288, 128, 224, 128, 256, 160, 288, 128, 256, 96, 224, 128 } },
		{ -0.25f, { 256, 112, 256, 144, 272, 128, 256, 112, 240, 128, 256, 144 } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.rotation );
		billboards->Terminate();
		GXHostClearLog();
		Place( 1, 0.0f, 0.0f, 16.0f, row.rotation );
		billboards->Render();
		ASSERT_EQ( Draws().size(), 1u );
		const GXHostDraw& draw = *Draws()[0];
		ASSERT_EQ( draw.vertices.size(), 6u );
		const f32 uvs[6][2] = { { 1, 0 }, { 0, 1 }, { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } };
		for ( size_t i = 0; i < 6; i++ ) {
			EXPECT_NEAR( draw.vertices[i].position[0], row.corners[2 * i], 1e-4 ) << i;
			EXPECT_NEAR( draw.vertices[i].position[1], row.corners[2 * i + 1], 1e-4 ) << i;
			EXPECT_EQ( draw.vertices[i].texCoord[0][0], uvs[i][0] );
			EXPECT_EQ( draw.vertices[i].texCoord[0][1], uvs[i][1] );
			const GXColor& c = draw.vertices[i].colour[0];
			EXPECT_EQ( ( std::vector<u32>{ c.r, c.g, c.b, c.a } ), ( std::vector<u32>{ 10, 20, 30, 40 } ) );
		}
	}
}

TEST_F( BillboardTest, ThirtyTwoPixelsOffScreenIsDrawnThirtyThreeIsNot ) {
	// Pixel (256 (1 - x / z), 128 (1 - y / z)) at z = 16.
	struct Row {
		const char*	name;
		f32			x;
		f32			y;
		bool		drawn;
	};
	const Row rows[] = {
		{ "32 left", 18.0f, 0.0f, true },	  { "33 left", 18.0625f, 0.0f, false },
		{ "32 right", -18.0f, 0.0f, true },	  { "33 right", -18.0625f, 0.0f, false },
		{ "32 above", 0.0f, 20.0f, true },	  { "33 above", 0.0f, 20.125f, false },
		{ "32 below", 0.0f, -20.0f, true },	  { "33 below", 0.0f, -20.125f, false },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		billboards->Terminate();
		GXHostClearLog();
		Place( 1, row.x, row.y, 16.0f );
		billboards->Render();
		EXPECT_EQ( Draws().size(), row.drawn ? 1u : 0u );
	}
}

} // namespace
