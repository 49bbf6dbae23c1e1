#include "SplineReference.h"
#include "datatypes/base/DTByteOrder.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFCoreTestBench.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/level/EFGenericDataLoader.h"
#include "support/TestHexBytes.h"
#include "tools/lib/level/ToolSampleSplines.h"
#include "framework/video/EFVideoPlayer.h"

#include <cstring>
#include <functional>
#include <limits>

namespace {

class EFSplineMgrTest : public EFCoreTestBench {
protected:
	static std::vector<ToolSplineInput> TwoSplines() {
		ToolSplineInput open = RefStraightSpline( 4, false );
		open.id = 0x1234;
		open.flags = TOOL_SPLINE_FLAG_ROPE;
		ToolSplineInput loop = RefStraightSpline( 4, true );
		loop.id = 0x0042;
		loop.flags = TOOL_SPLINE_FLAG_LOOP;
		return { open, loop };
	}

	static std::vector<u8> Payload() {
		std::vector<u8> payload;
		std::string error;
		EXPECT_TRUE( ToolSplineWriter::WritePayload( TwoSplines(), payload, error ) ) << error;
		return payload;
	}

	static void Load( EFSplineMgr& manager, std::vector<u8> bytes ) {
		DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
		EXPECT_EQ( manager.LoadData( 1, 0, stream ), 0 );
	}
};

void PutU32( std::vector<u8>& bytes, const size_t at, const u32 value ) {
	DTWriteBE32( &bytes[at], value );
}

void PutF32( std::vector<u8>& bytes, const size_t at, const f32 value ) {
	DTWriteBEF32( &bytes[at], value );
}

TEST_F( EFSplineMgrTest, DecodesTheWritersBlock ) {
	EFSplineMgr manager;
	Load( manager, Payload() );
	ASSERT_EQ( manager.GetNbSplines(), 2u );
	EXPECT_EQ( manager.GetSpline( 2 ), nullptr );
	const EFQuadraticSpline& open = *manager.GetSpline( 0 );
	const EFQuadraticSpline& loop = *manager.GetSpline( 1 );
	EXPECT_EQ( open.mui16ID, 0x1234 );
	EXPECT_EQ( open.mui16Flags, TOOL_SPLINE_FLAG_ROPE );
	EXPECT_FALSE( open.IsLoop() );
	EXPECT_TRUE( loop.IsLoop() );
	EXPECT_EQ( open.GetNbSegments(), 4u );
	EXPECT_FLOAT_EQ( open.mfLength, 4.0f );
	EXPECT_FLOAT_EQ( loop.mfLength, 4.0f );
	EXPECT_NEAR( open.moBoxCentre.x, 2.0f, 1e-4f );
	EXPECT_NEAR( open.moBoxHalfExtents.x, 2.0f, 1e-3f );
	for ( u32 s = 0; s < 4; s++ ) {
		const EFSplineSegment& segment = open.GetSegment( static_cast<s32>( s ) );
		EXPECT_FLOAT_EQ( segment.mfDistance, static_cast<f32>( s ) );
		EXPECT_FLOAT_EQ( segment.moCorners[0].x, static_cast<f32>( s ) );
		EXPECT_FLOAT_EQ( segment.moB.x, 1.0f );
		// A straight segment's corners are collinear: no culling planes.
		EXPECT_EQ( segment.moPlanes[0].moNormal * segment.moPlanes[0].moNormal, 0.0f );
	}
	const EFSplineSegment& corner = loop.GetSegment( 1 );
	EXPECT_FLOAT_EQ( corner.moCorners[0].x, 1.0f );
	EXPECT_FLOAT_EQ( corner.moCorners[2].y, 1.0f );
	EXPECT_FLOAT_EQ( loop.GetSegment( 3 ).moCorners[2].y, 0.0f );
}

TEST_F( EFSplineMgrTest, PinsTheStoredLayoutOfOneSegment ) {
	// Hand-written: S = 48 + 164, word 0, one spline, X 0, H 0; header id
	// 5, flags 0, length 2, box centre (1,0,0), half (1,0,0), one segment
	// at 48; the segment from (0,0,0) through (1,0,0) to (2,0,0).
	std::vector<u8> bytes = HexBytes(
		"000000D4 00000000 00000001 00000000 00000000"
		"0005 0000 0000000000000000 40000000 3F800000 00000000 00000000 3F800000 00000000 00000000 00000001 00000030"
		"00000000 00000000 00000000 3F800000 00000000 00000000 40000000 00000000 00000000"
		"40000000 00000000 00000000 00000000 3F800000 00000000 00000000"
		"40000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000 40800000"
		"00000000000000000000000000000000 00000000000000000000000000000000"
		"00000000000000000000000000000000 00000000000000000000000000000000" );
	ASSERT_EQ( bytes.size(), 20u + 48u + 164u );
	EFSplineMgr manager;
	Load( manager, bytes );
	ASSERT_EQ( manager.GetNbSplines(), 1u );
	const EFQuadraticSpline& spline = *manager.GetSpline( 0 );
	EXPECT_EQ( spline.mui16ID, 5 );
	DTVector3d point;
	spline.GetPoint( 0, 0.5f, point );
	EXPECT_FLOAT_EQ( point.x, 1.0f );
	EXPECT_FLOAT_EQ( spline.GetSegmentLength( 0, 0.25f ), 0.5f );
	EXPECT_FLOAT_EQ( spline.GetSegment( 0 ).mfBB, 4.0f );
}

TEST_F( EFSplineMgrTest, RefusesACorruptedBlockAndKeepsNoSpline ) {
	constexpr size_t HEAD = TOOL_SPLINE_PAYLOAD_HEAD;
	constexpr size_t SECOND_HEADER = HEAD + TOOL_SPLINE_HEADER_BYTES;
	constexpr size_t FIRST_SEGMENT = HEAD + 2 * TOOL_SPLINE_HEADER_BYTES;
	struct Row {
		const char*								name;
		std::function<void( std::vector<u8>& )>	corrupt;
	};
	const Row rows[] = {
		{ "a spline count past the block", []( std::vector<u8>& b ) { PutU32( b, 8, 3 ); } },
		{ "a huge spline count", []( std::vector<u8>& b ) { PutU32( b, 8, 0xFFFFFFFF ); } },
		{ "headers past the block", []( std::vector<u8>& b ) { PutU32( b, 16, 0xFFFFFFF0 ); } },
		{ "a spline without segments", []( std::vector<u8>& b ) { PutU32( b, SECOND_HEADER + TOOL_SPLINE_HEADER_NB_SEGMENTS, 0 ); } },
		{ "segments past the block", []( std::vector<u8>& b ) { PutU32( b, SECOND_HEADER + TOOL_SPLINE_HEADER_NB_SEGMENTS, 1000 ); } },
		{ "a segment offset past the block", []( std::vector<u8>& b ) { PutU32( b, HEAD + TOOL_SPLINE_HEADER_SEGMENTS, 0xFFFFFF00 ); } },
		{ "tables claiming more segments than the block holds", []( std::vector<u8>& b ) {
			PutU32( b, HEAD + TOOL_SPLINE_HEADER_NB_SEGMENTS, 8 );
			PutU32( b, SECOND_HEADER + TOOL_SPLINE_HEADER_NB_SEGMENTS, 8 );
			PutU32( b, SECOND_HEADER + TOOL_SPLINE_HEADER_SEGMENTS, 2 * TOOL_SPLINE_HEADER_BYTES ); } },
		{ "a NaN corner", []( std::vector<u8>& b ) { PutF32( b, FIRST_SEGMENT + 4, std::numeric_limits<f32>::quiet_NaN() ); } },
		{ "an infinite plane", []( std::vector<u8>& b ) { PutF32( b, FIRST_SEGMENT + 160, std::numeric_limits<f32>::infinity() ); } },
		{ "an infinite total length", []( std::vector<u8>& b ) { PutF32( b, HEAD + 12, std::numeric_limits<f32>::infinity() ); } },
		{ "a negative segment length", []( std::vector<u8>& b ) { PutF32( b, FIRST_SEGMENT + TOOL_SPLINE_SEGMENT_LENGTH, -1.0f ); } },
		{ "a block longer than the data", []( std::vector<u8>& b ) { PutU32( b, 0, static_cast<u32>( b.size() ) ); } },
		{ "a block size beyond any buffer", []( std::vector<u8>& b ) { PutU32( b, 0, 0xFFFFFFFF ); } },
		{ "data cut in its head", []( std::vector<u8>& b ) { b.resize( 14 ); } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		std::vector<u8> bytes = Payload();
		row.corrupt( bytes );
		EFSplineMgr manager;
		Load( manager, Payload() );
		ASSERT_EQ( manager.GetNbSplines(), 2u );
		testing::internal::CaptureStdout();
		Load( manager, bytes );
		const std::string printed = testing::internal::GetCapturedStdout();
		EXPECT_EQ( manager.GetNbSplines(), 0u );
		EXPECT_EQ( manager.GetSpline( 0 ), nullptr );
		EXPECT_NE( printed.find( "!!!" ), std::string::npos );
	}
}

TEST_F( EFSplineMgrTest, AGenericRecordReachesTheManagerAndALevelChangeFreesIt ) {
	ToolResourceRecord record;
	std::string error;
	ASSERT_TRUE( ToolSplineWriter::WriteRecord( TwoSplines(), record, error ) ) << error;
	EXPECT_EQ( record.classId, EF_GENERIC_DATA_LOADER_CLASS_ID );

	EFAppContext context;
	std::memset( &context, 0, sizeof( context ) );
	std::strcpy( context.szResFilename, "START.GCR" );
	std::strcpy( context.szLevelPath, "SAMPLE" );
	EFVideoPlayer::GetInstance()->mui32Playing = 0;
	EFEngineController* const controller = new EFEngineController( context );
	ASSERT_NE( gpoSplineMgr, nullptr );
	DTMemoryPersistStream stream( reinterpret_cast<char*>( record.object.data() ), static_cast<s32>( record.object.size() ) );
	EFGenericDataLoader loader;
	EXPECT_EQ( loader.LoadPropertiesBinary( stream ), 0 );
	EXPECT_EQ( stream.GetPosition(), static_cast<s32>( record.object.size() ) );
	ASSERT_EQ( gpoSplineMgr->GetNbSplines(), 2u );
	EXPECT_EQ( gpoSplineMgr->GetSpline( 1 )->mui16ID, 0x42 );
	controller->Reset();
	EXPECT_EQ( gpoSplineMgr->GetNbSplines(), 0u );
	EXPECT_EQ( gpoSplineMgr->GetSpline( 0 ), nullptr );
	delete controller;
}

TEST_F( EFSplineMgrTest, ASecondRecordReplacesTheSplinesAndKeepsTheFirstBlock ) {
	EFSplineMgr manager;
	Load( manager, Payload() );
	const EFQuadraticSpline* const first = manager.GetSpline( 0 );
	ToolSplineInput single = RefStraightSpline( 2, false );
	std::vector<u8> bytes;
	std::string error;
	ASSERT_TRUE( ToolSplineWriter::WritePayload( { single }, bytes, error ) );
	Load( manager, bytes );
	ASSERT_EQ( manager.GetNbSplines(), 1u );
	EXPECT_NE( manager.GetSpline( 0 ), first );
	// A cursor that still points at the first block can read it.
	EXPECT_EQ( first->GetNbSegments(), 4u );
	manager.Free();
	EXPECT_EQ( manager.GetNbSplines(), 0u );
	EXPECT_EQ( manager.GetWord(), 0u );
}

}

namespace {

TEST_F( EFSplineMgrTest, TheSampleLevelsSplinesLoad ) {
	ToolResourceRecord record = ToolSampleSplineRecord();
	ASSERT_EQ( record.classId, EF_GENERIC_DATA_LOADER_CLASS_ID );
	EFSplineMgr manager;
	DTMemoryPersistStream stream( reinterpret_cast<char*>( record.object.data() ), static_cast<s32>( record.object.size() ) );
	EFGenericDataLoader loader;
	EXPECT_EQ( loader.LoadPropertiesBinary( stream ), 0 );
	ASSERT_EQ( manager.GetNbSplines(), 2u );
	const EFQuadraticSpline& open = *manager.GetSpline( 0 );
	const EFQuadraticSpline& loop = *manager.GetSpline( 1 );
	EXPECT_EQ( open.mui16ID, TOOL_SAMPLE_OPEN_SPLINE_ID );
	EXPECT_FALSE( open.IsLoop() );
	EXPECT_EQ( open.GetNbSegments(), 3u );
	EXPECT_EQ( loop.mui16ID, TOOL_SAMPLE_LOOP_SPLINE_ID );
	EXPECT_TRUE( loop.IsLoop() );
	EXPECT_EQ( loop.GetNbSegments(), 4u );
	// The loop ends where it starts.
	DTVector3d start;
	DTVector3d end;
	loop.GetPoint( 0, 0.0f, start );
	loop.GetPoint( 3, 1.0f, end );
	EXPECT_FLOAT_EQ( start.x, end.x );
	EXPECT_FLOAT_EQ( start.z, end.z );
}

TEST_F( EFSplineMgrTest, TheWriterRefusesPointsThatMakeNoWholeSegment ) {
	struct Row {
		const char*	name;
		bool		loop;
		u32			points;
		bool		accepted;
	};
	const Row rows[] = {
		{ "open, three points", false, 3, true },
		{ "open, even count", false, 4, false },
		{ "open, one point", false, 1, false },
		{ "loop, two points", true, 2, true },
		{ "loop, odd count", true, 3, false },
		{ "loop, no point", true, 0, false },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		ToolSplineInput spline;
		spline.flags = row.loop ? TOOL_SPLINE_FLAG_LOOP : 0;
		for ( u32 i = 0; i < row.points; i++ ) {
			spline.points.push_back( { f64( i ), f64( i * i ), 0.0 } );
		}
		std::vector<u8> payload;
		std::string error;
		EXPECT_EQ( ToolSplineWriter::WritePayload( { spline }, payload, error ), row.accepted );
		EXPECT_EQ( error.empty(), row.accepted );
	}
	ToolSplineInput bad = RefStraightSpline( 1, false );
	bad.points[1][2] = std::numeric_limits<f64>::quiet_NaN();
	std::vector<u8> payload;
	std::string error;
	EXPECT_FALSE( ToolSplineWriter::WritePayload( { bad }, payload, error ) );
}

}
