/*
	Bone tracking on node 2 of the ten-node skeleton: the distance and
	angle boundaries from each state (blend time 0, so the factor is 1
	while tracking or releasing and 0 otherwise), a target behind, the
	height window, the blend-in, a group target, and a bone beyond the
	skeleton.
*/
#include "framework/behaviour/SkeletonTestBench.h"

#include "framework/behaviour/EFDMBoneTrackObject.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/core/world/ObjectRetrieverParams.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>

namespace {

constexpr u32 OBJECT = 0x2A000320;
constexpr u32 TARGET = 0x2A000321;
constexpr u32 OTHER = 0x2A000322;
constexpr u32 BONE = 2;

class EFDMBoneTrackObjectTest : public SkeletonTestBench {
protected:
	void SetUp() override {
		SkeletonTestBench::SetUp();
		body = MakeModuleBody( OBJECT );
		GiveSkeleton( *OwnerOf( body ) );
		bone = OwnerOf( body )->GetBoneFrame( BONE )->GetRwFrame();
		rest = bone->modelling;
		const RwMatrix* const world = RwFrameGetLTM( bone );
		origin = DTVector3d( world->pos.x, world->pos.y, world->pos.z );
		handle = Add( OBJECT, EF_DM_BONE_TRACK_OBJECT );
		DMSetStateChangeNotifyBits( handle, 7 );
	}

	DMBoneTrackObjectParams Params( const u32 target, const f32 distance, const f32 engage, const f32 turn,
									const f32 blend = 0.0f, const f32 window = 0.0f ) {
		DMBoneTrackObjectParams params = {};
		params.ui32Bone = BONE;
		params.ui32TargetId = target;
		params.fBlendTime = blend;
		params.fMaxDistance = distance;
		params.fHeightWindow = window;
		params.fMaxTurn = turn;
		params.fEngageAngle = engage;
		return params;
	}

	// The bone back at rest; returns the angle its at axis turned by in
	// one pass.
	f32 Pass( const f32 dt = 0.1f ) {
		bone->modelling = rest;
		RwFrameUpdateObjects( bone );
		Module<EFDMBoneTrackObject>( handle )->PostColUpdate( nullptr, dt );
		const RwV3d& at = bone->modelling.at;
		return std::acos( std::fmin( at.z / std::sqrt( at.x * at.x + at.y * at.y + at.z * at.z ), 1.0f ) );
	}

	EFGameObject* Target( const u32 id, const DTVector3d& offset ) {
		const DTVector3d p = origin + offset;
		return MakeObject( id, p.x, p.y, p.z );
	}

	DMBoneTrackObjectParams GetParams( DMBoneTrackObjectParams params ) {
		DMGetParams( handle, &params );
		return params;
	}

	EFPhysic*	body = nullptr;
	RwFrame*	bone = nullptr;
	RwMatrix	rest = {};
	DTVector3d	origin;
	u32			handle = 0;
};

TEST_F( EFDMBoneTrackObjectTest, DistanceAndAngleBoundariesFromEachState ) {
	// Both targets lie at acos(0.8) from the bone's forward axis, exactly
	// as the module computes it; the far one at exactly 2.5.
	const f32 A = std::acos( DMUnit( DTVector3d( 0.75f, 0.0f, 1.0f ) ).z );
	struct Row {
		const char*	name;
		DTVector3d	offset;
		f32			engage;
		u32			before;
		u32			after;
		bool		turns;
	};
	const Row rows[] = {
		{ "exactly the engage angle does not engage", { 0.75f, 0.0f, 1.0f }, A, 0, 0, false },
		{ "but tracking continues", { 0.75f, 0.0f, 1.0f }, A, 4, 4, true },
		{ "inside the angle engages", { 0.75f, 0.0f, 1.0f }, A + 0.01f, 0, 4, true },
		{ "a released bone engages again", { 0.75f, 0.0f, 1.0f }, A + 0.01f, 2, 4, true },
		{ "releasing catches the target again", { 0.75f, 0.0f, 1.0f }, A + 0.01f, 1, 4, true },
		{ "exactly the distance does not engage", { 1.5f, 0.0f, 2.0f }, 1.0f, 0, 0, false },
		{ "nor keeps tracking: the releasing pass turns", { 1.5f, 0.0f, 2.0f }, 1.0f, 4, 1, true },
		{ "then released, still", { 1.5f, 0.0f, 2.0f }, 1.0f, 1, 2, false },
		{ "released stays still", { 1.5f, 0.0f, 2.0f }, 1.0f, 2, 2, false },
	};
	Target( TARGET, {} );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		gpoWorldMgr->GetGameObject( TARGET )->GetFrame()->GetRwFrame()->modelling.pos =
			{ origin.x + row.offset.x, origin.y + row.offset.y, origin.z + row.offset.z };
		RwFrameUpdateObjects( gpoWorldMgr->GetGameObject( TARGET )->GetFrame()->GetRwFrame() );
		DMBoneTrackObjectParams params = Params( TARGET, 2.5f, row.engage, 0.5f );
		DMSetParams( handle, &params );
		DMResetStateBits( handle, 7 );
		DMSetStateBits( handle, row.before );
		gDMStateNotes.clear();
		const f32 turned = Pass();
		EXPECT_EQ( DMGetState( handle ), row.after );
		EXPECT_NEAR( turned, row.turns ? 0.5f : 0.0f, 1e-4f );
		EXPECT_EQ( gDMStateNotes.empty(), row.before == row.after );
	}
}

TEST_F( EFDMBoneTrackObjectTest, BehindHeightWindowAndBlendIn ) {
	// Behind: the angle is pi/2, not more; straight behind it still turns
	// a quarter (about the bone's up), never into a wrecked frame.
	for ( const DTVector3d& offset : { DTVector3d( 0.5f, 0.0f, -1.0f ), DTVector3d( 0.0f, 0.0f, -1.0f ) } ) {
		Drop( TARGET );
		Target( TARGET, offset );
		DMBoneTrackObjectParams params = Params( TARGET, 5.0f, 2.0f, 3.0f );
		DMSetParams( handle, &params );
		DMResetStateBits( handle, 7 );
		EXPECT_NEAR( Pass(), 1.5707964f, 1e-5f );
		EXPECT_NEAR( RwV3dLength( &bone->modelling.right ), 1.0f, 1e-5f );
	}
	// A height window of 1: 2 below is out of range however near; 0.5
	// below counts horizontally.
	Drop( TARGET );
	EFGameObject* const target = Target( TARGET, { 0.0f, -2.0f, 0.1f } );
	DMBoneTrackObjectParams params = Params( TARGET, 1.0f, 2.0f, 3.0f, 0.0f, 1.0f );
	DMSetParams( handle, &params );
	DMResetStateBits( handle, 7 );
	EXPECT_EQ( Pass(), 0.0f );
	EXPECT_EQ( DMGetState( handle ), 0u );
	target->GetFrame()->GetRwFrame()->modelling.pos.y = origin.y - 0.5f;
	target->GetFrame()->GetRwFrame()->modelling.pos.z = origin.z + 0.9f;
	RwFrameUpdateObjects( target->GetFrame()->GetRwFrame() );
	Pass();
	EXPECT_EQ( DMGetState( handle ), 4u );

	// Blend in over 1 s in steps of 0.25: a quarter, a half... of the angle.
	params = Params( TARGET, 5.0f, 2.0f, 3.0f, 1.0f );
	DMSetParams( handle, &params );
	DMResetStateBits( handle, 7 );
	const f32 full = std::atan2( 0.5f, 0.9f );
	for ( const f32 f : { 0.25f, 0.5f, 0.75f, 1.0f, 1.0f } ) {
		EXPECT_NEAR( Pass( 0.25f ), f * full, 1e-4f ) << f;
	}
	EXPECT_EQ( GetParams( params ).fMaxDistance, 5.0f );
}

TEST_F( EFDMBoneTrackObjectTest, AGroupTargetFollowsTheQuerysFirstObjectAndResolvedIdsAreReported ) {
	Target( TARGET, { 1.0f, 0.0f, 1.0f } )->muiGroupID = 7;
	Target( OTHER, { -1.0f, 0.0f, 1.0f } )->muiGroupID = 7;
	DMBoneTrackObjectParams params = Params( EF_QUERY_GROUP_ID, 5.0f, 2.0f, 0.3f );
	params.oQuery.groupID.uiGroupID = 7;
	DMSetParams( handle, &params );
	Pass();
	const f32 side = bone->modelling.at.x;
	EXPECT_NE( side, 0.0f );
	// The first one leaves the world: the other is followed.
	Drop( side > 0.0f ? TARGET : OTHER );
	Pass();
	EXPECT_LT( bone->modelling.at.x * side, 0.0f );

	struct Row {
		u32	given;
		u32	stored;
	};
	const Row rows[] = { { 0x2A0009FF, EF_DM_BONE_NO_TARGET }, { TARGET, TARGET }, { EF_QUERY_GROUP_ID, EF_QUERY_GROUP_ID } };
	for ( const Row& row : rows ) {
		if ( gpoWorldMgr->FindGameObject( TARGET ) == nullptr ) {
			Target( TARGET, {} );
		}
		params = Params( row.given, 2.0f, 1.0f, 0.5f );
		DMSetParams( handle, &params );
		EXPECT_EQ( GetParams( params ).ui32TargetId, row.stored );
	}
	// A withdrawn target counts as not found.
	gpoWorldMgr->FindGameObject( TARGET )->muiFlags |= EF_INSTANCE_WITHDRAWN;
	params = Params( TARGET, 2.0f, 1.0f, 0.5f );
	DMSetParams( handle, &params );
	EXPECT_EQ( GetParams( params ).ui32TargetId, EF_DM_BONE_NO_TARGET );
}

TEST_F( EFDMBoneTrackObjectTest, ABoneBeyondTheSkeletonOrNoBlendTimeOutOfRangeTurnsNothing ) {
	Target( TARGET, { 0.5f, 0.0f, 1.0f } );
	DMBoneTrackObjectParams params = Params( TARGET, 5.0f, 2.0f, 0.5f );
	params.ui32Bone = 50;
	DMSetParams( handle, &params );
	Pass();
	EXPECT_EQ( DMGetState( handle ), 0u );
	// Blend time 0 and the target out of range: never engaged, never turns.
	params = Params( TARGET, 0.5f, 2.0f, 0.5f );
	DMSetParams( handle, &params );
	for ( int pass = 0; pass < 3; pass++ ) {
		EXPECT_EQ( Pass(), 0.0f );
	}
	EXPECT_EQ( DMGetState( handle ), 0u );
}

}
