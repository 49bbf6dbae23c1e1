/*
	The nearest-point rule against a brute-force minimum over the polygon,
	and the environment probe: the offset and scale rules, the contact
	distance, the sizes restored after scaling, the begin / lost / final /
	cleared cycle with its notifications, a local offset turning with the
	body, and a primitive gone from the slot array.
*/
#include "framework/behaviour/BehaviourTestBench.h"
#include "framework/behaviour/SurfacePolygon.h"

#include "framework/behaviour/EFDMEnvColl.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"

#include <random>

namespace {

constexpr u32 HERO = 0x2A000600;
constexpr u32 TAG = 0x77;
constexpr f32 DT = 1.0f / 60.0f;

// The smallest distance from c to points sampled densely over the
// convex polygon (fans of triangles, barycentric grid).
f32 BruteDistance( const std::vector<DTVector3d>& v, const DTVector3d& c ) {
	constexpr int STEPS = 120;
	f32 best = INFINITY;
	for ( size_t k = 1; k + 1 < v.size(); k++ ) {
		for ( int i = 0; i <= STEPS; i++ ) {
			for ( int j = 0; i + j <= STEPS; j++ ) {
				const f32 a = static_cast<f32>( i ) / STEPS;
				const f32 b = static_cast<f32>( j ) / STEPS;
				const DTVector3d p = v[0] + ( v[k] - v[0] ) * a + ( v[k + 1] - v[0] ) * b;
				const DTVector3d d = p - c;
				best = std::fmin( best, std::sqrt( d * d ) );
			}
		}
	}
	return best;
}

TEST( EFDMNearestPointTest, MatchesTheBruteForceMinimumOverConvexPolygons ) {
	std::mt19937 random( 6140 );
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	u32 seen[4] = {};
	for ( int round = 0; round < 60; round++ ) {
		// A convex polygon: 3 to 8 sorted angles on an ellipse in a tilted
		// plane, radius 1 to 2.
		const u32 n = 3 + static_cast<u32>( random() % 6 );
		std::vector<f32> angles;
		for ( u32 i = 0; i < n; i++ ) {
			angles.push_back( ( unit( random ) + 1.0f ) * 3.14159265f );
		}
		std::sort( angles.begin(), angles.end() );
		const f32 rx = 1.5f + 0.5f * unit( random );
		const f32 rz = 1.5f + 0.5f * unit( random );
		const f32 tilt = 0.7f * unit( random );
		std::vector<DTVector3d> v;
		for ( const f32 a : angles ) {
			const f32 x = rx * std::cos( a );
			const f32 z = -rz * std::sin( a );
			v.push_back( DTVector3d( x, x * tilt, z ) );
		}
		SurfacePolygon polygon( v );
		for ( int k = 0; k < 40; k++ ) {
			const DTVector3d c( 3.0f * unit( random ), 1.5f * unit( random ), 3.0f * unit( random ) );
			DTVector3d w;
			const EFFindNearestPointResult_e result =
				EFCollisionStage_FindNearestPoint( polygon.Prim(), c, 100.0f, &w );
			ASSERT_NE( result, CS_FINDNEARESTPOINT_TOOFAR );
			seen[result]++;
			const f32 brute = BruteDistance( v, c );
			EXPECT_NEAR( std::sqrt( w * w ), brute, 0.03f ) << round << " " << k;
			// Within the limit only: a limit just under the distance refuses.
			DTVector3d unused;
			EXPECT_EQ( EFCollisionStage_FindNearestPoint( polygon.Prim(), c, ( w * w ) * 0.99f, &unused ),
					   CS_FINDNEARESTPOINT_TOOFAR );
		}
	}
	EXPECT_GT( seen[CS_FINDNEARESTPOINT_INPOLY], 0u );
	EXPECT_GT( seen[CS_FINDNEARESTPOINT_ONPOINT], 0u );
	EXPECT_GT( seen[CS_FINDNEARESTPOINT_ONEDGE], 0u );
}

TEST( EFDMNearestPointTest, RegionsAndTies ) {
	SurfacePolygon square( SquareAt( 0.0f ) );
	struct Row {
		const char*					name;
		DTVector3d					centre;
		EFFindNearestPointResult_e	result;
		DTVector3d					w;
	};
	const Row rows[] = {
		{ "over the face", { 0.2f, 0.5f, 0.3f }, CS_FINDNEARESTPOINT_INPOLY, { 0, -0.5f, 0 } },
		{ "on the face", { 0.2f, 0.0f, 0.3f }, CS_FINDNEARESTPOINT_INPOLY, { 0, 0, 0 } },
		{ "beside an edge", { 0.5f, 0.0f, 2.0f }, CS_FINDNEARESTPOINT_ONEDGE, { 0, 0, -1.0f } },
		// Equally far beyond two edges: the first edge decides, the vertex
		// is the answer either way.
		{ "diagonal tie at a corner", { 2.0f, 0.0f, 2.0f }, CS_FINDNEARESTPOINT_ONPOINT, { -1.0f, 0, -1.0f } },
		{ "past the other corner", { -3.0f, 1.0f, -2.0f }, CS_FINDNEARESTPOINT_ONPOINT, { 2.0f, -1.0f, 1.0f } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		DTVector3d w;
		EXPECT_EQ( EFCollisionStage_FindNearestPoint( square.Prim(), row.centre, 100.0f, &w ), row.result );
		EXPECT_NEAR( w.x, row.w.x, 1e-6f );
		EXPECT_NEAR( w.y, row.w.y, 1e-6f );
		EXPECT_NEAR( w.z, row.w.z, 1e-6f );
	}
	// A squared distance equal to the limit is kept, above it refused.
	DTVector3d w;
	EXPECT_EQ( EFCollisionStage_FindNearestPoint( square.Prim(), { 0, 0.5f, 0 }, 0.25f, &w ),
			   CS_FINDNEARESTPOINT_INPOLY );
	EXPECT_EQ( EFCollisionStage_FindNearestPoint( square.Prim(), { 0, 0.5f, 0 }, 0.2499f, &w ),
			   CS_FINDNEARESTPOINT_TOOFAR );
}

class EFDMEnvCollTest : public BehaviourTestBench {
protected:
	// The hero at (0, y, 0) with one primitive of shape, and an env probe
	// watching it with both masks 1.
	EFObjCollisionPrim* PlaceHero( const f32 y, const u32 shape = EF_PRIM_SPHERE, const f32 scale = 1.0f,
							   const DTVector3d& offset = DTVector3d(), const u32 local = 0 ) {
		body = MakeModuleBody( nextId++, 0.0f, y, 0.0f, 1 );
		prim = body->moCollisionModel.AddPrimitive( 0, TAG, shape, body->GetOwner()->GetFrame() );
		switch ( shape ) {
			case EF_PRIM_SPHERE:
				prim->mfMaxRadius = 0.5f;
				break;
			case EF_PRIM_SWEPT_SPHERE:
				static_cast<EFObjCollisionSweptSphere*>( prim )->SetRadius( 0.25f );
				static_cast<EFObjCollisionSweptSphere*>( prim )->SetVector( DTVector3d( 0, 0.25f, 0 ) );
				break;
			default:
				static_cast<EFObjCollisionBBox*>( prim )->SetHalfExtents( DTVector3d( 0.5f, 0.5f, 0.5f ) );
				break;
		}
		body->moCollisionModel.PrecalcData();
		handle = Add( nextId - 1, EF_DM_ENV_COLL );
		DMEnvCollParams params = { TAG, offset, scale, 0, local, 1 };
		DMSetParams( handle, &params );
		return prim;
	}

	void Update( EFCollisionStage* stage ) { Module<EFDMEnvColl>( handle )->PostColUpdate( stage, DT ); }

	EFCollisionStage Stage( std::vector<EFEnvCollisionPrim*>& list ) { return StageOf( record, list ); }

	DMEnvCollContact Contact() {
		DMEnvCollContact contact;
		std::memset( static_cast<void*>( &contact ), 0xAB, sizeof( contact ) );
		DMDoAction( handle, DM_ENV_COLL_GET_CONTACT, &contact );
		return contact;
	}

	u32					nextId = HERO;
	EFPhysic*			body = nullptr;
	EFObjCollisionPrim*	prim = nullptr;
	u32					handle = 0;
	EFDynamicPhysic		record = {};
};

TEST_F( EFDMEnvCollTest, ContactBeginsIsLostStaysLostAndSearchesAgainWhenCleared ) {
	PlaceHero( 0.5f );
	DMSetStateChangeNotifyBits( handle, 0x3 );
	SurfacePolygon floor( SquareAt( 0.0f ), 0x1 );
	floor.Attribs().fFriction = 0.75f;
	floor.Attribs().ui16Tag = 9;
	std::vector<EFEnvCollisionPrim*> list = { &floor.Prim() };
	std::vector<EFEnvCollisionPrim*> none;
	EFCollisionStage touching = Stage( list );
	EFCollisionStage empty = Stage( none );

	// Searching: the contact reads as zeros.
	DMEnvCollContact contact = Contact();
	EXPECT_EQ( contact.oNormal * contact.oNormal, 0.0f );
	EXPECT_EQ( contact.oAttribs.fFriction, 0.0f );
	EXPECT_EQ( contact.oAttribs.ui32DetectedBy, 0u );

	// A face at exactly the radius is a contact.
	Update( &touching );
	EXPECT_EQ( DMGetState( handle ), 1u );
	contact = Contact();
	EXPECT_EQ( contact.oNormal.y, 1.0f );
	EXPECT_EQ( contact.oAttribs.fFriction, 0.75f );
	EXPECT_EQ( contact.oAttribs.ui16Tag, 9u );
	EXPECT_EQ( contact.oPoint.y, 0.0f );
	Update( &touching );  // no repeat
	Update( nullptr );	  // no stage: nothing
	EXPECT_EQ( DMGetState( handle ), 1u );

	Update( &empty );
	EXPECT_EQ( DMGetState( handle ), 2u );
	EXPECT_EQ( Contact().oAttribs.fFriction, 0.0f );
	// Lost is final while its bit stays.
	Update( &touching );
	EXPECT_EQ( DMGetState( handle ), 2u );
	ASSERT_EQ( gDMStateNotes.size(), 2u );
	EXPECT_EQ( gDMStateNotes[0].record.ui32State, 1u );
	EXPECT_EQ( gDMStateNotes[0].record.ui32Changed, 1u );
	EXPECT_EQ( gDMStateNotes[1].record.ui32State, 2u );
	EXPECT_EQ( gDMStateNotes[1].record.ui32Changed, 2u );
	EXPECT_EQ( gDMStateNotes[1].record.ui32Type, EFDMEnvColl::TYPE_WORD );

	// Logic clears the bit (notified by the state operation): searching
	// again, and found again.
	DMResetStateBits( handle, 2 );
	Update( &touching );
	EXPECT_EQ( DMGetState( handle ), 1u );
	ASSERT_EQ( gDMStateNotes.size(), 4u );
	EXPECT_EQ( gDMStateNotes[3].record.ui32State, 1u );
}

TEST_F( EFDMEnvCollTest, WhatTheMasksAndTheDistanceLetThrough ) {
	struct Row {
		const char*	name;
		f32			y;
		u32			detectedBy;
		u32			udDetectedBy;
		u32			mask;
		u32			udMask;
		u32			state;
	};
	const Row rows[] = {
		{ "at exactly r", 0.5f, 0x1, 0, 0x1, 0, 1 },
		{ "just beyond r", 0.5001f, 0x1, 0, 0x1, 0, 0 },
		{ "through the user mask", 0.4f, 0, 0x4, 0, 0x4, 1 },
		{ "masks that miss", 0.4f, 0x2, 0x8, 0x1, 0x4, 0 },
		{ "both masks 0", 0.4f, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		PlaceHero( row.y );
		DMEnvCollParams params = { TAG, {}, 1.0f, row.udMask, 0, row.mask };
		DMSetParams( handle, &params );
		SurfacePolygon floor( SquareAt( 0.0f ), row.detectedBy, 0, row.udDetectedBy );
		std::vector<EFEnvCollisionPrim*> list = { &floor.Prim() };
		EFCollisionStage stage = Stage( list );
		Update( &stage );
		EXPECT_EQ( DMGetState( handle ), row.state );
	}
}

TEST_F( EFDMEnvCollTest, ScaledShapesKeepTheirSavedSizes ) {
	SurfacePolygon floor( SquareAt( 0.0f ) );
	std::vector<EFEnvCollisionPrim*> list = { &floor.Prim() };
	struct Row {
		const char*	name;
		u32			shape;
		f32			y;		   // 2x the size reaches the floor, 1x does not
	};
	const Row rows[] = {
		{ "sphere", EF_PRIM_SPHERE, 0.9f },
		{ "capsule", EF_PRIM_SWEPT_SPHERE, 0.9f },
		{ "box", EF_PRIM_BBOX, 0.9f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		for ( const f32 scale : { 1.0f, 2.0f } ) {
			PlaceHero( row.y, row.shape, scale );
			const f32 radius = prim->mfMaxRadius;
			const f32 capsuleRadius =
				row.shape == EF_PRIM_SWEPT_SPHERE ? static_cast<EFObjCollisionSweptSphere*>( prim )->mfRadius : 0;
			const DTVector3d axis =
				row.shape == EF_PRIM_SWEPT_SPHERE ? static_cast<EFObjCollisionSweptSphere*>( prim )->moVector
				: row.shape == EF_PRIM_BBOX		  ? static_cast<EFObjCollisionBBox*>( prim )->moHalfExtents
												  : DTVector3d();
			EFCollisionStage stage = Stage( list );
			Update( &stage );
			// The sphere's test reads its radius; the others keep the shape
			// their last precalculation gave.
			if ( row.shape == EF_PRIM_SPHERE ) {
				EXPECT_EQ( DMGetState( handle ), scale == 2.0f ? 1u : 0u ) << scale;
			}
			EXPECT_EQ( prim->mfMaxRadius, radius );
			if ( row.shape == EF_PRIM_SWEPT_SPHERE ) {
				const auto& capsule = *static_cast<EFObjCollisionSweptSphere*>( prim );
				EXPECT_EQ( capsule.mfRadius, capsuleRadius );
				EXPECT_EQ( std::memcmp( &capsule.moVector, &axis, sizeof axis ), 0 );
			}
			if ( row.shape == EF_PRIM_BBOX ) {
				const auto& box = *static_cast<EFObjCollisionBBox*>( prim );
				EXPECT_EQ( std::memcmp( &box.moHalfExtents, &axis, sizeof axis ), 0 );
			}
		}
	}
}

TEST_F( EFDMEnvCollTest, OffsetsMoveTheProbeAndSmallOnesCountAsZero ) {
	SurfacePolygon wall( { { 2, -5, 5 }, { 2, 5, 5 }, { 2, 5, -5 }, { 2, -5, -5 } } );	 // x = 2
	std::vector<EFEnvCollisionPrim*> list = { &wall.Prim() };
	struct Row {
		const char*	name;
		DTVector3d	offset;
		u32			local;
		f32			turn;		// body yaw, radians
		u32			state;
	};
	const Row rows[] = {
		{ "no offset", {}, 0, 0.0f, 0 },
		{ "world offset toward the wall", { 1.5f, 0, 0 }, 0, 0.0f, 1 },
		{ "world offset ignores the body's turn", { 1.5f, 0, 0 }, 0, 1.5707964f, 1 },
		{ "local offset along at, body unturned", { 0, 0, 1.5f }, 1, 0.0f, 0 },
		{ "local offset along at, body turned to face +x", { 0, 0, 1.5f }, 1, 1.5707964f, 1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		PlaceHero( 0.0f, EF_PRIM_SPHERE, 1.0f, row.offset, row.local );
		DTFrame* const frame = body->GetOwner()->GetFrame();
		const DTVector3d up( 0, 1, 0 );
		DMRotateInPlace( frame->GetRwFrame(), up, row.turn );
		EFCollisionStage stage = Stage( list );
		Update( &stage );
		EXPECT_EQ( DMGetState( handle ), row.state );
	}

	// (0.01, 0, 0) with scale 1: neither the primitive nor the centre
	// moves, so the wall 0.51 away stays out of reach.
	PlaceHero( 0.0f, EF_PRIM_SPHERE, 1.0f, DTVector3d( 0.01f, 0, 0 ) );
	MoveTo( *body->GetOwner(), 1.49f, 0.0f, 0.0f );
	body->moCollisionModel.PrecalcData();
	const DTVector3d before = prim->moPrimPos;
	EFCollisionStage stage = Stage( list );
	Update( &stage );
	EXPECT_EQ( DMGetState( handle ), 0u );
	EXPECT_EQ( std::memcmp( &prim->moPrimPos, &before, sizeof before ), 0 );
	EXPECT_EQ( prim->mfMaxRadius, 0.5f );
}

TEST_F( EFDMEnvCollTest, AnUnknownTagOrAShrunkSlotArrayMeansNoPrimitive ) {
	SurfacePolygon floor( SquareAt( 0.0f ) );
	std::vector<EFEnvCollisionPrim*> list = { &floor.Prim() };
	PlaceHero( 0.25f );
	DMEnvCollParams params = {};
	DMGetParams( handle, &params );
	EXPECT_EQ( params.ui32PrimTag, TAG );
	EXPECT_EQ( params.ui32DetectMask, 1u );

	// Logic shrinks the slot array after the set-up.
	body->moCollisionModel.SetMaxPrims( 0 );
	EFCollisionStage stage = Stage( list );
	Update( &stage );
	EXPECT_EQ( DMGetState( handle ), 0u );
	DMGetParams( handle, &params );
	EXPECT_EQ( params.ui32PrimTag, 0u );

	// An unknown tag, and the null record.
	PlaceHero( 0.25f );
	params = { 0x1234, {}, 1.0f, 0, 0, 1 };
	DMSetParams( handle, &params );
	Update( &stage );
	EXPECT_EQ( DMGetState( handle ), 0u );
	DMSetParams( handle, nullptr );
	DMGetParams( handle, &params );
	EXPECT_EQ( params.ui32PrimTag, 0u );
	EXPECT_EQ( params.fScale, 1.0f );
}

}
