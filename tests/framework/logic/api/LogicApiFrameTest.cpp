/*
	The game-object table's frame slots on frames of the 3D library,
	checked against GLM: moves that are ignored and moves that are not,
	turning around a point, aligning and looking, orientation taken from
	a frame under a rotated parent, vectors through the world matrix, the
	primary primitive re-based by SetTranslation, and unknown things.
*/
#include "framework/core/world/WorldTestBench.h"

#include "framework/core/world/EFGameObjectFlags.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/physics/EFCollisionModel.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/logic/api/LogicApiTables.h"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr u32 OBJECT = 0x2A000031;
constexpr u32 PARENT = 0x2A000032;
constexpr u32 UNKNOWN = 0x2A000099;
constexpr u32 WITHDRAWN = 0x2A000034;
constexpr u32 WATER = 0x2A000035;
constexpr f32 TOLERANCE = 2e-4f;

glm::mat4 ToGlm( const DTMatrix& m ) {
	glm::mat4 g( 1.0f );
	const DTVector3d* const rows[4] = { m.GetRight(), m.GetUp(), m.GetAt(), m.GetPos() };
	for ( s32 c = 0; c < 4; c++ ) {
		g[c] = glm::vec4( rows[c]->x, rows[c]->y, rows[c]->z, c == 3 ? 1.0f : 0.0f );
	}
	return g;
}

void ExpectNear( const DTVector3d& v, const glm::vec3& g, const f32 tolerance = TOLERANCE ) {
	EXPECT_NEAR( v.x, g.x, tolerance );
	EXPECT_NEAR( v.y, g.y, tolerance );
	EXPECT_NEAR( v.z, g.z, tolerance );
}

glm::vec3 G( const DTVector3d& v ) {
	return glm::vec3( v.x, v.y, v.z );
}

class LogicApiFrameTest : public WorldTestBench {
protected:
	void SetUp() override {
		WorldTestBench::SetUp();
		Init_gameobj();
		object = MakeObject( OBJECT, 1.0f, 2.0f, 3.0f );
	}

	DTMatrix& Local() { return *APIgameobj.GetLMat( OBJECT ); }

	EFGameObject* object = nullptr;
};

TEST_F( LogicApiFrameTest, TinyMovesAreIgnoredAndTurnsKeepTheirPointInPlace ) {
	DTVector3d tiny( 1e-8f, 0.0f, 0.0f );
	APIgameobj.Translate( OBJECT, &tiny );
	ExpectNear( *Local().GetPos(), glm::vec3( 1.0f, 2.0f, 3.0f ), 0.0f );
	DTVector3d small( 1e-6f, 0.0f, 0.0f );
	APIgameobj.Translate( OBJECT, &small );
	EXPECT_NE( Local().GetPos()->x, 1.0f );

	// A turn around a point of the object's own axes leaves that point's
	// place alone, as GLM computes it.
	DTVector3d axis( 0.0f, 1.0f, 0.0f );
	APIgameobj.SetTranslation( OBJECT, &axis );
	DTVector3d point( 2.0f, 0.0f, 1.0f );
	const glm::mat4 before = ToGlm( Local() );
	const glm::vec3 placeBefore = glm::vec3( before * glm::vec4( G( point ), 1.0f ) );
	APIgameobj.RotateAround( OBJECT, &axis, 0.7f, &point );
	const glm::vec3 placeAfter = glm::vec3( ToGlm( Local() ) * glm::vec4( G( point ), 1.0f ) );
	EXPECT_NEAR( glm::length( placeAfter - placeBefore ), 0.0f, TOLERANCE );
	const glm::mat4 turned = before * glm::rotate( glm::mat4( 1.0f ), 0.7f, glm::vec3( 0, 1, 0 ) );
	ExpectNear( *Local().GetAt(), glm::vec3( turned[2] ) );

	// Rotate turns in place.
	const DTVector3d position = *Local().GetPos();
	APIgameobj.Rotate( OBJECT, &axis, 1.1f );
	ExpectNear( *Local().GetPos(), G( position ), 0.0f );
}

TEST_F( LogicApiFrameTest, AligningAndLookingFollowTheirVectors ) {
	struct Row {
		const char* name;
		DTVector3d	dir;
	};
	const Row rows[] = {
		{ "the same direction", DTVector3d( 0.0f, 0.0f, 5.0f ) },
		{ "the opposite direction", DTVector3d( 0.0f, 0.0f, -2.0f ) },
		{ "a general direction", DTVector3d( 1.0f, 2.0f, -0.5f ) },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		APIgameobj.SetIdentity( OBJECT );
		DTVector3d dir = row.dir;
		APIgameobj.AlignAtWith( OBJECT, &dir );
		ExpectNear( *Local().GetAt(), glm::normalize( G( row.dir ) ), 1e-3f );
		// Still a rotation: right = up x at.
		ExpectNear( *Local().GetRight(), glm::cross( G( *Local().GetUp() ), G( *Local().GetAt() ) ), 1e-3f );
		// The half turn keeps up.
		if ( row.dir.z < 0.0f && row.dir.x == 0.0f ) {
			ExpectNear( *Local().GetUp(), glm::vec3( 0.0f, 1.0f, 0.0f ), 0.0f );
		}
	}

	DTVector3d at( 0.0f, 0.0f, 3.0f );
	DTVector3d up( 0.0f, 2.0f, 1.0f );
	APIgameobj.LookAtAlignUp( OBJECT, &at, &up );
	ExpectNear( *Local().GetAt(), glm::vec3( 0.0f, 0.0f, 3.0f ), 0.0f );	// as given
	const glm::vec3 right = glm::normalize( glm::cross( G( up ), G( at ) ) );
	ExpectNear( *Local().GetRight(), right );
	ExpectNear( *Local().GetUp(), glm::normalize( glm::cross( G( at ), right ) ) );
	APIgameobj.LookUpAlignAt( OBJECT, &up, &at );
	ExpectNear( *Local().GetUp(), G( up ), 0.0f );
	ExpectNear( *Local().GetAt(), glm::normalize( glm::cross( right, G( up ) ) ) );
}

TEST_F( LogicApiFrameTest, OrientationAndVectorsComeFromTheWorldMatrix ) {
	EFGameObject* const parent = MakeObject( PARENT, 0.0f, 5.0f, 0.0f );
	DTVector3d axis( 0.0f, 0.0f, 1.0f );
	APIgameobj.Rotate( PARENT, &axis, 0.5f );
	EFGameObject* const child = MakeObject( 0x2A000033, 1.0f, 0.0f, 0.0f );
	APIgameobj.AddChild( PARENT, 0x7FFFFFFF, 0x2A000033, 0 );
	ASSERT_EQ( child->GetFrame()->GetRwFrame()->root, parent->GetFrame()->GetRwFrame() );
	const glm::mat4 world = ToGlm( *APIgameobj.GetWMat( 0x2A000033 ) );

	APIgameobj.TakeOrientation( OBJECT, 0x2A000033, 0x7FFFFFFF );
	ExpectNear( *Local().GetRight(), glm::vec3( world[0] ) );
	ExpectNear( *Local().GetAt(), glm::vec3( world[2] ) );
	ExpectNear( *Local().GetPos(), glm::vec3( 1.0f, 2.0f, 3.0f ), 0.0f );

	DTVector3d position;
	EXPECT_EQ( APIgameobj.GetPosition( 0x2A000033, 0x7FFFFFFF, &position ), &position );
	ExpectNear( position, glm::vec3( world[3] ) );
	// In place: the direction turns, no translation.
	DTVector3d v( 1.0f, 0.0f, 0.0f );
	APIgameobj.TransformVector( 0x2A000033, &v, &v );
	ExpectNear( v, glm::vec3( world * glm::vec4( 1.0f, 0.0f, 0.0f, 0.0f ) ) );
	// Without the work matrix, nothing is inverted.
	DTMatrix* const work = DTMatrix::mpoWork;
	DTMatrix::mpoWork = nullptr;
	DTVector3d kept( 4.0f, 4.0f, 4.0f );
	APIgameobj.InvertTransformVector( 0x2A000033, &v, &kept );
	ExpectNear( kept, glm::vec3( 4.0f ), 0.0f );
	DTMatrix::mpoWork = work;
}

TEST_F( LogicApiFrameTest, UnknownAndWithdrawnThingsGiveZerosAndNulls ) {
	EFGameObject* const withdrawn = MakeObject( WITHDRAWN, 5.0f, 5.0f, 5.0f );
	withdrawn->muiFlags |= EF_INSTANCE_WITHDRAWN;
	DTMatrix m = Local();
	for ( const u32 id : { UNKNOWN, WITHDRAWN } ) {
		SCOPED_TRACE( id );
		DTVector3d out( 7.0f, 7.0f, 7.0f );
		for ( auto* slot : { APIgameobj.GetPosition, APIgameobj.GetLookAt, APIgameobj.GetLookUp, APIgameobj.GetLookRight } ) {
			out = DTVector3d( 7.0f, 7.0f, 7.0f );
			EXPECT_EQ( slot( id, 0x7FFFFFFF, &out ), &out );
			ExpectNear( out, glm::vec3( 0.0f ), 0.0f );
		}
		EXPECT_EQ( APIgameobj.GetLMat( id ), nullptr );
		EXPECT_EQ( APIgameobj.GetWMat( id ), nullptr );
		EXPECT_EQ( APIgameobj.GetBoneWMat( id, 0x7FFFFFFF ), nullptr );
		APIgameobj.SetLMat( id, &m );
		DTVector3d delta( 1.0f, 1.0f, 1.0f );
		APIgameobj.Translate( id, &delta );
		APIgameobj.SetTranslation( id, &delta );
		APIgameobj.TakeOrientation( OBJECT, id, 0x7FFFFFFF );
		EXPECT_EQ( APIgameobj.GetBoundingSphereRadius( id ), 0.0f );
	}
	const RwV3d& kept = withdrawn->GetFrame()->moFrame.modelling.pos;
	ExpectNear( DTVector3d( kept.x, kept.y, kept.z ), glm::vec3( 5.0f ), 0.0f );
	// A joint the object does not have.
	DTVector3d out( 7.0f, 7.0f, 7.0f );
	APIgameobj.GetPosition( OBJECT, 3, &out );
	ExpectNear( out, glm::vec3( 0.0f ), 0.0f );
	EXPECT_EQ( APIgameobj.GetBoneLMat( OBJECT, 3 ), nullptr );
	APIgameobj.SetBoneLMat( OBJECT, 3, &m );
	ExpectNear( *Local().GetPos(), glm::vec3( 1.0f, 2.0f, 3.0f ), 0.0f );
	// A copy onto itself is skipped.
	APIgameobj.SetLMat( OBJECT, &Local() );
	ExpectNear( *Local().GetPos(), glm::vec3( 1.0f, 2.0f, 3.0f ), 0.0f );
}

TEST_F( LogicApiFrameTest, ADisabledObjectLeavesThePerFrameListsAndTakesItsClumpsWithIt ) {
	MakeCamera();
	MoveTo( *object, 0.0f, 0.0f, 10.0f );
	RecordingModel* const model = GiveModel( *object );
	gpoWorldMgr->Add3dObj( model );
	object->muiUtilFlag |= EF_UTIL_CLUMPS_IN_WORLD;
	RpWorld* const level = gpoWorldMgr->GetCurrentWorld();
	ASSERT_EQ( RpClumpGetWorld( model->mpClump ), level );
	gpoWorldMgr->PrepareRender();
	gpoWorldMgr->ClipGameObjects();
	EXPECT_EQ( List( EF_WORLD_LOGIC_LIST ), std::vector<EFGameObject*>{ object } );

	APIgameobj.EnableObject( OBJECT, 0 );
	EXPECT_EQ( RpClumpGetWorld( model->mpClump ), nullptr );
	EXPECT_EQ( object->muiUtilFlag & EF_UTIL_CLUMPS_IN_WORLD, 0u );
	EXPECT_EQ( gpoWorldMgr->GetFirstGameObject(), nullptr );
	EXPECT_EQ( gpoWorldMgr->GetFirstDisabledGameObject(), object );
	EXPECT_EQ( gpoWorldMgr->FindGameObject( OBJECT ), object );
	gpoWorldMgr->ClipGameObjects();
	EXPECT_TRUE( List( EF_WORLD_LOGIC_LIST ).empty() );
	// Disabling again changes nothing.
	APIgameobj.EnableObject( OBJECT, 0 );
	EXPECT_EQ( gpoWorldMgr->GetFirstDisabledGameObject(), object );

	APIgameobj.EnableObject( OBJECT, 1 );
	EXPECT_EQ( RpClumpGetWorld( model->mpClump ), level );
	EXPECT_NE( object->muiUtilFlag & EF_UTIL_CLUMPS_IN_WORLD, 0u );
	EXPECT_EQ( gpoWorldMgr->GetFirstDisabledGameObject(), nullptr );
	gpoWorldMgr->ClipGameObjects();
	EXPECT_EQ( List( EF_WORLD_LOGIC_LIST ), std::vector<EFGameObject*>{ object } );
	// A grid draws itself: enabling its object never puts its quad in the
	// world.
	EFGameObject* const water = MakeObject( WATER, 0.0f, 0.0f, 10.0f );
	RecordingGrid* const grid = GiveModel<RecordingGrid>( *water );
	for ( const u32 enable : { 0u, 1u } ) {
		APIgameobj.EnableObject( WATER, enable );
		EXPECT_EQ( RpClumpGetWorld( grid->mpClump ), nullptr ) << enable;
	}
}

TEST_F( LogicApiFrameTest, SetTranslationRebasesAPrimaryPrimitiveThatReallyExists ) {
	EFPhysic* const body = object->CreatePhysic( 0 );
	ASSERT_NE( body, nullptr );
	EFCollisionModel& model = body->moCollisionModel;
	model.SetMaxPrims( 1 );
	EFObjCollisionPrim* const primitive = model.AddPrimitive( 0, 1, EF_PRIM_SPHERE, object->GetFrame() );
	ASSERT_NE( primitive, nullptr );
	struct Row {
		const char* name;
		u32			index;
		bool		rebased;
	};
	const Row rows[] = {
		{ "no primary primitive", 0xFFFFFFFF, false },
		{ "an index past the table", 1, false },
		{ "the primitive", 0, true },
	};
	f32 x = 10.0f;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		model.muiPrimaryPrimIndex = row.index;
		model.moPrimaryPrimSavedPos = DTVector3d( -1.0f, -1.0f, -1.0f );
		model.muiLastPrimaryPrimSaveCount = 0xABCD;
		DTVector3d safe( x, 0.0f, 0.0f );
		APIgameobj.SetTranslationSafe( OBJECT, &safe );
		EXPECT_EQ( model.muiLastPrimaryPrimSaveCount, 0xABCDu );
		DTVector3d pos( x, 4.0f, 0.0f );
		APIgameobj.SetTranslation( OBJECT, &pos );
		ExpectNear( *Local().GetPos(), glm::vec3( x, 4.0f, 0.0f ), 0.0f );
		if ( row.rebased ) {
			ExpectNear( model.moPrimaryPrimSavedPos, G( primitive->moPrimPos ), 0.0f );
			ExpectNear( model.moPrimaryPrimSavedPos, glm::vec3( x, 4.0f, 0.0f ) );
			EXPECT_EQ( model.muiLastPrimaryPrimSaveCount, gpoPhysicMgr->GetCurrentSaveCount() );
		} else {
			ExpectNear( model.moPrimaryPrimSavedPos, glm::vec3( -1.0f ), 0.0f );
			EXPECT_EQ( model.muiLastPrimaryPrimSaveCount, 0xABCDu );
		}
		x += 5.0f;
	}
	gpoWorldMgr->Terminate();
	EFPhysicMgr::moPhysicMgr.UpdateDeletedPhysic();
}

}
