#include "datatypes/maths/DTTable128.h"

#include <cmath>

f32 DTTable128::mSin[DT_TABLE128_SIZE];
f32 DTTable128::mCos[DT_TABLE128_SIZE];
u32 DTTable128::mbInit = 0;

namespace {

// 2pi / 128 as a float.
constexpr f32 STEP = 0.049087387f;

} // namespace

void DTTable128::Init() {
	mbInit = 1;
	for ( u32 i = 0; i < DT_TABLE128_SIZE; i++ ) {
		const f64 angle = static_cast<f64>( i ) * static_cast<f64>( STEP );
		mSin[i] = static_cast<f32>( std::sin( angle ) );
		mCos[i] = static_cast<f32>( std::cos( angle ) );
	}
}
