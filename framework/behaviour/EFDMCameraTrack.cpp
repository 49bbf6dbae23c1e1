#include "framework/behaviour/EFDMCameraTrack.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/node/DTFCurve.h"
#include "datatypes/maths/DTLimits.h"
#include "datatypes/maths/DTSphere.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/EFSplineMgr.h"
#include "framework/core/spline/EFSplineCursor.h"
#include "framework/graphics/animation/EFAnimNode.h"
#include "framework/graphics/animation/EFAnimRes.h"
#include "framework/graphics/animation/EFAnimationMgr.h"

#include <cmath>

namespace {

// Low 24 bits of an entry's kind word.
constexpr u32 CHANNEL_MASK	= 0x00FFFFFF;
constexpr u32 CONSTANT_BYTES	= 4;

// The block of the node's resource, checked against its size.
bool TrackBlockOf( const EFAnimNode * node, DTAnimHdr & header ) {
	const EFAnimRes * const resource = node != nullptr ? EFAnimRes::From( node->mpAnimRes ) : nullptr;
	if ( resource == nullptr || resource->mpAnimData == nullptr ) {
		return false;
	}
	header = DTAnimHdr( resource->mpAnimData );
	return header.ResolvePointers( resource->GetAnimDataSize() );
}

u32 KeyBytes( const DTFCurve & curve ) {
	switch ( curve.GetKind() ) {
		case DT_FCURVE_CONSTANT: return 0;
		case DT_FCURVE_COMPRESSED: return DT_FCURVE_COMPRESSED_KEY_BYTES;
		default: return DT_FCURVE_CUBIC_KEY_BYTES;
	}
}

// The end time of key k (the fit is checked first).
f32 KeyTime( const u8 * curve, const DTFCurve & view, const u32 k ) {
	return DTReadBEF32( curve + DT_FCURVE_FIRST_KEY + k * KeyBytes( view ) );
}

}

EFDMCameraTrack::EFDMCameraTrack() : moHeader( nullptr ), mui32Track( 0 ) {
}

f32 EFDMCameraTrack::TouchPosition( const f32 u, const bool loop ) {
	if ( loop ) {
		return u - std::trunc( u );
	}
	return u < 0.0f ? 0.0f : u > 1.0f ? 1.0f : u;
}

EFQuadraticSpline * EFDMCameraTrack::NearestCameraSpline( const DTVector3d & position, const f32 radius ) {
	const DTSphere sphere( position, radius );
	EFQuadraticSpline * best = nullptr;
	f32 bestDistance = DT_MAX_FLOAT;
	const u32 count = gpoSplineMgr != nullptr ? gpoSplineMgr->GetNbSplines() : 0;
	for ( u32 i = 0; i < count; i++ ) {
		EFQuadraticSpline * const spline = gpoSplineMgr->GetSpline( i );
		f32 u = 0.0f;
		if ( spline == nullptr || ( spline->mui16Flags & EF_SPLINE_FLAG_ROPE ) == 0 ||
			 spline->CheckSphereIntersection( sphere, u ) == 0 ) {
			continue;
		}
		u = TouchPosition( u, spline->IsLoop() );
		const f32 scaled = u * static_cast<f32>( spline->GetNbSegments() );
		const s32 segment = static_cast<s32>( std::trunc( scaled ) );
		DTVector3d point;
		spline->GetPoint( segment, scaled - static_cast<f32>( segment ), point );
		const f32 distance = ( point - position ).LengthSquare();
		if ( distance < bestDistance ) {
			bestDistance = distance;
			best = spline;
		}
	}
	return best;
}

bool EFDMCameraTrack::Find( const EFAnimationMgr & manager, const s32 splineId ) {
	for ( u32 i = 0; i < manager.muiNbAnims && manager.mppAnims != nullptr; i++ ) {
		if ( !TrackBlockOf( manager.mppAnims[i], moHeader ) ) {
			continue;
		}
		for ( mui32Track = 0; mui32Track < moHeader.GetTrackCount(); mui32Track++ ) {
			if ( DTReadBE32( moHeader.GetTrack( mui32Track ) ) == static_cast<u32>( splineId ) ) {
				return true;
			}
		}
	}
	moHeader = DTAnimHdr( nullptr );
	return false;
}

u32 EFDMCameraTrack::GetChannelCount() const {
	return moHeader.GetEntryCount( mui32Track );
}

u32 EFDMCameraTrack::GetChannel( const u32 entry ) const {
	const u8 * const bytes = moHeader.GetEntry( mui32Track, entry );
	return bytes != nullptr ? DTReadBE32( bytes ) & CHANNEL_MASK : 0;
}

bool EFDMCameraTrack::KeysFit( const DTFCurve & curve, const u32 bytes ) {
	if ( !curve.IsValid() ) {
		return false;
	}
	const u64 keys = curve.GetKind() == DT_FCURVE_CONSTANT ? CONSTANT_BYTES
														   : static_cast<u64>( curve.GetKeyCount() ) * KeyBytes( curve );
	return DT_FCURVE_FIRST_KEY + keys <= bytes;
}

f32 EFDMCameraTrack::CurveTime( const u8 * bytes, const DTFCurve & curve, const EFSplineCursor & cursor ) {
	const EFQuadraticSpline * const spline = cursor.mpoSpline;
	const u32 keys = curve.GetKeyCount();
	if ( spline == nullptr || keys != spline->GetNbSegments() || curve.GetKind() == DT_FCURVE_CONSTANT || keys == 0 ) {
		return curve.GetStart() + cursor.GetLengthFactor() * ( curve.GetEnd() - curve.GetStart() );
	}
	// One key per segment: the time runs through the cursor's segment by
	// arc length, the first segment from 0.
	const u32 k = cursor.mi32Segment <= 0 ? 0 : static_cast<u32>( cursor.mi32Segment ) >= keys ? keys - 1 : static_cast<u32>( cursor.mi32Segment );
	const f32 t1 = KeyTime( bytes, curve, k );
	const f32 t0 = k == 0 ? 0.0f : KeyTime( bytes, curve, k - 1 );
	const f32 length = spline->GetSegmentLength( static_cast<s32>( k ) );
	const f32 ratio = length != 0.0f ? spline->GetSegmentLength( static_cast<s32>( k ), cursor.mfT ) / length : 0.0f;
	return t0 + ratio * ( t1 - t0 );
}

bool EFDMCameraTrack::Evaluate( const u32 entry, const EFSplineCursor & cursor, f32 & value ) const {
	const u8 * const bytes = moHeader.EntryTarget( mui32Track, entry );
	if ( bytes == nullptr ) {
		return false;
	}
	const u32 left = static_cast<u32>( moHeader.GetBlock() + moHeader.GetBlockSize() - bytes );
	const DTFCurve curve( bytes, left );
	if ( !KeysFit( curve, left ) ) {
		return false;
	}
	value = curve.Evaluate( CurveTime( bytes, curve, cursor ) );
	return true;
}
