/*
	Camera tracks: an input is an animation resource's stored form (class
	73: id, users, the block with its size first). A block that loads is
	bound to a camera animation node of an animation manager, as a level
	binds it; the track of each camera spline is looked up in it, and every
	entry's channel and curve value are read at the start, a quarter and
	the end of that spline: four segments along x, a loop, and one whose
	first segment has no length. Ids no spline has are looked up too.
*/
#include "FuzzTarget.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/behaviour/EFDMCameraTrack.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/EFSplineCursor.h"
#include "framework/core/spline/EFSplineMgr.h"
#include "framework/graphics/animation/EFAnimRes.h"
#include "framework/graphics/animation/EFAnimationMgr.h"
#include "framework/graphics/animation/EFCameraAnimNode.h"
#include "tools/lib/level/ToolAnimBlockWriter.h"
#include "tools/lib/level/ToolAnimCurveWriter.h"
#include "tools/lib/level/ToolSplineWriter.h"

#include <cstring>
#include <utility>

namespace {

constexpr u16 STRAIGHT = 5;
constexpr u16 LOOP = 7;
constexpr u16 STILL_START = 9;

// Keeps the reads.
volatile u32 gSink = 0;

// The stored camera splines, written once.
const std::vector<u8>& CameraSplines() {
	static const std::vector<u8> payload = [] {
		ToolSplineInput straight;
		straight.id = STRAIGHT;
		straight.flags = TOOL_SPLINE_FLAG_ROPE;
		for ( u32 i = 0; i <= 8; i++ ) {
			straight.points.push_back( { 0.5 * i, 0.0, 0.0 } );
		}
		ToolSplineInput loop;
		loop.id = LOOP;
		loop.flags = TOOL_SPLINE_FLAG_ROPE | TOOL_SPLINE_FLAG_LOOP;
		loop.points = { { 0, 0, 0 }, { 0, 0, 2 }, { 0, 0, 4 }, { 2, 0, 4 }, { 4, 0, 4 }, { 4, 0, 2 }, { 4, 0, 0 }, { 2, 0, 0 } };
		ToolSplineInput still;
		still.id = STILL_START;
		still.flags = TOOL_SPLINE_FLAG_ROPE;
		still.points = { { 0, 0, 0 }, { 0, 0, 0 }, { 0, 0, 0 }, { 1, 0, 0 }, { 2, 0, 0 } };
		std::vector<u8> bytes;
		std::string error;
		FuzzCheck( ToolSplineWriter::WritePayload( { straight, loop, still }, bytes, error ), "the camera splines are written" );
		return bytes;
	}();
	return payload;
}

void ReadTrack( const EFAnimationMgr& manager, EFQuadraticSpline* spline ) {
	EFDMCameraTrack track;
	if ( !track.Find( manager, spline->mui16ID ) ) {
		return;
	}
	EFSplineCursor cursor;
	cursor.SetSpline( spline );
	for ( const f32 u : { 0.0f, 0.25f, 1.0f } ) {
		cursor.MoveTo( u );
		for ( u32 entry = 0; entry < track.GetChannelCount(); entry++ ) {
			gSink = gSink + track.GetChannel( entry );
			f32 value = 0.0f;
			if ( track.Evaluate( entry, cursor, value ) ) {
				u32 bits = 0;
				std::memcpy( &bits, &value, sizeof( bits ) );
				gSink = gSink + bits;
			}
		}
	}
}

void ReadTracks( const u8* data, const size_t size ) {
	std::vector<u8> payload = CameraSplines();
	DTMemoryPersistStream splineStream( reinterpret_cast<char*>( payload.data() ), static_cast<s32>( payload.size() ) );
	EFSplineMgr splines;
	splines.LoadData( 1, 0, splineStream );
	FuzzCheck( splines.GetNbSplines() == 3, "the camera splines load" );
	EFAnimRes* const res = FuzzReadAnimRes( data, size );
	if ( res == nullptr ) {
		return;
	}
	EFAnimationMgr manager;
	EFCameraAnimNode* const node = new EFCameraAnimNode;
	res->muiRefCount++;
	node->mpAnimRes = res;
	DTCreationParameters params = { nullptr, nullptr };
	node->Initialize( &params );
	if ( !manager.CreateTable( 1 ) || !manager.AddAnim( node, 0 ) ) {
		delete node;
		return;
	}
	for ( u32 i = 0; i < splines.GetNbSplines(); i++ ) {
		ReadTrack( manager, splines.GetSpline( i ) );
	}
	EFDMCameraTrack none;
	for ( const s32 id : { 0, -1, 0x10000 + STRAIGHT } ) {
		gSink = gSink + ( none.Find( manager, id ) ? 1u : 0u );
	}
}

// A block with one track per (spline id, channels of curves).
std::vector<u8> Block( const std::vector<std::pair<u32, ToolAnimCurveWriter::Channels>>& tracks ) {
	return ToolAnimCurveWriter::SplineBlock( tracks, 4.0f );
}

}

FUZZ_TARGET( camera_track ) {
	FuzzWithoutArenaLeak( ReadTracks, data, size );
}

static void FuzzSeeds_camera_track( std::vector<FuzzSeed>& seeds ) {
	// Position, far clip and focal length along the straight spline, and
	// the loop's own track after it.
	const std::vector<u8> channels = Block( { { STRAIGHT,
												{ { 3, ToolAnimCurveWriter::Linear( 0.0f, 1.0f, 0.0f, 4.0f ) },
												  { 4, ToolAnimCurveWriter::Constant( 2.0f ) },
												  { 5, ToolAnimCurveWriter::Constant( -3.0f ) },
												  { 19, ToolAnimCurveWriter::Constant( 250.0f ) },
												  { 20, ToolAnimCurveWriter::Constant( 12.44712f ) } } },
											  { LOOP, { { 16, ToolAnimCurveWriter::Constant( 0.5f ) } } } } );
	seeds.push_back( { "channels", ToolAnimBlockWriter::Resource( channels ) } );
	// One key per segment, cubic and compressed: the time runs through the
	// cursor's segment.
	ToolCurve time;
	time.start = 0.5f;
	time.end = 4.0f;
	time.keys = { { 1.0f, 0.0f, 0.0f, 0.5f, 0.5f },
				  { 2.0f, 0.0f, 0.0f, 1.0f, 1.0f },
				  { 3.0f, 0.0f, 0.0f, 1.0f, 2.0f },
				  { 4.0f, 0.0f, 0.0f, 1.0f, 3.0f } };
	ToolCurve packed = time;
	packed.kind = TOOL_CURVE_COMPRESSED;
	packed.postInfinity = TOOL_CURVE_OSCILLATE;
	seeds.push_back( { "key_per_segment", ToolAnimBlockWriter::Resource( Block( { { STRAIGHT, { { 3, time }, { 5, packed } } } } ) ) } );
	// A curve claiming more keys than its block holds.
	std::vector<u8> claiming = channels;
	const u32 curve = DTReadBE32( claiming.data() + 16 + 8 + 4 );
	DTWriteBE16( claiming.data() + curve + 10, 50 );
	seeds.push_back( { "keys_past_the_block", ToolAnimBlockWriter::Resource( claiming ) } );
	// Two keys over a spline whose first segment has no length.
	ToolCurve two;
	two.end = 2.0f;
	two.keys = { { 1.0f, 0.0f, 0.0f, 1.0f, 5.0f }, { 2.0f, 0.0f, 0.0f, 1.0f, 6.0f } };
	seeds.push_back( { "still_start", ToolAnimBlockWriter::Resource( Block( { { STILL_START, { { 3, two } } } } ) ) } );
}
