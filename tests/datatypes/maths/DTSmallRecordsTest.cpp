#include "datatypes/maths/DTColor.h"
#include "datatypes/maths/DTTable128.h"
#include "datatypes/maths/DTTransfo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

TEST( DTColor, ClampKeepsComponentsInRangeAndNaNAsItIs ) {
	const f32 nan = std::numeric_limits<f32>::quiet_NaN();
	DTColor color;
	color.SetRGBA( -0.5f, 0.5f, 1.5f, 1.0f );
	color.Clamp();
	EXPECT_EQ( color.r, 0.0f );
	EXPECT_EQ( color.g, 0.5f );
	EXPECT_EQ( color.b, 1.0f );
	EXPECT_EQ( color.a, 1.0f );
	color.SetRGBA( nan, -std::numeric_limits<f32>::infinity(), 0.0f, 1e30f );
	color.Clamp();
	EXPECT_TRUE( std::isnan( color.r ) );
	EXPECT_EQ( color.g, 0.0f );
	EXPECT_EQ( color.b, 0.0f );
	EXPECT_EQ( color.a, 1.0f );
}

DTTransfo Posed( const f32 k ) {
	DTTransfo t;
	t.mScaling.Set( k, 2.0f * k, 3.0f * k );
	t.mTranslation.Set( -k, 0.5f, 7.0f );
	t.mEulerRotation.Set( 0.1f * k, 0.2f, -0.3f );
	t.mRotation = DTQuaternion( 0.5f, -0.5f, 0.5f, k );
	t.mInverseScaleParent.Set( 1.0f / k, 1.0f, 2.0f );
	t.muiState = 0xC;
	t.muiJointIndex = static_cast<u32>( k );
	return t;
}

TEST( DTTransfo, ANewRecordIsUnitScaleAndBoundToNoJoint ) {
	const DTTransfo t;
	EXPECT_EQ( t.mScaling.y, 1.0f );
	EXPECT_EQ( t.mTranslation.x, 0.0f );
	EXPECT_EQ( t.mRotation.mfScalaire, 0.0f );
	EXPECT_EQ( t.mInverseScaleParent.z, 0.0f );
	EXPECT_EQ( t.muiState, 0u );
	EXPECT_EQ( t.muiJointIndex, 0xFFFFFFFFu );
}

TEST( DTTransfo, CopyTakesExactlyTheRecordsAsked ) {
	const DTTransfo source[3] = { Posed( 2.0f ), Posed( 3.0f ), Posed( 4.0f ) };
	for ( const u32 count : { 0u, 1u, 3u } ) {
		DTTransfo target[4];
		target[0].Copy( source, count );
		for ( u32 i = 0; i < 4; i++ ) {
			const bool copied = i < count;
			const DTTransfo & expected = copied ? source[i] : DTTransfo();
			EXPECT_EQ( std::memcmp( &target[i], &expected, sizeof( DTTransfo ) ), 0 ) << count << " record " << i;
		}
	}
}

TEST( DTTransfo, ResetEulerTouchesOnlyScaleTranslationAnglesAndState ) {
	DTTransfo records[4] = { Posed( 2.0f ), Posed( 3.0f ), Posed( 4.0f ), Posed( 5.0f ) };
	records[0].ResetEuler( 3 );
	for ( u32 i = 0; i < 3; i++ ) {
		const DTTransfo posed = Posed( 2.0f + i );
		EXPECT_EQ( records[i].mScaling.x, 1.0f );
		EXPECT_EQ( records[i].mScaling.z, 1.0f );
		EXPECT_EQ( records[i].mTranslation.y, 0.0f );
		EXPECT_EQ( records[i].mEulerRotation.x, 0.0f );
		EXPECT_EQ( records[i].muiState, 1u );
		EXPECT_EQ( std::memcmp( &records[i].mRotation, &posed.mRotation, sizeof( DTQuaternion ) ), 0 );
		EXPECT_EQ( records[i].mInverseScaleParent.x, posed.mInverseScaleParent.x );
		EXPECT_EQ( records[i].muiJointIndex, posed.muiJointIndex );
	}
	const DTTransfo untouched = Posed( 5.0f );
	EXPECT_EQ( std::memcmp( &records[3], &untouched, sizeof( DTTransfo ) ), 0 );
	// The next update rebuilds the identity from the zero angles.
	records[0].UpdateTransfo();
	EXPECT_EQ( records[0].muiState, 0u );
	EXPECT_EQ( records[0].mRotation.mfScalaire, 1.0f );
	EXPECT_EQ( records[0].mRotation.x, 0.0f );
}

TEST( DTTransfo, UpdateRebuildsTheQuaternionOnlyWhenTheAnglesChanged ) {
	DTTransfo t = Posed( 2.0f );
	t.muiState = 0xE;
	t.UpdateTransfo();
	EXPECT_EQ( t.mRotation.mfScalaire, 2.0f );
	EXPECT_EQ( t.muiState, 0xEu );
	t.muiState = 0xF;
	t.mEulerRotation.Set( 0.0f, 0.0f, 1.0f );
	t.UpdateTransfo();
	EXPECT_EQ( t.muiState, 0xEu );
	EXPECT_NEAR( t.mRotation.z, std::sin( 0.5f ), 1e-6f );
	EXPECT_NEAR( t.mRotation.mfScalaire, std::cos( 0.5f ), 1e-6f );
}

TEST( DTTable128, HoldsSinesAndCosinesOfEighthTurns ) {
	DTTable128::mbInit = 0;
	EXPECT_EQ( DTTable128::IsInit(), 0u );
	DTTable128::Init();
	EXPECT_EQ( DTTable128::IsInit(), 1u );
	const struct {
		u32	index;
		f32	sine;
		f32	cosine;
	} rows[] = {
		{ 0, 0.0f, 1.0f },
		{ 16, 0.70710678f, 0.70710678f },
		{ 32, 1.0f, 0.0f },
		{ 64, 0.0f, -1.0f },
		{ 96, -1.0f, 0.0f },
		{ 127, -0.049067674f, 0.99879546f },
	};
	for ( const auto & row : rows ) {
		EXPECT_NEAR( DTTable128::mSin[row.index], row.sine, 1e-6f ) << row.index;
		EXPECT_NEAR( DTTable128::mCos[row.index], row.cosine, 1e-6f ) << row.index;
	}
	EXPECT_EQ( DTTable128::mSin[0], 0.0f );
}

} // namespace
