/*
	The level's spline block, as the spline manager receives it from a
	generic-data record, then every spline it kept walked end to end.
*/
#include "FuzzTarget.h"

#include "datatypes/maths/DTVector3d.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/EFSplineMgr.h"
#include "tools/lib/level/ToolSampleSplines.h"
#include "tools/lib/level/ToolSplineWriter.h"

namespace {

void LoadSplines( const u8* data, const size_t size ) {
	std::vector<char> copy( data, data + size );
	DTMemoryPersistStream stream( copy.empty() ? nullptr : copy.data(), static_cast<s32>( copy.size() ) );
	EFSplineMgr manager;
	manager.LoadData( TOOL_SPLINE_MANAGER_ID, 0, stream );
	for ( u32 i = 0; i < manager.GetNbSplines(); i++ ) {
		const EFQuadraticSpline* const spline = manager.GetSpline( i );
		FuzzCheck( spline != nullptr, "a counted spline is missing" );
		const DTVector3d origin( 0.0f, 0.0f, 0.0f );
		DTVector3d point;
		spline->GetPoint( 0, 0.5f, point );
		spline->GetTangent( -1, 2.0f, point );
		spline->GetSegmentLength( 0x7FFFFFFF );
		spline->GetNearest( origin );
	}
}

} // namespace

FUZZ_TARGET( spline_block ) {
	FuzzWithoutArenaLeak( LoadSplines, data, size );
}

static void FuzzSeeds_spline_block( std::vector<FuzzSeed>& seeds ) {
	std::vector<u8> payload;
	std::string error;
	FuzzCheck( ToolSplineWriter::WritePayload( ToolSampleSplines(), payload, error ), "the sample splines do not write" );
	seeds.push_back( { "sample.spl", payload } );
	ToolSplineInput line;
	line.id = 7;
	line.points = { { 0, 0, 0 }, { 1, 2, 3 }, { 4, 4, 4 } };
	FuzzCheck( ToolSplineWriter::WritePayload( { line }, payload, error ), "one segment does not write" );
	seeds.push_back( { "one-segment.spl", payload } );
}
