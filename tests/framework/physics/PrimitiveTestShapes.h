/*
===============================================================================

	Shapes for the primitive tests: the 3D library started (the routines
	normalise through it, boxes and polygon primitives own its matrices),
	the shared work matrix made, boxes riding on frames of their own and
	frameless spheres, capsules and polygon primitives placed by hand.
	Every shape made here is gone before the library closes.

===============================================================================
*/
#ifndef PRIMITIVE_TEST_SHAPES_H
#define PRIMITIVE_TEST_SHAPES_H

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "framework/physics/CollisionMapTestScenes.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFObjCollisionSphere.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwMatrixCombine.h"
#include "graphics3d/core/RwTestChunks.h"

#include <cmath>
#include <memory>
#include <vector>

namespace primitive_test {

const DTVector3d ZERO;
const DTVector3d UP( 0, 1, 0 );
constexpr f32 TOLERANCE = 1e-5f;
// The library's normalisation works from tables: about 1e-4 relative.
constexpr f32 NORMAL_TOLERANCE = 1e-4f;

inline void ExpectNear( const DTVector3d& got, const DTVector3d& want, const f32 tolerance = NORMAL_TOLERANCE ) {
	EXPECT_NEAR( got.x, want.x, tolerance );
	EXPECT_NEAR( got.y, want.y, tolerance );
	EXPECT_NEAR( got.z, want.z, tolerance );
}

inline DTVector3d Unit( const f32 x, const f32 y, const f32 z ) {
	const f32 l = std::sqrt( x * x + y * y + z * z );
	return DTVector3d( x / l, y / l, z / l );
}

// What a row expects: the result, then the normal with the time (a hit)
// or the push size (an overlap).
struct Expected {
	u32			result;
	DTVector3d	normal;
	f32			value;
};

inline void ExpectOutcome( const u32 result, const EFCheckCollisionOut& out, const EFCheckCollisionIn& in,
						   const Expected& want ) {
	ASSERT_EQ( result & ( CS_COL_HIT | CS_COL_PUSH ), want.result );
	if ( result == CS_COL_HIT ) {
		ExpectNear( out.moColNormal, want.normal );
		EXPECT_NEAR( out.mfTime, want.value, 1e-4f );
		ExpectNear( out.moEffectivePartDep, in.moVelocity * want.value, 1e-3f );
	} else if ( result == CS_COL_PUSH ) {
		ExpectNear( out.moColNormal, want.normal );
		EXPECT_NEAR( out.mfPushSize, want.value, 1e-4f );
	}
}

// A ray query: the t handed in, the result and the t and normal after.
struct RayRow {
	const char*	name;
	DTVector3d	start;
	DTVector3d	displacement;
	f32			t;
	u32			result;
	f32			tAfter;
	DTVector3d	normal;
};

template <size_t N>
void ExpectRays( EFObjCollisionPrim& prim, const RayRow ( &rows )[N] ) {
	for ( const RayRow& row : rows ) {
		SCOPED_TRACE( row.name );
		RayIntersectIn in = { row.start, row.displacement, 0, 0, 0, 0, 0 };
		EFRayIntersectOut out = {};
		f32 t = row.t;
		EXPECT_EQ( prim.RayIntersect( in, out, t ), row.result );
		EXPECT_NEAR( t, row.tAfter, TOLERANCE );
		ExpectNear( out.oIntersectionNormal, row.normal );
	}
}

class PrimitiveTestCase : public RwStartedTestCase {
protected:
	void SetUp() override {
		RwStartedTestCase::SetUp();
		DTMatrix::mpoWork = DTMatrix::CreateMatrix();
		ASSERT_NE( DTMatrix::mpoWork, nullptr );
	}

	void TearDown() override {
		mShapes.clear();
		mMaps.clear();
		for ( DTFrame* frame : mFrames ) {
			delete frame;
		}
		mFrames.clear();
		DTMatrix::mpoWork->Destroy();
		DTMatrix::mpoWork = nullptr;
		RwStartedTestCase::TearDown();
	}

	template <typename T>
	T* Keep( T* shape ) {
		mShapes.emplace_back( shape );
		return shape;
	}

	EFObjCollisionSphere* Sphere( const DTVector3d& centre, const f32 radius ) {
		EFObjCollisionSphere* const sphere = Keep( new EFObjCollisionSphere( nullptr ) );
		sphere->moPrimPos = centre;
		sphere->mfMaxRadius = radius;
		return sphere;
	}

	// A frameless capsule: its world half axis is the local one.
	EFObjCollisionSweptSphere* Capsule( const DTVector3d& centre, const DTVector3d& halfAxis, const f32 radius ) {
		EFObjCollisionSweptSphere* const capsule = Keep( new EFObjCollisionSweptSphere( nullptr ) );
		capsule->SetRadius( radius );
		capsule->SetVector( halfAxis );
		capsule->moTrans = centre;
		capsule->PrecalcPrimData();
		return capsule;
	}

	// A box riding on a frame at centre turned by degrees about axis.
	EFObjCollisionBBox* Box( const DTVector3d& centre, const DTVector3d& half, const f32 degrees = 0.0f,
							 const DTVector3d& turn = DTVector3d( 0, 1, 0 ) ) {
		DTFrame* const frame = new DTFrame;
		EXPECT_NE( frame, nullptr );
		mFrames.push_back( frame );
		const RwV3d axis = { turn.x, turn.y, turn.z };
		const RwV3d at = { centre.x, centre.y, centre.z };
		RwFrameRotate( frame->GetRwFrame(), &axis, degrees, rwCOMBINEREPLACE );
		RwFrameTranslate( frame->GetRwFrame(), &at, rwCOMBINEPOSTCONCAT );
		EFObjCollisionBBox* const box = Keep( new EFObjCollisionBBox( frame ) );
		box->SetHalfExtents( half );
		box->PrecalcPrimData();
		return box;
	}

	// The polygons of scene as a collision map (kept for the test), and
	// each one's record.
	std::vector<EFEnvCollisionPrim*> Records( const ToolColMap& scene ) {
		ToolColMapLayout layout;
		std::unique_ptr<EFCollisionMap> map = LoadMap( EncodeMap( scene, &layout ) );
		std::vector<EFEnvCollisionPrim*> records;
		if ( map == nullptr ) {
			ADD_FAILURE() << "the scene does not load";
			return records;
		}
		for ( const u32 offset : layout.polygonOffsets ) {
			records.push_back(
				reinterpret_cast<EFEnvCollisionPrim*>( const_cast<u8*>( map->GetBlob() ) + 16 + offset ) );
		}
		mMaps.push_back( std::move( map ) );
		return records;
	}

	// A polygon primitive at lift holding the records of scene.
	EFObjCollisionPolygon* Polygons( const ToolColMap& scene, const DTVector3d& lift ) {
		const std::vector<EFEnvCollisionPrim*> records = Records( scene );
		EFObjCollisionPolygon* const polygons = Keep( new EFObjCollisionPolygon( nullptr ) );
		const RwV3d at = { lift.x, lift.y, lift.z };
		RwMatrixTranslate( polygons->mpoWorldMatrix, &at, rwCOMBINEREPLACE );
		RwMatrixInvert( polygons->mpoInverseMatrix, polygons->mpoWorldMatrix );
		polygons->mui32NbPolygons = static_cast<u32>( records.size() );
		polygons->mpoFirstPolygon = records.empty() ? nullptr : records[0];
		return polygons;
	}

	// Squares of 4 x 4 facing up at the given heights, centred on x.
	static ToolColMap Squares( const std::vector<f32>& heights, const f32 x = 0.0f, const u32 attrib = 0 ) {
		ToolColMap scene;
		scene.attribs.resize( 3 );
		scene.attribs[1].flags = 0x1;
		scene.attribs[2].flags = 0x3;
		for ( const f32 y : heights ) {
			scene.polygons.push_back(
				Quad( { x - 2, y, -2 }, { x - 2, y, 2 }, { x + 2, y, 2 }, { x + 2, y, -2 }, attrib ) );
		}
		return scene;
	}

	// One-sided, two-sided and passing squares at y = 0, 20 apart on x.
	enum { ONE_SIDED, TWO_SIDED, PASSING };
	std::vector<EFEnvCollisionPrim*> MapSquares() {
		ToolColMap scene;
		scene.attribs.resize( 3 );
		scene.attribs[1].flags = 0x1;
		scene.attribs[2].flags = 0x3;
		for ( u32 attrib = 0; attrib < 3; attrib++ ) {
			const f32 x = 20.0f * static_cast<f32>( attrib );
			scene.polygons.push_back(
				Quad( { x - 2, 0, -2 }, { x - 2, 0, 2 }, { x + 2, 0, 2 }, { x + 2, 0, -2 }, attrib ) );
		}
		return Records( scene );
	}

	std::vector<std::unique_ptr<EFObjCollisionPrim>>	mShapes;
	std::vector<std::unique_ptr<EFCollisionMap>>		mMaps;
	std::vector<DTFrame*>								mFrames;
};

}	// namespace primitive_test

#endif
