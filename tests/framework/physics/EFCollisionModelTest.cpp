#include "framework/physics/EFCollisionModel.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFObjCollisionSphere.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "framework/physics/PhysicsTestBench.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

class DTFrame;

namespace {

// Primitives only keep their frame; none is ever dereferenced here.
DTFrame* const gFrame = reinterpret_cast<DTFrame*>( 0x1000 );

TEST( EFCollisionModelTest, FindsTheFirstPrimitiveOfATag ) {
	EFCollisionModel model( nullptr, 4 );
	model.mppoPrimArray[1] = new EFObjCollisionSphere( gFrame );
	model.mppoPrimArray[1]->mui32Tag = 7;
	model.mppoPrimArray[2] = new EFObjCollisionBBox( gFrame );
	model.mppoPrimArray[2]->mui32Tag = 9;
	model.mppoPrimArray[3] = new EFObjCollisionSphere( gFrame );
	model.mppoPrimArray[3]->mui32Tag = 7;
	struct Row {
		u32		tag;
		s32		index;
	};
	// Empty slots never match, not even tag 0.
	const Row rows[] = { { 7, 1 }, { 9, 2 }, { 0, -1 }, { 8, -1 } };
	for ( const Row& row : rows ) {
		EXPECT_EQ( model.PrimTagToPrimIndex( row.tag ), row.index ) << row.tag;
	}
	EFCollisionModel empty( nullptr, 0 );
	EXPECT_EQ( empty.PrimTagToPrimIndex( 0 ), -1 );
	EXPECT_EQ( empty.mppoPrimArray, nullptr );
}

TEST( EFCollisionModelTest, ResizingDeletesThePrimitivesAndLeavesEmptySlots ) {
	EFCollisionModel model( nullptr, 2 );
	model.mppoPrimArray[0] = new EFObjCollisionSweptSphere( gFrame );
	model.mppoPrimArray[1] = new EFObjCollisionPolygon( gFrame );
	for ( const u32 count : { 5u, 0u, 3u } ) {
		model.SetMaxPrims( count );
		EXPECT_EQ( model.mui32MaxPrims, count );
		for ( u32 i = 0; i < count; i++ ) {
			EXPECT_EQ( model.mppoPrimArray[i], nullptr );
		}
	}
	model.mppoPrimArray[2] = new EFObjCollisionSphere( gFrame );
	EXPECT_EQ( model.muiPrimaryPrimIndex, EF_NO_PRIMARY_PRIM );
}

TEST( EFCollisionModelTest, EveryShapeStartsUncomputedOnItsFrame ) {
	struct Row {
		EFObjCollisionPrim* ( *make )();
		u32					shape;
	};
	const Row rows[] = {
		{ []() -> EFObjCollisionPrim* { return new EFObjCollisionSphere( gFrame ); }, EF_PRIM_SPHERE },
		{ []() -> EFObjCollisionPrim* { return new EFObjCollisionSweptSphere( gFrame ); }, EF_PRIM_SWEPT_SPHERE },
		{ []() -> EFObjCollisionPrim* { return new EFObjCollisionBBox( gFrame ); }, EF_PRIM_BBOX },
		{ []() -> EFObjCollisionPrim* { return new EFObjCollisionPolygon( gFrame ); }, EF_PRIM_POLYGON },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.shape );
		std::unique_ptr<EFObjCollisionPrim> prim( row.make() );
		EXPECT_EQ( prim->mui32Shape, row.shape );
		EXPECT_EQ( prim->GetFrame(), gFrame );
		EXPECT_EQ( prim->moPrimPos.x, std::numeric_limits<f32>::max() );
	}
	const EFObjCollisionSweptSphere swept( gFrame );
	EXPECT_EQ( swept.moVector.y, EF_SWEPT_SPHERE_DEFAULT_LENGTH );
}

}

namespace {

class EFCollisionModelFrameTest : public PhysicsTestBench {};

TEST_F( EFCollisionModelFrameTest, AddPrimitiveMakesEachShapeInItsSlotAndRefusesOthers ) {
	EFGameObject* const object = MakeObject( 0x2A000001 );
	DTFrame* const frame = object->GetFrame();
	EFCollisionModel model( object, 2 );
	struct Row {
		u32		shape;
		bool	made;
	} rows[] = { { EF_PRIM_SPHERE, true }, { EF_PRIM_SWEPT_SPHERE, true }, { EF_PRIM_BBOX, true },
				 { EF_PRIM_POLYGON, true }, { 4, false } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.shape );
		// The slot's earlier primitive goes (a leak would show under ASan).
		EFObjCollisionPrim* const prim = model.AddPrimitive( 1, 0x40 + row.shape, row.shape, frame );
		ASSERT_EQ( prim != nullptr, row.made );
		if ( !row.made ) {
			continue;
		}
		EXPECT_EQ( model.mppoPrimArray[1], prim );
		EXPECT_EQ( prim->mui32Shape, row.shape );
		EXPECT_EQ( prim->mui32Tag, 0x40 + row.shape );
		EXPECT_EQ( prim->GetFrame(), frame );
		EXPECT_EQ( prim->mfMaxRadius, 0.0f );
		EXPECT_EQ( prim->moPrimPos.x, std::numeric_limits<f32>::max() );
		EXPECT_EQ( model.PrimTagToPrimIndex( 0x40 + row.shape ), 1 );
	}
	EXPECT_EQ( static_cast<EFObjCollisionPolygon*>( model.mppoPrimArray[1] )->mui32NbPolygons, 0u );
	EXPECT_TRUE( static_cast<EFObjCollisionPolygon*>( model.mppoPrimArray[1] )->HasMatrices() );
	EFObjCollisionBBox* const box = static_cast<EFObjCollisionBBox*>( model.AddPrimitive( 0, 1, EF_PRIM_BBOX, frame ) );
	EXPECT_TRUE( box->HasMatrices() );
	EXPECT_EQ( box->moHalfExtents.x, 0.0f );
	// Past the slots: nothing is written.
	EXPECT_EQ( model.AddPrimitive( 2, 1, EF_PRIM_SPHERE, frame ), nullptr );
	EXPECT_EQ( model.AddPrimitive( 0xFFFFFFFF, 1, EF_PRIM_SPHERE, frame ), nullptr );
	EFCollisionModel empty( object, 0 );
	EXPECT_EQ( empty.AddPrimitive( 0, 1, EF_PRIM_SPHERE, frame ), nullptr );
}

TEST_F( EFCollisionModelFrameTest, MasksFollowThePrimitivesWordsAtEachPrecomputation ) {
	EFPhysic* const body = MakeBody( 0x2A000001, 0, 3 );
	ScriptedPrim* const first = GivePrim( body, 0, { 0, 0x1, 0x2, 0x4, 0x8, 0x10, 0x20 } );
	GivePrim( body, 2, { 0, 0x100, 0x200, 0x400, 0x800, 0x1000, 0x2000 } );
	EFCollisionModel& model = body->moCollisionModel;
	model.PrecalcData();
	const u32 masks[] = { model.muiCollisionType, model.muiCollisionDetectType, model.muiCollisionUDType,
						  model.muiCollisionUDDetectType, model.muiEnvDetectType, model.muiUDEnvDetectType };
	EXPECT_EQ( std::vector<u32>( masks, masks + 6 ),
			   ( std::vector<u32>{ 0x101, 0x202, 0x404, 0x808, 0x1010, 0x2020 } ) );
	first->moBaseAttrib.IntArray[EF_ATTR_ENV_DETECT] = 0;
	first->UpdateCurrentAttribs();
	model.PrecalcData();
	EXPECT_EQ( model.muiEnvDetectType, 0x1000u );
	// The primitives' world positions were refreshed from the frame.
	EXPECT_EQ( first->moPrimPos.x, 0.0f );
}

TEST_F( EFCollisionModelFrameTest, ThePrimaryPrimitiveIsCheckedOnlyForLargeMovesWithinConsecutiveFrames ) {
	EFPhysic* const body = MakeBody( 0x2A000001, 0, 1 );
	ScriptedPrim* const prim = GivePrim( body, 0, { 0, 0, 0, 0, 0, 0x1 } );
	prim->minRadius = 1.0f;
	EFCollisionModel& model = body->moCollisionModel;
	model.muiPrimaryPrimIndex = 0;
	EFCollisionStage stage = {};
	manager.Update( 1.0f / 60.0f );
	manager.Update( 1.0f / 60.0f );
	const struct {
		u32			frames;		// physics frames before the check
		f32			x;			// the owner's position
		f32			saved;
	} steps[] = {
		// Long absent: the save is refreshed.
		{ 0, 3.0f, 3.0f },
		// Below half the smallest radius: not checked, the save stays.
		{ 0, 3.4f, 3.0f },
		{ 1, 3.45f, 3.0f },
		{ 0, 3.6f, 3.6f },
		// Absent for more than one frame: a teleport is only saved.
		{ 2, 10.0f, 10.0f },
	};
	for ( const auto& step : steps ) {
		for ( u32 i = 0; i < step.frames; i++ ) {
			manager.Update( 1.0f / 60.0f );
		}
		MoveTo( *OwnerOf( body ), step.x, 0.0f, 0.0f );
		EXPECT_EQ( model.ValidatePrimaryPrimTrans( &stage ), 0u );
		EXPECT_FLOAT_EQ( model.moPrimaryPrimSavedPos.x, step.saved ) << step.x;
		EXPECT_FLOAT_EQ( WorldPos( *OwnerOf( body ) ).x, step.x );
	}
	EXPECT_EQ( model.muiLastPrimaryPrimSaveCount, manager.GetCurrentSaveCount() );
}

}
