#include "framework/physics/EFCollisionModel.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFObjCollisionSphere.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"

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
