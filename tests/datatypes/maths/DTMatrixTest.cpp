#include "datatypes/maths/DTMatrix.h"
#include "MathsTestSupport.h"

#include "graphics3d/core/RwMatrixCombine.h"

#include <vector>

namespace {

typedef MathsTestCase DTMatrixTest;

// A transform routine that, like a device's paired-single one, must not be
// handed the same array in and out: it writes each element before reading
// the next one, and records whether it was.
bool gAliasedCall = false;

RwV3d * StrictTransformPoints( RwV3d * out, const RwV3d * in, s32 count, const RwMatrix * matrix ) {
	if ( out == in ) {
		gAliasedCall = true;
	}
	for ( s32 i = 0; i < count; i++ ) {
		out[i].x = 0.0f;
		_rwV3dTransformPointsOwn( &out[i], &in[i], 1, matrix );
	}
	return out;
}

void SetExample( DTMatrix & m ) {
	m.SetToRotation( DTVector3d( 0.3f, -1.1f, 2.0f ) );
	m.oMat.pos = { 1.0f, -2.0f, 5.0f };
	m.oMat.flags = 0x3;
}

TEST_F( DTMatrixTest, ZeroAnglesWriteTheIdentityRotationAndKeepPositionAndFlags ) {
	DTMatrix & m = *DTMatrix::mpoWork;
	m.oMat.right = { 2.0f, 3.0f, 4.0f };
	m.oMat.up = { 5.0f, 6.0f, 7.0f };
	m.oMat.at = { 8.0f, 9.0f, 1.0f };
	m.oMat.pos = { 1.5f, 2.5f, 3.5f };
	m.oMat.flags = 0xABCD0000;
	m.SetToRotation( DTVector3d( 0.0f, 0.0f, 0.0f ) );
	EXPECT_VEC_NEAR( *m.GetRight(), 1.0f, 0.0f, 0.0f, 0.0f );
	EXPECT_VEC_NEAR( *m.GetUp(), 0.0f, 1.0f, 0.0f, 0.0f );
	EXPECT_VEC_NEAR( *m.GetAt(), 0.0f, 0.0f, 1.0f, 0.0f );
	EXPECT_VEC_NEAR( *m.GetPos(), 1.5f, 2.5f, 3.5f, 0.0f );
	EXPECT_EQ( m.oMat.flags, 0xABCD0000u );
}

TEST_F( DTMatrixTest, BatchAndSinglePointTransformsAgree ) {
	DTMatrix & m = *DTMatrix::mpoWork;
	SetExample( m );
	std::vector<DTVector3d> in;
	for ( s32 i = 0; i < 50; i++ ) {
		in.emplace_back( 0.5f * i, 3.0f - i, 0.25f * i * i );
	}
	std::vector<DTVector3d> points( in.size() );
	std::vector<DTVector3d> vectors( in.size() );
	m.TransformPoints( in.data(), points.data(), static_cast<u32>( in.size() ) );
	m.TransformVectors( in.data(), vectors.data(), static_cast<u32>( in.size() ) );
	for ( size_t i = 0; i < in.size(); i++ ) {
		DTVector3d single;
		m.TransformPoint( in[i], single );
		EXPECT_TRUE( SameBits( single, points[i] ) ) << i;
		const DTVector3d expected = in[i].x * *m.GetRight() + in[i].y * *m.GetUp() + in[i].z * *m.GetAt();
		EXPECT_VEC_NEAR( vectors[i], expected.x, expected.y, expected.z, 1e-4f );
		EXPECT_VEC_NEAR( points[i] - vectors[i], 1.0f, -2.0f, 5.0f, 1e-3f );
	}
}

TEST_F( DTMatrixTest, InPlacePointTransformNeverHandsTheSameArrayInAndOut ) {
	DTMatrix & m = *DTMatrix::mpoWork;
	SetExample( m );
	const DTVector3d original( 1.0f, 2.0f, 3.0f );
	DTVector3d expected;
	m.TransformPoint( original, expected );
	ASSERT_TRUE( _rwVectorSetMultFn( StrictTransformPoints, nullptr ) );
	gAliasedCall = false;
	DTVector3d inPlace = original;
	m.TransformPoint( inPlace );
	DTVector3d sameReference = original;
	m.TransformPoint( sameReference, sameReference );
	_rwVectorSetMultFn( nullptr, nullptr );
	EXPECT_FALSE( gAliasedCall );
	EXPECT_TRUE( SameBits( inPlace, expected ) );
	EXPECT_TRUE( SameBits( sameReference, expected ) );
}

TEST_F( DTMatrixTest, RotateMatchesTheLibraryAndKeepsThePositionBitForBit ) {
	const struct {
		DTVector3d	axis;
		f32			angle;
	} rows[] = {
		{ DTVector3d( 0, 1, 0 ), 0.5f },
		{ DTVector3d( 1, 1, 0 ), -2.0f },
		{ DTVector3d( 0.3f, -0.2f, 0.9f ), 3.0f },
	};
	for ( const auto & row : rows ) {
		DTMatrix & m = *DTMatrix::mpoWork;
		SetExample( m );
		const RwV3d position = m.oMat.pos;
		RwMatrix expected = m.oMat;
		RwMatrixRotate( &expected, DTAsRwV3d( &row.axis ), row.angle * 57.29578f, rwCOMBINEPOSTCONCAT );
		m.Rotate( row.axis, row.angle );
		EXPECT_TRUE( SameBits( *m.GetRight(), *reinterpret_cast<const DTVector3d *>( &expected.right ) ) );
		EXPECT_TRUE( SameBits( *m.GetAt(), *reinterpret_cast<const DTVector3d *>( &expected.at ) ) );
		EXPECT_TRUE( SameBits( *m.GetPos(), *reinterpret_cast<const DTVector3d *>( &position ) ) );
		EXPECT_EQ( m.oMat.flags, expected.flags );
	}
}

TEST_F( DTMatrixTest, CreatedMatricesAreLibraryIdentities ) {
	DTMatrix * const m = DTMatrix::CreateMatrix();
	ASSERT_NE( m, nullptr );
	EXPECT_EQ( m->oMat.flags, 0x20003u );
	EXPECT_VEC_NEAR( *m->GetRight(), 1.0f, 0.0f, 0.0f, 0.0f );
	EXPECT_VEC_NEAR( *m->GetPos(), 0.0f, 0.0f, 0.0f, 0.0f );
	EXPECT_EQ( &m->GetUp()->x, &m->oMat.up.x );
	m->Destroy();
}

} // namespace
