#include "framework/core/spline/EFSplineCursor.h"

#include "datatypes/base/DTFloatToInt.h"
#include "framework/core/spline/EFQuadraticSpline.h"

#include <cmath>

namespace {

f32 ClampUnit( const f32 t ) {
	if ( !( t > 0.0f ) ) {
		return 0.0f;
	}
	return t < 1.0f ? t : 1.0f;
}

} // namespace

EFSplineCursor::EFSplineCursor() :
	mui32State( 0 ),
	mpoSpline( nullptr ),
	mfU( 0.0f ),
	mi32Segment( -1 ),
	mfT( 0.0f ),
	moCachedPoint( 0.0f, 0.0f, 0.0f ),
	moCachedTangent( 0.0f, 0.0f, 0.0f ) {
}

void EFSplineCursor::SetSpline( EFQuadraticSpline * const spline ) {
	mui32State = 0;
	mpoSpline = spline;
	mfU = 0.0f;
	mi32Segment = -1;
	mfT = 0.0f;
}

void EFSplineCursor::MoveTo( s32 segment, const f32 t ) {
	if ( segment < 0 ) {
		segment = 0;
	}
	mfT = ClampUnit( t );
	if ( mpoSpline == nullptr ) {
		// No segment count to divide by.
		mi32Segment = segment;
		mfU = 0.0f;
		mui32State = 0;
		return;
	}
	const u32 count = mpoSpline->GetNbSegments();
	if ( static_cast<u32>( segment ) >= count ) {
		segment = static_cast<s32>( count - 1 );
	}
	mi32Segment = segment;
	mfU = ( static_cast<f32>( segment ) + mfT ) / static_cast<f32>( count );
	mui32State = 0;
}

void EFSplineCursor::MoveTo( f32 u ) {
	if ( mpoSpline == nullptr ) {
		return;
	}
	if ( mpoSpline->IsLoop() ) {
		if ( !std::isfinite( u ) ) {
			u = 0.0f;
		}
		u = u - std::trunc( u );
		if ( u < 0.0f ) {
			u += 1.0f;
		}
	} else {
		u = ClampUnit( u );
	}
	const u32 count = mpoSpline->GetNbSegments();
	const f32 scaled = u * static_cast<f32>( count );
	s32 segment = DTFloatToS32( scaled );
	f32 t = scaled - static_cast<f32>( segment );
	if ( static_cast<u32>( segment ) > count - 1 ) {
		segment = static_cast<s32>( count - 1 );
		t = 1.0f;
	}
	mfU = u;
	mi32Segment = segment;
	mfT = t;
	mui32State = 0;
}

f32 EFSplineCursor::SumOfLengths() const {
	f64 sum = 0.0;
	for ( u32 i = 0; i < mpoSpline->GetNbSegments(); i++ ) {
		sum += mpoSpline->GetSegmentLength( static_cast<s32>( i ) );
	}
	return static_cast<f32>( sum );
}

void EFSplineCursor::MoveDistance( const f32 distance, EFQuadraticSpline * next ) {
	if ( mpoSpline == nullptr ) {
		return;
	}
	if ( next != nullptr && next->GetNbSegments() == 0 ) {
		next = nullptr;
	}
	s32 segment = mi32Segment;
	f32 t = mfT;
	if ( segment < 0 ) {
		segment = 0;
		t = 0.0f;
	} else if ( static_cast<u32>( segment ) >= mpoSpline->GetNbSegments() ) {
		segment = static_cast<s32>( mpoSpline->GetNbSegments() - 1 );
		t = 1.0f;
	}
	f32 d = mpoSpline->GetSegmentLength( segment, t ) + distance;

	// Before wrapping around a loop the distance is brought within one
	// turn: stored lengths of 0, or a distance so large that subtracting
	// a length leaves it unchanged, would otherwise walk for ever.
	auto wrapTurn = [this, &d]() -> bool {
		const f32 turn = SumOfLengths();
		if ( !( turn > 0.0f ) || !std::isfinite( d ) ) {
			MoveTo( 0, 0.0f );
			return false;
		}
		d = static_cast<f32>( std::fmod( static_cast<f64>( d ), static_cast<f64>( turn ) ) );
		return true;
	};

	while ( d > mpoSpline->GetSegmentLength( segment ) ) {
		d -= mpoSpline->GetSegmentLength( segment );
		segment++;
		if ( static_cast<u32>( segment ) < mpoSpline->GetNbSegments() ) {
			continue;
		}
		if ( next != nullptr ) {
			mpoSpline = next;
			next = nullptr;
			segment = 0;
		} else if ( mpoSpline->IsLoop() ) {
			if ( !wrapTurn() ) {
				return;
			}
			segment = 0;
		} else {
			MoveTo( 1.0f );
			return;
		}
	}
	while ( d < 0.0f ) {
		segment--;
		if ( segment < 0 ) {
			if ( next != nullptr ) {
				mpoSpline = next;
				next = nullptr;
			} else if ( mpoSpline->IsLoop() ) {
				if ( !wrapTurn() ) {
					return;
				}
			} else {
				MoveTo( 0.0f );
				return;
			}
			segment = static_cast<s32>( mpoSpline->GetNbSegments() - 1 );
		}
		d += mpoSpline->GetSegmentLength( segment );
	}
	MoveTo( segment, FindParameter( segment, d ) );
}

f32 EFSplineCursor::FindParameter( const s32 segment, const f32 d ) const {
	f32 tLow = 0.0f;
	f32 lengthLow = 0.0f;
	f32 tHigh = 1.0f;
	f32 lengthHigh = mpoSpline->GetSegmentLength( segment );
	f32 t = 0.0f;
	for ( u32 i = 0; i < EF_SPLINE_CURSOR_MAX_ITERATIONS; i++ ) {
		// A segment of length 0 has no slope to follow.
		if ( !( lengthHigh - lengthLow > 0.0f ) ) {
			return tLow;
		}
		t = tLow + ( d - lengthLow ) * ( tHigh - tLow ) / ( lengthHigh - lengthLow );
		const f32 length = mpoSpline->GetSegmentLength( segment, t );
		if ( length < d ) {
			if ( d - length < EF_SPLINE_CURSOR_TOLERANCE ) {
				break;
			}
			tLow = t;
			lengthLow = length;
		} else {
			if ( length - d < EF_SPLINE_CURSOR_TOLERANCE ) {
				break;
			}
			tHigh = t;
			lengthHigh = length;
		}
	}
	return t;
}

void EFSplineCursor::SetToNearest( const DTVector3d & x ) {
	if ( mpoSpline == nullptr ) {
		return;
	}
	MoveTo( mpoSpline->GetNearest( x ) );
}

void EFSplineCursor::MoveToNearest( const DTVector3d & x ) {
	if ( mpoSpline == nullptr ) {
		return;
	}
	MoveTo( mpoSpline->GetNearest( mi32Segment, x, nullptr ) );
}

f32 EFSplineCursor::GetLengthFactor() const {
	if ( mpoSpline == nullptr || !( mpoSpline->mfLength != 0.0f ) ) {
		return 0.0f;
	}
	f64 travelled = 0.0;
	for ( s32 i = 0; i < mi32Segment && static_cast<u32>( i ) < mpoSpline->GetNbSegments(); i++ ) {
		travelled += mpoSpline->GetSegmentLength( i );
	}
	travelled += mpoSpline->GetSegmentLength( mi32Segment, mfT );
	return static_cast<f32>( travelled / mpoSpline->mfLength );
}
