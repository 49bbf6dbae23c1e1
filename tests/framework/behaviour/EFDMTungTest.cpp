/*
	The tongue on the ten-node skeleton (root node 0, base node 1, tip
	node 2, each half a unit above its parent): the turn-back boundary
	against the root's forward axis, what stops the tip (a wall quietly,
	an object with one notification 3), the request cleared while
	extending, the retraction back to ready, and absent bones.
	Steps of 0.5 units (speed 4, dt 0.125) keep the directions exact.
*/
#include "framework/behaviour/SkeletonTestBench.h"

#include "framework/behaviour/EFDMTung.h"

#include <cmath>

namespace {

constexpr u32 OWNER = 0x2A000700;
constexpr u32 PREY = 0x2A000701;
constexpr f32 DT = 0.125f;

class EFDMTungTest : public SkeletonTestBench {
protected:
	// The tongue on a skeleton (or none), every state change notified.
	EFDMTung* MakeTongue( const bool skeleton = true, const u32 owner = OWNER ) {
		EFPhysic* const body = MakeModuleBody( owner );
		if ( skeleton ) {
			hierarchy = &GiveSkeleton( *OwnerOf( body ) );
		}
		Capture( owner, NO_PHYSIC_OBJECTCOLLISION );
		const u32 handle = Add( owner, EF_DM_TUNG );
		DMSetStateChangeNotifyBits( handle, 0xFFFFFFFF );
		return Module<EFDMTung>( handle );
	}

	// Shoots at target with the defaults but a step of 0.5 per update.
	static void Shoot( EFDMTung* tongue, const DTVector3d& target ) {
		DMTungParams params = DMTungDefaults();
		params.fExtendSpeed = 4.0f;
		params.ui32Shoot = 1;
		params.oTarget = target;
		tongue->SetParams( &params );
	}

	// Updates until the tongue is ready again (at most limit); how many.
	static u32 RunToReady( EFDMTung* tongue, const u32 limit = 40 ) {
		u32 n = 0;
		do {
			tongue->PostColUpdate( nullptr, DT );
			n++;
		} while ( tongue->GetExclusiveState() != EF_DM_TUNG_READY && n < limit );
		return n;
	}

	std::vector<u32> States() const {
		std::vector<u32> states;
		for ( const DMStateNote& note : gDMStateNotes ) {
			EXPECT_EQ( note.record.ui32State, note.record.ui32Changed );
			states.push_back( note.record.ui32State );
		}
		return states;
	}

	RwFrame* Node( const s32 i ) const { return hierarchy->pNodeInfo[i].pFrame; }

	RpHAnimHierarchy* hierarchy = nullptr;
};

TEST_F( EFDMTungTest, ATargetBehindTurnsTheTongueBackOnlyBelowMinusSevenTenths ) {
	EFDMTung* const tongue = MakeTongue();
	EXPECT_EQ( tongue->GetExclusiveState(), EF_DM_TUNG_READY );
	struct Row {
		f32	forwardZ;	// of the root's forward axis; the tongue goes along -z
		u32	state;
	};
	for ( const Row& row : { Row{ 0.7f, EF_DM_TUNG_EXTENDING }, Row{ 0.71f, EF_DM_TUNG_RETRACTING } } ) {
		SCOPED_TRACE( row.forwardZ );
		// The root turned about y: its forward has exactly that z.
		const f32 x = std::sqrt( 1.0f - row.forwardZ * row.forwardZ );
		RwMatrix& root = Node( 0 )->modelling;
		root.right = { row.forwardZ, 0.0f, -x };
		root.up = { 0.0f, 1.0f, 0.0f };
		root.at = { x, 0.0f, row.forwardZ };
		RwFrameUpdateObjects( Node( 0 ) );
		tongue->mui32State = EF_DM_TUNG_READY;
		Shoot( tongue, DTVector3d( 0.0f, 1.0f, -8.0f ) );
		tongue->PostColUpdate( nullptr, DT );
		EXPECT_EQ( tongue->GetExclusiveState(), row.state );
		EXPECT_EQ( tongue->moTipPosition.z, -0.5f );
		EXPECT_EQ( tongue->mfLength, 1.5f );
	}
}

TEST_F( EFDMTungTest, AWallStopsTheTipQuietlyAndAnObjectIsReportedOnce ) {
	AddWorld( World( { WallFacingMinusX( 3.0f ) } ) );
	SphereSetup prey;
	prey.type = 0x2;
	MakeSphere( PREY, DTVector3d( 0.0f, 1.0f, 2.0f ), prey );
	EFDMTung* const tongue = MakeTongue();
	struct Row {
		const char*	name;
		DTVector3d	target;
		DTVector3d	stop;
		u32			notes;
	};
	const Row rows[] = {
		{ "wall", { 8.0f, 1.0f, 0.0f }, { 3.0f, 1.0f, 0.0f }, 0 },
		{ "object", { 0.0f, 1.0f, 8.0f }, { 0.0f, 1.0f, 1.5f }, 1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		gPhysicsNotes.clear();
		gDMStateNotes.clear();
		Shoot( tongue, row.target );
		u32 n = 0;
		while ( tongue->GetExclusiveState() != EF_DM_TUNG_CAUGHT && n++ < 20 ) {
			tongue->PostColUpdate( nullptr, DT );
		}
		ASSERT_EQ( tongue->GetExclusiveState(), EF_DM_TUNG_CAUGHT );
		EXPECT_NEAR( ( tongue->moTipPosition - row.stop ).LengthSquare(), 0.0f, 1e-8f );
		EXPECT_EQ( tongue->moTarget.x, tongue->moTipPosition.x );
		EXPECT_EQ( tongue->mfLength, tongue->mfFullLength );
		RunToReady( tongue );
		EXPECT_EQ( States(), ( std::vector<u32>{ EF_DM_TUNG_EXTENDING, EF_DM_TUNG_CAUGHT, EF_DM_TUNG_RETRACTING,
												 EF_DM_TUNG_READY } ) );
		EXPECT_EQ( tongue->mui32Shoot, 0u );
		const std::vector<ContactNote> notes = ContactNotes( NO_PHYSIC_OBJECTCOLLISION );
		ASSERT_EQ( notes.size(), row.notes );
		if ( row.notes == 1 ) {
			const EFObjectCollisionRecord& record = notes[0].record;
			EXPECT_EQ( notes[0].target, OWNER );
			EXPECT_EQ( record.ui32Side, 1u );
			EXPECT_EQ( record.ui32Tag, EF_DM_TUNG_TAG );
			EXPECT_EQ( record.ui32OtherId, PREY );
			EXPECT_EQ( record.ui32OtherTag, 0u );
			for ( const u32 word : record.aui32Attribs ) {
				EXPECT_EQ( word, 0u );
			}
			EXPECT_EQ( record.oVelocity.z, 1.0f );
			EXPECT_EQ( record.oVelocity.x * record.oVelocity.x + record.oVelocity.y * record.oVelocity.y, 0.0f );
			EXPECT_EQ( record.oOtherVelocity.LengthSquare(), 0.0f );
		}
	}
}

TEST_F( EFDMTungTest, ClearingTheRequestEndsTheExtensionAtFullLengthAndTheTongueComesBackWhole ) {
	EFDMTung* const tongue = MakeTongue();
	Shoot( tongue, DTVector3d( 0.0f, 1.0f, 8.0f ) );
	tongue->PostColUpdate( nullptr, DT );
	tongue->PostColUpdate( nullptr, DT );
	EXPECT_EQ( tongue->GetExclusiveState(), EF_DM_TUNG_EXTENDING );
	EXPECT_EQ( tongue->moTipPosition.z, 1.0f );
	EXPECT_EQ( tongue->moTipPosition.y, 1.0f );
	// The tip bone sits at the tip, in the base's axes.
	EXPECT_NEAR( RwFrameGetLTM( Node( 2 ) )->pos.z, 1.0f, 1e-6f );

	tongue->mui32Shoot = 0;
	tongue->PostColUpdate( nullptr, DT );
	EXPECT_EQ( tongue->GetExclusiveState(), EF_DM_TUNG_FULL );
	EXPECT_EQ( tongue->mfLength, 8.0f );
	// Drawn to 5% at once, then the base shrinks for the countdown.
	EXPECT_LE( RunToReady( tongue ), 5u );
	EXPECT_EQ( tongue->GetExclusiveState(), EF_DM_TUNG_READY );
	const RwMatrix& base = Node( 1 )->modelling;
	EXPECT_NEAR( base.right.x, 1.0f, 1e-6f );
	EXPECT_NEAR( base.up.y, 1.0f, 1e-6f );
	EXPECT_NEAR( base.at.z, 1.0f, 1e-6f );
	EXPECT_NEAR( base.pos.y, 0.5f, 1e-6f );
	// Ready without a request: nothing but the base's alignment.
	gDMStateNotes.clear();
	tongue->PostColUpdate( nullptr, DT );
	EXPECT_TRUE( gDMStateNotes.empty() );
}

TEST_F( EFDMTungTest, WithoutItsBonesTheTongueDoesNothing ) {
	struct Row {
		const char*	name;
		bool		skeleton;
		u32			base;
		u32			tip;
	};
	const Row rows[] = {
		{ "no hierarchy", false, 1, 2 },
		{ "base id 50", true, 50, 2 },
		{ "tip id 50", true, 1, 50 },
	};
	u32 owner = OWNER;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFDMTung* const tongue = MakeTongue( row.skeleton, owner++ );
		DMTungParams params = DMTungDefaults();
		params.ui32BaseBone = row.base;
		params.ui32TipBone = row.tip;
		params.ui32Shoot = 1;
		tongue->SetParams( &params );
		for ( u32 i = 0; i < 4; i++ ) {
			tongue->PostColUpdate( nullptr, DT );
		}
		EXPECT_EQ( tongue->GetExclusiveState(), EF_DM_TUNG_READY );
		EXPECT_EQ( tongue->mfLength, 0.0f );
	}
}

}
