#include "framework/logic/api/LogicApiTables.h"

#include "datatypes/base/DTFloatToInt.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/EFSplineCursor.h"
#include "framework/core/spline/EFSplineMgr.h"
#include "framework/logic/api/LogicApiTable.h"

#include <cmath>

namespace {

bool bDone = false;

constexpr u32 NO_SPLINE_ID = 0xFFFFFFFF;

// The spline at an index; null past the count (a negative index given as
// signed wraps past it too).
EFQuadraticSpline * Spline( const u32 index ) {
	return gpoSplineMgr != nullptr ? gpoSplineMgr->GetSpline( index ) : nullptr;
}

// A segment number as the spline's queries take it: every number at or
// past the count reads as the count (the end of the last segment), so a
// large unsigned one never turns negative.
s32 Segment( const EFQuadraticSpline & spline, const u32 segment ) {
	const u32 count = spline.GetNbSegments();
	return static_cast<s32>( segment < count ? segment : count );
}

// Segment and t of a normalised position, by parameter: a loop keeps the
// fractional part of u (a negative one counts back from the end), an open
// spline holds u to 0..1; u = 1 gives the segment count, which the queries
// read as the end of the last segment.
void MapPosition( const EFQuadraticSpline & spline, f32 u, s32 & segment, f32 & t ) {
	if ( spline.IsLoop() ) {
		u -= std::trunc( u );
		if ( u < 0.0f ) {
			u += 1.0f;
		}
	} else if ( u > 1.0f ) {
		u = 1.0f;
	} else if ( u < 0.0f ) {
		u = 0.0f;
	}
	const f32 s = u * static_cast<f32>( spline.GetNbSegments() );
	const u32 whole = DTFloatToU32( s );
	segment = Segment( spline, whole );
	t = s - static_cast<f32>( whole );
}

// --- Slots ---

u32 GetNbSplines() {
	return gpoSplineMgr != nullptr ? gpoSplineMgr->GetNbSplines() : 0;
}

s32 GetIndex( const u32 id ) {
	const u32 count = GetNbSplines();
	for ( u32 index = 0; index < count; index++ ) {
		if ( Spline( index )->mui16ID == id ) {
			return static_cast<s32>( index );
		}
	}
	return -1;
}

u32 GetID( const s32 index ) {
	const EFQuadraticSpline * const spline = Spline( static_cast<u32>( index ) );
	return spline != nullptr ? spline->mui16ID : NO_SPLINE_ID;
}

// A point or tangent query at a normalised position.
void QueryAt( const u32 index, const f32 u, DTVector3d * const out,
			  void ( EFQuadraticSpline::*query )( s32, f32, DTVector3d & ) const ) {
	const EFQuadraticSpline * const spline = Spline( index );
	if ( spline != nullptr && out != nullptr ) {
		s32 segment = 0;
		f32 t = 0.0f;
		MapPosition( *spline, u, segment, t );
		( spline->*query )( segment, t, *out );
	}
}

void GetPosition( const u32 index, const f32 u, DTVector3d * const out ) {
	QueryAt( index, u, out, &EFQuadraticSpline::GetPoint );
}

void GetSegmentPosition( const u32 index, const u32 segment, const f32 t, DTVector3d * const out ) {
	const EFQuadraticSpline * const spline = Spline( index );
	if ( spline != nullptr && out != nullptr ) {
		spline->GetPoint( Segment( *spline, segment ), t, *out );
	}
}

u32 GetNbSegments( const u32 index ) {
	const EFQuadraticSpline * const spline = Spline( index );
	return spline != nullptr ? spline->GetNbSegments() : 0;
}

void Segment2GlobalFactor( const u32 index, const u32 segment, const f32 t, f32 * const u ) {
	EFQuadraticSpline * const spline = Spline( index );
	if ( spline != nullptr && u != nullptr ) {
		EFSplineCursor cursor;
		cursor.SetSpline( spline );
		cursor.MoveTo( Segment( *spline, segment ), t );
		*u = cursor.mfU;
	}
}

void Global2SegmentFactor( const u32 index, const f32 u, u32 * const segment, f32 * const t ) {
	EFQuadraticSpline * const spline = Spline( index );
	if ( spline != nullptr && segment != nullptr && t != nullptr ) {
		EFSplineCursor cursor;
		cursor.SetSpline( spline );
		cursor.MoveTo( u );
		*segment = static_cast<u32>( cursor.mi32Segment );
		*t = cursor.mfT;
	}
}

void GetTangent( const u32 index, const f32 u, DTVector3d * const out ) {
	QueryAt( index, u, out, &EFQuadraticSpline::GetTangent );
}

f32 GetLength( const u32 index ) {
	const EFQuadraticSpline * const spline = Spline( index );
	return spline != nullptr ? spline->mfLength : 0.0f;
}

f32 GetDistance( const u32 index, const u32 segment ) {
	const EFQuadraticSpline * const spline = Spline( index );
	return spline != nullptr ? spline->GetSegment( Segment( *spline, segment ) ).mfDistance : 0.0f;
}

f32 GetSegmentLength( const u32 index, const u32 segment, const f32 t ) {
	const EFQuadraticSpline * const spline = Spline( index );
	return spline != nullptr ? spline->GetSegmentLength( Segment( *spline, segment ), t ) : 0.0f;
}

f32 MoveDistance( const u32 index, const f32 u, const f32 distance ) {
	EFQuadraticSpline * const spline = Spline( index );
	if ( spline == nullptr ) {
		return 0.0f;
	}
	EFSplineCursor cursor;
	cursor.SetSpline( spline );
	cursor.MoveTo( u );
	cursor.MoveDistance( distance, nullptr );
	return cursor.mfU;
}

u32 GetType( const u32 index ) {
	const EFQuadraticSpline * const spline = Spline( index );
	return spline != nullptr ? spline->mui16Flags : 0;
}

f32 GetNearest( const u32 index, DTVector3d * const x ) {
	const EFQuadraticSpline * const spline = Spline( index );
	return spline != nullptr && x != nullptr ? spline->GetNearest( *x ) : 0.0f;
}

}

void ApiSplineLibNotInit() {
	bDone = true;
}

bool ApiSplineLibNotInitDone() {
	return bDone;
}

constexpr _api_spline APIsplineStubs = MakeLogicApiStubs<_api_spline, ApiSplineLibNotInit>();
constinit _api_spline APIspline = MakeLogicApiStubs<_api_spline, ApiSplineLibNotInit>();

_api_spline * InitSplineAPI() {
	InitAPI( &APIspline, LOGIC_API_SPLINE_SLOTS, &APIsplineStubs );
	APIspline.GetNbSplines = GetNbSplines;
	APIspline.GetIndex = GetIndex;
	APIspline.GetID = GetID;
	APIspline.GetPosition = GetPosition;
	APIspline.GetSegmentPosition = GetSegmentPosition;
	APIspline.GetNbSegments = GetNbSegments;
	APIspline.Segment2GlobalFactor = Segment2GlobalFactor;
	APIspline.Global2SegmentFactor = Global2SegmentFactor;
	APIspline.GetTangent = GetTangent;
	APIspline.GetLength = GetLength;
	APIspline.GetDistance = GetDistance;
	APIspline.GetSegmentLength = GetSegmentLength;
	APIspline.MoveDistance = MoveDistance;
	APIspline.GetType = GetType;
	APIspline.GetNearest = GetNearest;
	return &APIspline;
}
