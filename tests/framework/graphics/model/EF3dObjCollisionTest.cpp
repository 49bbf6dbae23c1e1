/*
	Bodies built from a model's collision primitives: one row per stored
	shape (joint frame, offset, sizes, merged defaults), the once-only
	defaults, the animation records' copies, a model without records,
	polygon counts seen alike through one clump, its clone and a shallow
	copy, and a record index past the model's records.
*/
#include "ModelTestBench.h"

#include "../../physics/CollisionPrimitivesFixture.h"
#include "graphics3d/core/RwTestChunks.h"
#include "framework/graphics/animation/EFAnimCollPrim.h"
#include "framework/physics/ApCollisionPrimitivesPlugin.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFObjCollisionSphere.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/world/RpHAnim.h"
#include "tools/lib/graphics3d/ToolClumpWriter.h"
#include "tools/lib/graphics3d/ToolSampleModel.h"
#include "tools/lib/level/ToolModelResourceWriter.h"

#include <cmath>
#include <memory>

namespace {

using namespace collision_primitives_fixture;

constexpr u32 MODEL_ID = 0x5B00000A;
constexpr u32 HIERARCHY_MODELLING_MATRICES = 0x1000;
constexpr u32 DEFAULTS_SET = 0x01;

// The fixture's four shapes and a sphere on joint 40, past the skeleton.
ToolCollisionPrims Shapes() {
	ToolCollisionPrims prims = AllShapes();
	ToolCollisionPrim far = Prim( 0, 5, 40, { 0.75f } );
	far.offset = { 0, 0, 2 };
	prims.prims.push_back( far );
	prims.prims[0].offset = { 1, 0, 0 };
	prims.prims[2].offset = { 0, 0.5f, 0 };
	return prims;
}

std::vector<u8> RecordWith( const ToolCollisionPrims* prims ) {
	ToolClump clump = ToolSampleModelClump();
	clump.extension.clear();
	if ( prims != nullptr ) {
		clump.extension.push_back( ToolCollisionPrimWriter::Entry( *prims ) );
	}
	ToolModelResource model;
	model.id = MODEL_ID;
	model.clump = ToolClumpWriter::Chunk( clump );
	return ToolModelResourceWriter::Record( model );
}

}

class EF3dObjCollisionTest : public ModelTestBench {
protected:
	void TearDown() override {
		bodies.clear();
		for ( EF3dObj* object : objects ) {
			delete object;
		}
		ModelTestBench::TearDown();
	}

	EF3dObj* Load( const ToolCollisionPrims* prims ) {
		records.push_back( RecordWith( prims ) );
		objects.push_back( MakeObject( LoadRecord( records.back(), MODEL_ID ) ) );
		return objects.back();
	}

	EFPhysic* NewBody() {
		bodies.push_back( std::make_unique<EFPhysic>( nullptr, 0 ) );
		return bodies.back().get();
	}

	// The vertex counts and edge-grab words of a body's polygon primitives.
	static std::vector<std::pair<u16, u16>> PolygonWords( const EFPhysic& body ) {
		std::vector<std::pair<u16, u16>> words;
		for ( u32 i = 0; i < body.moCollisionModel.mui32MaxPrims; i++ ) {
			const EFObjCollisionPrim* const prim = body.moCollisionModel.GetPrimitive( i );
			if ( prim == nullptr || prim->mui32Shape != EF_PRIM_POLYGON ) {
				continue;
			}
			const EFObjCollisionPolygon* const set = static_cast<const EFObjCollisionPolygon*>( prim );
			const EFEnvCollisionPrim* polygon = set->mpoFirstPolygon;
			for ( u32 k = 0; k < set->mui32NbPolygons; k++ ) {
				words.emplace_back( polygon->mui16NbVertex, polygon->mui16EdgeGrab );
				polygon = reinterpret_cast<const EFEnvCollisionPrim*>( reinterpret_cast<const u8*>( polygon ) + 28 +
																	   28 * polygon->mui16NbVertex );
			}
		}
		return words;
	}

	std::vector<std::vector<u8>>			records;
	std::vector<EF3dObj*>					objects;
	std::vector<std::unique_ptr<EFPhysic>>	bodies;
};

TEST_F( EF3dObjCollisionTest, EveryStoredShapeBecomesAPrimitiveOnItsJointsFrameWithItsDefaults ) {
	const ToolCollisionPrims shapes = Shapes();
	EF3dObj* const object = Load( &shapes );
	ASSERT_NE( object->mpHierarchy, nullptr );
	EFPhysic* const body = NewBody();
	EXPECT_EQ( object->CreateCollisionPrimitives( *body ), 5 );
	EXPECT_NE( static_cast<u32>( object->mpHierarchy->flags ) & HIERARCHY_MODELLING_MATRICES, 0u );
	const EFCollisionModel& model = body->moCollisionModel;
	EXPECT_EQ( model.moPhysicBSphere.moPos.x, 0.5f );
	EXPECT_EQ( model.moPhysicBSphere.moPos.y, 1.0f );
	EXPECT_EQ( model.moPhysicBSphere.moPos.z, -0.5f );
	EXPECT_EQ( model.moPhysicBSphere.mfRadius, 3.0f );
	ASSERT_EQ( model.mui32MaxPrims, 5u );

	DTFrame* const own = object->GetFrame();
	auto node = [&]( const s32 joint ) {
		return reinterpret_cast<DTFrame*>( object->mpHierarchy->pNodeInfo[joint].pFrame );
	};
	struct Row {
		u32			shape;
		DTFrame*	frame;
		f32			maxRadius;
	} rows[] = {
		{ EF_PRIM_SPHERE, own, 0.5f },
		{ EF_PRIM_SWEPT_SPHERE, node( 0 ), 0.25f + 1.0f },
		{ EF_PRIM_BBOX, node( 1 ), std::sqrt( 14.0f ) },
		{ EF_PRIM_POLYGON, node( 1 ), -1.0f },
		{ EF_PRIM_SPHERE, own, 0.75f },
	};
	for ( u32 i = 0; i < 5; i++ ) {
		SCOPED_TRACE( i );
		const ToolCollisionPrim& stored = shapes.prims[i];
		EFObjCollisionPrim* const prim = model.GetPrimitive( i );
		ASSERT_NE( prim, nullptr );
		EXPECT_EQ( prim->mui32Shape, rows[i].shape );
		EXPECT_EQ( prim->mui32Tag, stored.tag );
		EXPECT_EQ( prim->GetFrame(), rows[i].frame );
		if ( rows[i].maxRadius >= 0.0f ) {
			EXPECT_NEAR( prim->mfMaxRadius, rows[i].maxRadius, 1e-6f );
		}
		EXPECT_EQ( prim->moTrans.x, stored.offset[0] );
		EXPECT_EQ( prim->moTrans.y, stored.offset[1] );
		EXPECT_EQ( prim->moTrans.z, stored.offset[2] );
		EXPECT_EQ( prim->muiPrimFlags & DEFAULTS_SET, DEFAULTS_SET );
		for ( u32 w = 0; w < EF_COL_PRIM_ATTRIB_WORDS; w++ ) {
			EXPECT_EQ( prim->moBaseAttrib.IntArray[w], stored.attribs[w] );
			EXPECT_EQ( prim->GetAttrib( w ), stored.attribs[w] );
		}
	}
	const auto* const capsule = static_cast<const EFObjCollisionSweptSphere*>( model.GetPrimitive( 1 ) );
	EXPECT_EQ( capsule->mfRadius, 0.25f );
	EXPECT_EQ( capsule->moVector.y, 1.0f );
	const auto* const box = static_cast<const EFObjCollisionBBox*>( model.GetPrimitive( 2 ) );
	EXPECT_EQ( box->moHalfExtents.z, 3.0f );
	// The set: the triangle at y = 1 and the square behind it, as stored.
	EXPECT_EQ( PolygonWords( *body ), ( std::vector<std::pair<u16, u16>>{ { 3, 0 }, { 4, 0x1234 } } ) );

	// The defaults are taken once: a second call neither moves the
	// primitive by its offset again nor resizes it.
	EFObjCollisionPrim* const sphere = model.GetPrimitive( 0 );
	sphere->PrecalcPrimData();
	const DTVector3d placed = sphere->moPrimPos;
	sphere->mfMaxRadius = 9.0f;
	object->GetDefaultCollPrimAttrib( 0, *sphere );
	EXPECT_EQ( sphere->moPrimPos.x, placed.x );
	EXPECT_EQ( sphere->mfMaxRadius, 9.0f );

	// A fresh primitive with locks takes the defaults under them.
	EFObjCollisionSphere fresh( own );
	fresh.mpuiLockedIntAttribs[EF_ATTR_DETECT] = 0x0F;
	fresh.moLogicAttrib.IntArray[EF_ATTR_DETECT] = 0x05;
	object->GetDefaultCollPrimAttrib( 4, fresh );
	EXPECT_EQ( fresh.GetAttrib( EF_ATTR_DETECT ), ( shapes.prims[4].attribs[EF_ATTR_DETECT] & ~0x0Fu ) | 0x05u );
	EXPECT_EQ( fresh.mfMaxRadius, 0.75f );
}

TEST_F( EF3dObjCollisionTest, AnimationRecordsTakeTheStoredSizesOfTheirOwnKindOffsetAndAttributes ) {
	const ToolCollisionPrims shapes = Shapes();
	EF3dObj* const object = Load( &shapes );
	EFAnimCollPrimSphere sphere{};
	EFAnimCollPrimSweptSphere swept{};
	EFAnimCollPrimBox box{};
	EFAnimCollPrimSphere mismatched{};
	EFAnimCollPrimPoint point{};
	struct Row {
		const char*			name;
		EFAnimCollPrim*		record;
		u32					kind;
		u32					index;
		std::vector<f32>	sizes;		// expected, read from the record's shape part
	} rows[] = {
		{ "sphere", &sphere, EF_ANIM_COLL_SPHERE, 0, { 0.5f } },
		{ "capsule", &swept, EF_ANIM_COLL_SWEPT_SPHERE, 1, { 0.25f, 0, 1, 0 } },
		{ "box", &box, EF_ANIM_COLL_BOX, 2, { 1, 2, 3 } },
		{ "sphere record of the box", &mismatched, EF_ANIM_COLL_SPHERE, 2, { -9 } },
		{ "bounding sphere", &point, EF_ANIM_COLL_BSPHERE, 0, {} },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		row.record->muiKind = row.kind;
		row.record->muiFlags = EF_ANIM_COLL_WRAP | EF_ANIM_COLL_RESET;
		f32* const shape = reinterpret_cast<f32*>( reinterpret_cast<u8*>( row.record ) + sizeof( EFAnimCollPrimShape ) );
		if ( row.kind == EF_ANIM_COLL_SPHERE ) {
			shape[0] = -9;
		}
		object->GetDefaultCollPrimAttrib( row.index, *row.record );
		if ( row.kind == EF_ANIM_COLL_BSPHERE ) {
			EXPECT_EQ( point.muiFlags, EF_ANIM_COLL_WRAP | EF_ANIM_COLL_RESET );
			EXPECT_EQ( point.mfValues[0], 0.0f );
			continue;
		}
		EXPECT_EQ( row.record->muiFlags, EF_ANIM_COLL_WRAP );
		for ( size_t k = 0; k < row.sizes.size(); k++ ) {
			EXPECT_EQ( shape[k], row.sizes[k] ) << k;
		}
		const auto& copied = static_cast<const EFAnimCollPrimShape&>( *row.record );
		const ToolCollisionPrim& stored = shapes.prims[row.index];
		for ( u32 k = 0; k < 3; k++ ) {
			EXPECT_EQ( copied.mfOffset[k], stored.offset[k] );
		}
		for ( u32 w = 0; w < EF_ANIM_COLL_ATTRIBUTES; w++ ) {
			EXPECT_EQ( copied.muiAttributes[w], stored.attribs[w] );
		}
	}
}

TEST_F( EF3dObjCollisionTest, AModelWithoutRecordsLeavesTheBodyAlone ) {
	for ( const bool empty : { false, true } ) {
		SCOPED_TRACE( empty );
		ToolCollisionPrims none;
		EF3dObj* const object = Load( empty ? &none : nullptr );
		EFPhysic* const body = NewBody();
		body->moCollisionModel.SetMaxPrims( 2 );
		body->moCollisionModel.moPhysicBSphere = DTSphere( DTVector3d( 1, 2, 3 ), 4 );
		EXPECT_EQ( object->CreateCollisionPrimitives( *body ), 0 );
		EXPECT_EQ( body->moCollisionModel.mui32MaxPrims, 2u );
		EXPECT_EQ( body->moCollisionModel.moPhysicBSphere.mfRadius, 4.0f );
		DTSphere sphere( DTVector3d( 1, 1, 1 ), 1 );
		object->GetDefaultPhysicBSphere( sphere );
		EXPECT_EQ( sphere.mfRadius, 0.0f );
		EXPECT_EQ( sphere.moPos.x, 0.0f );
	}
}

// Polygon counts live in the host's layout from the clump's read on:
// bodies made twice from one clump, from a clone of it and from a shallow
// copy of the object all see the stored counts, and the clump writes back
// the bytes it was read from.
TEST_F( EF3dObjCollisionTest, PolygonCountsAreTheSameThroughOneClumpItsCloneAndAShallowCopy ) {
	const ToolCollisionPrims shapes = Shapes();
	EF3dObj* const object = Load( &shapes );
	const std::vector<std::pair<u16, u16>> stored = { { 3, 0 }, { 4, 0x1234 } };
	for ( u32 pass = 0; pass < 2; pass++ ) {
		EFPhysic* const body = NewBody();
		ASSERT_EQ( object->CreateCollisionPrimitives( *body ), 5 );
		EXPECT_EQ( PolygonWords( *body ), stored ) << pass;
	}
	EF3dObj* const copy = static_cast<EF3dObj*>( object->ShallowCopy() );
	ASSERT_NE( copy, nullptr );
	objects.push_back( copy );
	copy->mpGameObjectOwner = owner;
	DT3dObjectDescriptor descriptor;
	const DTCreationParameters params = { &descriptor, nullptr };
	ASSERT_TRUE( copy->Initialize( params ) );
	ASSERT_NE( copy->mpClump, object->mpClump );
	EFPhysic* const copied = NewBody();
	ASSERT_EQ( copy->CreateCollisionPrimitives( *copied ), 5 );
	EXPECT_EQ( PolygonWords( *copied ), stored );

	RpClump* const clone = RpClumpClone( object->mpClump );
	ASSERT_NE( clone, nullptr );
	u32 count = 0;
	const EFEnvCollisionPrim* const first = ApClumpGetCollisionPolygonData( clone, 3, count );
	ASSERT_NE( first, nullptr );
	EXPECT_EQ( count, 2u );
	EXPECT_EQ( first->mui16NbVertex, 3u );

	const std::vector<u8> payload = ToolCollisionPrimWriter::Entry( shapes ).payload;
	for ( const RpClump* clump : { static_cast<const RpClump*>( object->mpClump ), static_cast<const RpClump*>( clone ),
								   static_cast<const RpClump*>( copy->mpClump ) } ) {
		const RwTestBytes written = RwTestWrite( [&]( RwStream* s ) {
			return ApCollisionPrimitivesStreamWrite( s, 0, clump, ApCollisionPrimitivesOffset(), 40 ) != nullptr;
		} );
		EXPECT_EQ( written, payload );
	}
	RpClumpDestroy( clone );
}

// A polygon primitive asked for a record past the model's records, or for
// a record of another shape, gets no polygons and no defaults from it.
TEST_F( EF3dObjCollisionTest, ARecordIndexPastTheRecordsGivesAPolygonPrimitiveNothingToWalk ) {
	ToolCollisionPrims two;
	two.sphere = std::array<f32, 4>{ 0, 0, 0, 4 };
	two.prims = { Prim( 0, 1, -1, { 0.5f } ), Prim( 3, 2, -1, {} ) };
	two.prims[1].polygonCount = 2;
	two.polygons = { Triangle( 0.0f ), Triangle( 1.0f ) };
	EF3dObj* const object = Load( &two );
	EFObjCollisionPolygon polygons( object->GetFrame() );
	object->GetDefaultCollPrimAttrib( 5, polygons );
	EXPECT_EQ( polygons.mui32NbPolygons, 0u );
	EXPECT_EQ( polygons.mpoFirstPolygon, nullptr );
	EXPECT_EQ( polygons.muiPrimFlags & DEFAULTS_SET, 0u );
	object->GetDefaultCollPrimAttrib( 0, polygons );
	EXPECT_EQ( polygons.mui32NbPolygons, 0u );
	EXPECT_EQ( polygons.mpoFirstPolygon, nullptr );

	EFPhysic* const body = NewBody();
	ASSERT_EQ( object->CreateCollisionPrimitives( *body ), 2 );
	EXPECT_EQ( PolygonWords( *body ), ( std::vector<std::pair<u16, u16>>{ { 3, 0 }, { 3, 0 } } ) );
}
