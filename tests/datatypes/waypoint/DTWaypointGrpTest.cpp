#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "WaypointTestSupport.h"

#include <string>

namespace {

typedef WaypointTestCase DTWaypointGrpTest;

TEST_F( DTWaypointGrpTest, StoredGroupIsUidCountAndFloatArray ) {
	// Pinned by hand: UID 5, two waypoints, six floats.
	const std::vector<u8> fixture = {
		0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x06,
		0x3F, 0x80, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x40, 0x40, 0x00, 0x00,
		0xBF, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x41, 0x20, 0x00, 0x00,
	};
	EXPECT_EQ( StoredGroup( { 5, 2, { 1, 2, 3, -1, 0, 10 } } ), fixture );
	s32 result = -1;
	DTWaypointGrp * const group = LoadGroup( fixture, result );
	EXPECT_EQ( result, DT_PERSIST_OK );
	EXPECT_EQ( group->GetUID(), 5u );
	EXPECT_EQ( group->GetNbWaypoint(), 2u );
	EXPECT_EQ( group->GetMemberCount(), 3u );
	EXPECT_EQ( DTWpGrpMgr::moWpGrpMgr.GetWaypointGrp( 5 ), group );
	DTVector3d point;
	ASSERT_TRUE( group->GetPoint( 1, point ) );
	EXPECT_EQ( point.x, -1.0f );
	EXPECT_EQ( point.z, 10.0f );
}

TEST_F( DTWaypointGrpTest, WaypointTwoIsFloatsSixToEight ) {
	std::vector<f32> floats;
	for ( s32 i = 0; i < 12; i++ ) {
		floats.push_back( static_cast<f32>( i ) * 1.5f );
	}
	s32 result = -1;
	DTWaypointGrp * const group = LoadGroup( StoredGroup( { 42, 4, floats } ), result );
	ASSERT_EQ( result, DT_PERSIST_OK );
	DTVector3d point;
	ASSERT_TRUE( group->GetPoint( 2, point ) );
	EXPECT_EQ( point.x, floats[6] );
	EXPECT_EQ( point.y, floats[7] );
	EXPECT_EQ( point.z, floats[8] );
	ASSERT_TRUE( group->SetPoint( 2, DTVector3d( -4.0f, -5.0f, -6.0f ) ) );
	EXPECT_EQ( group->mvPoints[6], -4.0f );
	EXPECT_EQ( group->mvPoints[8], -6.0f );
	EXPECT_EQ( group->mvPoints[9], floats[9] );
}

TEST_F( DTWaypointGrpTest, PointsOutsideBothCountAndArrayAreRefused ) {
	const struct {
		const char *	name;
		u32				count;
		u32				floats;
		u32				reachable;
	} rows[] = {
		{ "count and array agree", 3, 9, 3 },
		{ "count above the array", 5, 9, 3 },
		{ "count below the array", 2, 9, 2 },
		{ "array not a whole number of points", 4, 11, 3 },
		{ "huge count, empty array", 0xFFFFFFFF, 0, 0 },
		{ "no points", 0, 6, 0 },
	};
	for ( const auto & row : rows ) {
		DTWpGrpMgr::moWpGrpMgr.RemoveAllWaypointGrp();
		s32 result = -1;
		DTWaypointGrp * const group =
			LoadGroup( StoredGroup( { 1, row.count, std::vector<f32>( row.floats, 7.0f ) } ), result );
		ASSERT_EQ( result, DT_PERSIST_OK ) << row.name;
		EXPECT_EQ( group->GetNbWaypoint(), row.count ) << row.name;
		EXPECT_EQ( group->GetPointCount(), row.reachable ) << row.name;
		for ( const u32 index : { row.reachable, row.reachable + 1, 0xFFFFFFFFu, 0x55555556u } ) {
			DTVector3d out( 1.0f, 2.0f, 3.0f );
			EXPECT_FALSE( group->GetPoint( index, out ) ) << row.name << " " << index;
			EXPECT_EQ( out.x, 1.0f );
			EXPECT_EQ( out.z, 3.0f );
			EXPECT_FALSE( group->SetPoint( index, DTVector3d() ) ) << row.name << " " << index;
		}
		if ( row.reachable > 0 ) {
			DTVector3d out;
			EXPECT_TRUE( group->GetPoint( row.reachable - 1, out ) ) << row.name;
			EXPECT_EQ( out.y, 7.0f );
		}
		for ( u32 i = 0; i < group->mvPoints.GetSize(); i++ ) {
			EXPECT_EQ( group->mvPoints[i], 7.0f ) << row.name;
		}
	}
}

TEST_F( DTWaypointGrpTest, AGroupCutShortIsStillRegisteredUnderItsUid ) {
	std::vector<u8> bytes = StoredGroup( { 77, 3, std::vector<f32>( 9, 1.0f ) } );
	bytes.resize( bytes.size() - 10 );
	s32 result = 0;
	DTWaypointGrp * const group = LoadGroup( bytes, result );
	EXPECT_NE( result, DT_PERSIST_OK );
	EXPECT_EQ( DTWpGrpMgr::moWpGrpMgr.GetWaypointGrp( 77 ), group );
	// Cut inside the count: registered under the UID read so far.
	s32 early = 0;
	DTWaypointGrp * const first = LoadGroup( std::vector<u8>( bytes.begin(), bytes.begin() + 6 ), early );
	EXPECT_NE( early, DT_PERSIST_OK );
	EXPECT_EQ( first->GetUID(), 77u );
	EXPECT_EQ( DTWpGrpMgr::moWpGrpMgr.GetWaypointGrp( 77 ), first );
	EXPECT_EQ( first->GetPointCount(), 0u );
}

TEST_F( DTWaypointGrpTest, TheRegistryCreatesGroupsByIdAndName ) {
	const DTDynamicInstanciator & registry = DTDynamicInstanciator::GetInstance();
	DTStreamable * const created = static_cast<DTStreamable *>( registry.CreateInstance( 48, IT_OBJECT ) );
	ASSERT_NE( created, nullptr );
	EXPECT_EQ( created->GetClassID(), 48 );
	EXPECT_STREQ( created->GetClassName(), "DT_WPGRP" );
	EXPECT_NE( created->FindMember( "NB_WAYPOINT" ), nullptr );
	EXPECT_NE( created->FindMember( "POINTS" ), nullptr );
	EXPECT_EQ( created->FindMember( "PUID" ), nullptr );
	delete created;
}

} // namespace
