/*
===============================================================================

	Shared set-up of the engine maths tests: the 3D library started over
	the test device (the vectors take their lengths from its square-root
	tables), the two scratch matrices created and destroyed as the graphics
	manager would, and float comparison helpers.

===============================================================================
*/
#ifndef MATHS_TEST_SUPPORT_H
#define MATHS_TEST_SUPPORT_H

#include "datatypes/maths/DTMatrix.h"
#include "datatypes/maths/DTQuaternion.h"
#include "graphics3d/core/RwTestChunks.h"

#include <bit>
#include <cmath>

class MathsTestCase : public RwStartedTestCase {
protected:
	void SetUp() override {
		RwStartedTestCase::SetUp();
		DTMatrix::bInit = 1;
		DTMatrix::mpoWork = DTMatrix::CreateMatrix();
		DTMatrix::mpoWorkIn = DTMatrix::CreateMatrix();
		ASSERT_NE( DTMatrix::mpoWork, nullptr );
		ASSERT_NE( DTMatrix::mpoWorkIn, nullptr );
	}
	void TearDown() override {
		if ( DTMatrix::bInit ) {
			DTMatrix::mpoWork->Destroy();
			DTMatrix::mpoWorkIn->Destroy();
			DTMatrix::mpoWork = nullptr;
			DTMatrix::mpoWorkIn = nullptr;
			DTMatrix::bInit = 0;
		}
		RwStartedTestCase::TearDown();
	}
};

inline u32 FloatBits( const f32 v ) {
	return std::bit_cast<u32>( v );
}

inline bool SameBits( const DTVector3d & a, const DTVector3d & b ) {
	return FloatBits( a.x ) == FloatBits( b.x ) && FloatBits( a.y ) == FloatBits( b.y ) && FloatBits( a.z ) == FloatBits( b.z );
}

#define EXPECT_VEC_NEAR( v, ex, ey, ez, tolerance )	\
	do {											\
		EXPECT_NEAR( ( v ).x, ( ex ), tolerance );	\
		EXPECT_NEAR( ( v ).y, ( ey ), tolerance );	\
		EXPECT_NEAR( ( v ).z, ( ez ), tolerance );	\
	} while ( 0 )

// Largest difference of two quaternions taken up to sign.
inline f32 QuaternionDistance( const DTQuaternion & a, const DTQuaternion & b ) {
	const f32 same = std::fmax( std::fmax( std::fabs( a.x - b.x ), std::fabs( a.y - b.y ) ),
								std::fmax( std::fabs( a.z - b.z ), std::fabs( a.mfScalaire - b.mfScalaire ) ) );
	const f32 flipped = std::fmax( std::fmax( std::fabs( a.x + b.x ), std::fabs( a.y + b.y ) ),
								   std::fmax( std::fabs( a.z + b.z ), std::fabs( a.mfScalaire + b.mfScalaire ) ) );
	return std::fmin( same, flipped );
}

#endif
