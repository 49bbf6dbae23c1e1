#include "framework/core/world/WorldTestBench.h"

#include "framework/core/world/EFChildrenRetriever.h"
#include "framework/core/world/EFInRangeRetriever.h"
#include "framework/core/world/EFObjectRetriever.h"
#include "framework/core/world/ObjectRetrieverParams.h"

#include <algorithm>

namespace {

constexpr u32 OBJECT_A = 0x2a000001;
constexpr u32 OBJECT_B = 0x2a000002;
constexpr u32 OBJECT_C = 0x2a000003;

}

class EFObjectRetrieverTest : public WorldTestBench {
protected:
	static EFGameObject* Grouped( const u32 id, const u32 group, const f32 z = 0.0f ) {
		EFGameObject* const object = MakeObject( id, 0.0f, 0.0f, z );
		object->muiGroupID = group;
		return object;
	}

	// Every object the query yields, asking at most limit times.
	static std::vector<EFGameObject*> Walk( const u32 query, ObjectRetrieverParams& params, const u32 limit = 16 ) {
		std::vector<EFGameObject*> objects;
		EFObjectRetriever* const retriever = gpoWorldMgr->GetRetriever( query, &params );
		if ( retriever == nullptr ) {
			return objects;
		}
		for ( u32 i = 0; i < limit; i++ ) {
			EFGameObject* const object = retriever->GetObject();
			if ( object == nullptr ) {
				break;
			}
			objects.push_back( object );
		}
		gpoWorldMgr->DeleteRetriever( retriever );
		return objects;
	}

	static ObjectRetrieverParams Fresh() {
		ObjectRetrieverParams params = {};
		params.all.uiLastRetrieved = EF_RETRIEVER_START;
		return params;
	}
};

TEST_F( EFObjectRetrieverTest, AGroupWalkPassesOverOtherGroupsAndWithdrawnObjects ) {
	EFGameObject* const a = Grouped( OBJECT_A, 3 );
	Grouped( OBJECT_B, 5 );
	Grouped( OBJECT_C, 3 )->muiFlags |= EF_INSTANCE_WITHDRAWN;
	ObjectRetrieverParams params = Fresh();
	params.groupID.uiGroupID = 3;
	EXPECT_EQ( Walk( EF_QUERY_GROUP_ID, params ), ( std::vector<EFGameObject*>{ a } ) );
	EXPECT_EQ( params.groupID.uiLastRetrieved, EF_RETRIEVER_END );
	EXPECT_TRUE( Walk( EF_QUERY_GROUP_ID, params ).empty() );
	// The mask form; the all query yields the withdrawn one too.
	ObjectRetrieverParams mask = Fresh();
	mask.groupMask.uiGroupMask = 1;
	EXPECT_EQ( Walk( EF_QUERY_GROUP_MASK, mask ).size(), 2u );
	ObjectRetrieverParams all = Fresh();
	EXPECT_EQ( Walk( EF_QUERY_ALL, all ).size(), 3u );
	EXPECT_EQ( all.all.uiLastRetrieved, EF_RETRIEVER_DONE );
}

TEST_F( EFObjectRetrieverTest, InRangeGivesOneOfTwoCloseObjectsThenTheFarOneThenNothing ) {
	EFGameObject* const two = Grouped( OBJECT_A, 1, 2.0f );
	EFGameObject* const close = Grouped( OBJECT_B, 1, 2.1f );
	EFGameObject* const five = Grouped( OBJECT_C, 1, 5.0f );
	Grouped( 0x2a000004, 1, 11.0f );
	ObjectRetrieverParams params = Fresh();
	params.inRangeID = { EF_RETRIEVER_START, 1, 0, 0.0f, 0.0f, 0.0f, 10.0f, 1.0f };
	const std::vector<EFGameObject*> found = Walk( EF_QUERY_IN_RANGE_ID, params );
	ASSERT_EQ( found.size(), 2u );
	EXPECT_TRUE( found[0] == two || found[0] == close );
	EXPECT_EQ( found[1], five );
	EXPECT_EQ( params.inRangeID.uiLastRetrieved, EF_RETRIEVER_END );
	EXPECT_TRUE( Walk( EF_QUERY_IN_RANGE_ID, params ).empty() );
	// A threshold of 0 or below is written back as the least normal float;
	// so small a step vanishes beside the nearest distance, which is then
	// found again and ends the walk.
	const f32 thresholds[] = { 0.0f, -2.0f };
	for ( const f32 threshold : thresholds ) {
		ObjectRetrieverParams zero = Fresh();
		zero.inRangeMask = { EF_RETRIEVER_START, 1, 0, 0.0f, 0.0f, 0.0f, 10.0f, threshold };
		EXPECT_EQ( Walk( EF_QUERY_IN_RANGE_MASK, zero ), ( std::vector<EFGameObject*>{ two } ) );
		EXPECT_EQ( zero.inRangeMask.fThreshold, EF_IN_RANGE_MIN_THRESHOLD );
	}
}

TEST_F( EFObjectRetrieverTest, InRangeMeasuresFromTheSourcesFrame ) {
	Grouped( OBJECT_A, 1, 20.0f );
	EFGameObject* const target = Grouped( OBJECT_B, 1, 28.0f );
	Grouped( OBJECT_C, 2, 30.0f );
	ObjectRetrieverParams params = Fresh();
	params.inRangeID = { EF_RETRIEVER_START, 1, OBJECT_A, 0.0f, 0.0f, 9.0f, 2.0f, 1.0f };
	EXPECT_EQ( Walk( EF_QUERY_IN_RANGE_ID, params ), ( std::vector<EFGameObject*>{ target } ) );
}

TEST_F( EFObjectRetrieverTest, ChildrenComeMostRecentlyAttachedFirstAndParentOnce ) {
	EFGameObject* const parent = MakeObject( OBJECT_A );
	EFGameObject* const x = MakeObject( OBJECT_B );
	EFGameObject* const y = MakeObject( OBJECT_C );
	parent->AddChild( x, 0 );
	parent->AddChild( y, 0 );
	ObjectRetrieverParams children = Fresh();
	children.children.uiObjectID = OBJECT_A;
	EXPECT_EQ( Walk( EF_QUERY_CHILDREN, children ), ( std::vector<EFGameObject*>{ y, x } ) );
	EXPECT_EQ( children.children.uiLastRetrieved, EF_RETRIEVER_DONE );
	ObjectRetrieverParams parentOf = Fresh();
	parentOf.parent.uiObjectID = OBJECT_B;
	EXPECT_EQ( Walk( EF_QUERY_PARENT, parentOf ), ( std::vector<EFGameObject*>{ parent } ) );
	EXPECT_EQ( parentOf.parent.uiLastRetrieved, EF_RETRIEVER_DONE );
	// A child that leaves between two calls shortens the walk.
	children = Fresh();
	children.children.uiObjectID = OBJECT_A;
	EFObjectRetriever* const retriever = gpoWorldMgr->GetRetriever( EF_QUERY_CHILDREN, &children );
	EXPECT_EQ( retriever->GetObject(), y );
	x->LeaveParent( 0 );
	EXPECT_EQ( retriever->GetObject(), nullptr );
	gpoWorldMgr->DeleteRetriever( retriever );
}

TEST_F( EFObjectRetrieverTest, NearestWithoutAStartDistanceFindsNothingAndASecondCallNothingEither ) {
	Grouped( OBJECT_A, 1, 2.0f );
	EFGameObject* const nearest = Grouped( OBJECT_B, 1, 1.0f );
	const struct {
		f32				start;
		EFGameObject*	first;
	} rows[] = {
		{ 0.0f, nullptr },
		{ 0.5f, nullptr },
		{ 100.0f, nearest },
	};
	for ( const auto& row : rows ) {
		ObjectRetrieverParams params = Fresh();
		params.nearestID = { EF_RETRIEVER_START, 1, 0, 0.0f, 0.0f, 0.0f, row.start, 0.0f };
		EFObjectRetriever* const retriever = gpoWorldMgr->GetRetriever( EF_QUERY_NEAREST_ID, &params );
		EXPECT_EQ( retriever->GetObject(), row.first ) << row.start;
		EXPECT_EQ( params.nearestID.uiLastRetrieved, EF_RETRIEVER_DONE );
		EXPECT_EQ( retriever->GetObject(), nullptr );
		gpoWorldMgr->DeleteRetriever( retriever );
	}
}

TEST_F( EFObjectRetrieverTest, AKeptNearestRetrieverSwitchesOnlyBeyondTheSwitchDistance ) {
	EFGameObject* const a = Grouped( OBJECT_A, 1, 5.0f );
	EFGameObject* const b = Grouped( OBJECT_B, 1, 6.0f );
	ObjectRetrieverParams params = Fresh();
	params.nearestMask = { EF_RETRIEVER_START, 1, 0, 0.0f, 0.0f, 0.0f, 100.0f, 1.0f };
	EFObjectRetriever* const retriever = gpoWorldMgr->GetRetriever( EF_QUERY_NEAREST_MASK, &params );
	const struct {
		f32				bz;
		EFGameObject*	expected;
	} frames[] = {
		{ 6.0f, a },	// a fresh retriever takes the nearest
		{ 4.5f, a },	// b nearer by 0.5: a stays
		{ 4.0f, a },	// by exactly 1: a stays
		{ 3.5f, b },	// by 1.5: b takes over
		{ 4.8f, b },	// a nearer by 0.2: b stays
	};
	for ( const auto& frame : frames ) {
		MoveTo( *b, 0.0f, 0.0f, frame.bz );
		retriever->Reset();
		EXPECT_EQ( retriever->GetObject(), frame.expected ) << frame.bz;
	}
	gpoWorldMgr->DeleteRetriever( retriever );
	// A new retriever on the same record takes the nearest at once.
	MoveTo( *b, 0.0f, 0.0f, 5.5f );
	params.nearestMask.uiLastRetrieved = EF_RETRIEVER_START;
	EXPECT_EQ( gpoWorldMgr->GetGameObject( EF_QUERY_NEAREST_MASK, &params ), a );
}

TEST_F( EFObjectRetrieverTest, AWalkSurvivesTheDeletionOfItsNextObject ) {
	// Ids one bucket apart, so that the map keeps them in id order.
	std::vector<EFGameObject*> objects;
	for ( u32 i = 0; i < 4; i++ ) {
		objects.push_back( Grouped( 0x2a000000 + 37 * 8 + i, 3 ) );
	}
	ObjectRetrieverParams params = Fresh();
	params.groupID.uiGroupID = 3;
	EFObjectRetriever* const retriever = gpoWorldMgr->GetRetriever( EF_QUERY_GROUP_ID, &params );
	EFGameObject* const first = retriever->GetObject();
	ASSERT_NE( first, nullptr );
	const u32 next = params.groupID.uiLastRetrieved;
	EFGameObject* const doomed = gpoWorldMgr->FindGameObject( next );
	ASSERT_NE( doomed, nullptr );
	gpoWorldMgr->RequestDeletion( doomed );
	gpoWorldMgr->Update( 0.02f );
	std::vector<EFGameObject*> rest;
	for ( EFGameObject* object = retriever->GetObject(); object != nullptr; object = retriever->GetObject() ) {
		rest.push_back( object );
	}
	EXPECT_EQ( rest.size(), 2u );
	EXPECT_EQ( std::count( rest.begin(), rest.end(), first ), 0 );
	EXPECT_EQ( params.groupID.uiLastRetrieved, EF_RETRIEVER_END );
	gpoWorldMgr->DeleteRetriever( retriever );
}

TEST_F( EFObjectRetrieverTest, OnlyQueryIdsWithARecordGetARetrieverAndTheWorldNeverResetsACallersCursor ) {
	Grouped( OBJECT_A, 0 );
	ObjectRetrieverParams params = Fresh();
	const u32 refused[] = { 0xff000000, 0xff000003, 0xff000200, OBJECT_A };
	for ( const u32 id : refused ) {
		EXPECT_EQ( gpoWorldMgr->GetRetriever( id, &params ), nullptr ) << std::hex << id;
	}
	EXPECT_EQ( gpoWorldMgr->GetRetriever( EF_QUERY_ALL, nullptr ), nullptr );
	params.all.uiLastRetrieved = EF_RETRIEVER_DONE;
	EXPECT_EQ( gpoWorldMgr->GetGameObject( EF_QUERY_ALL, &params ), nullptr );
	EXPECT_EQ( params.all.uiLastRetrieved, EF_RETRIEVER_DONE );
	EXPECT_NE( gpoWorldMgr->GetGameObject( EF_QUERY_ALL, nullptr ), nullptr );
	// An empty world ends every walk at once.
	gpoWorldMgr->Terminate();
	const u32 queries[] = { EF_QUERY_ALL, EF_QUERY_GROUP_ID, EF_QUERY_PARENT, EF_QUERY_CHILDREN, EF_QUERY_NEAREST_ID,
							EF_QUERY_IN_RANGE_ID };
	for ( const u32 query : queries ) {
		ObjectRetrieverParams empty = Fresh();
		EXPECT_TRUE( Walk( query, empty ).empty() ) << std::hex << query;
	}
}
