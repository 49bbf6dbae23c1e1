#include "CompactHeaderReader.h"
#include "M4vTestStream.h"

#include "tools/lib/movie/ToolM4vRewriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

ToolM4vRewriteResult RewriteOrFail( const M4vTestStream& stream, const bool notCodedAsP = false ) {
	ToolM4vRewriteResult result;
	std::string error;
	ToolM4vRewriteOptions options = {};
	options.notCodedAsP = notCodedAsP;
	EXPECT_TRUE( ToolM4vRewriter::Rewrite( stream.Bytes().data(), stream.Bytes().size(), options, &result, &error ) ) << error;
	return result;
}

TestPlane Plane( const u32 type, const u32 increment ) {
	TestPlane plane;
	plane.type = type;
	plane.increment = increment;
	return plane;
}

// The bits after a compact header must be the plane's body followed by its
// stuffing (0 then ones to the byte) and zeros.
void ExpectBodyAfterHeader( const std::vector<u8>& frame, const CompactHeader& header, const TestPlane& plane ) {
	for ( u32 i = 0; i < plane.bodyBits; i++ ) {
		ASSERT_EQ( BitAt( frame, header.payloadBit + i ), M4vTestStream::BodyPattern( i ) ) << "body bit " << i;
	}
	EXPECT_EQ( BitAt( frame, header.payloadBit + plane.bodyBits ), 0u ) << "stuffing starts with 0";
	EXPECT_EQ( frame.size() % 4, 0u );
}

}

TEST( ToolM4vRewriter, CarriesEveryLayerAndPlaneFieldIntoTheCompactHeader ) {
	struct Expected {
		u32 type, rounding, dc, quantiser, forward, backward;
		bool sequence, topFieldFirst, alternateScan;
	};
	struct Case {
		const char* name;
		TestLayer layer;
		std::vector<TestPlane> planes;
		std::vector<Expected> expected;
	};
	TestLayer progressive;
	TestLayer interlaced;
	interlaced.interlaced = true;
	TestLayer gmc;
	gmc.verid = 2;
	gmc.sprite = 2;
	gmc.warpingPoints = 2;
	gmc.warpingAccuracy = 3;

	auto plane = []( u32 type, u32 increment, u32 rounding, u32 dc, u32 quantiser, u32 forward, u32 backward, bool tff = false, bool alt = false ) {
		TestPlane p = Plane( type, increment );
		p.rounding = rounding;
		p.intraDcThreshold = dc;
		p.quantiser = quantiser;
		p.forwardFCode = forward;
		p.backwardFCode = backward;
		p.topFieldFirst = tff;
		p.alternateScan = alt;
		p.warpX = { 3, -2 };
		p.warpY = { 0, 7 };
		return p;
	};
	const Case cases[] = {
		{ "I then P with rounding then B", progressive,
		  { plane( 0, 0, 0, 5, 7, 1, 1 ), plane( 1, 3, 1, 2, 31, 3, 1 ), plane( 2, 1, 0, 7, 1, 2, 5 ) },
		  { { 0, 0, 5, 7, 0, 0, true, false, false }, { 1, 1, 2, 31, 3, 0, false, false, false }, { 2, 0, 7, 1, 2, 5, false, false, false } } },
		{ "P without rounding, then a second I", progressive,
		  { plane( 0, 0, 0, 0, 2, 1, 1 ), plane( 1, 1, 0, 1, 3, 7, 1 ), plane( 0, 2, 0, 3, 4, 1, 1 ) },
		  { { 0, 0, 0, 2, 0, 0, true, false, false }, { 1, 0, 1, 3, 7, 0, false, false, false }, { 0, 0, 3, 4, 0, 0, true, false, false } } },
		{ "interlaced field order and scan", interlaced,
		  { plane( 0, 0, 0, 1, 5, 1, 1, true, false ), plane( 1, 1, 1, 1, 5, 1, 1, false, true ), plane( 2, 2, 0, 1, 5, 1, 1, true, true ) },
		  { { 0, 0, 1, 5, 0, 0, true, true, false }, { 1, 1, 1, 5, 1, 0, false, false, true }, { 2, 0, 1, 5, 1, 1, false, true, true } } },
		{ "sprite frames keep their rounding", gmc,
		  { plane( 0, 0, 0, 0, 6, 1, 1 ), plane( 3, 1, 1, 4, 6, 2, 1 ), plane( 3, 2, 0, 4, 6, 1, 1 ) },
		  { { 0, 0, 0, 6, 0, 0, true, false, false }, { 3, 1, 4, 6, 2, 0, false, false, false }, { 3, 0, 4, 6, 1, 0, false, false, false } } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		M4vTestStream stream;
		stream.Layer( c.layer );
		for ( const TestPlane& p : c.planes ) {
			stream.Plane( c.layer, p );
		}
		const ToolM4vRewriteResult result = RewriteOrFail( stream );
		ASSERT_EQ( result.frames.size(), c.expected.size() );
		CompactHeaderReader reader;
		for ( size_t i = 0; i < c.expected.size(); i++ ) {
			SCOPED_TRACE( i );
			CompactHeader header;
			ASSERT_TRUE( reader.Read( result.frames[i].bytes, &header ) );
			const Expected& e = c.expected[i];
			EXPECT_EQ( header.leadingBits, 0u );
			EXPECT_EQ( header.type, e.type );
			EXPECT_EQ( header.sequence, e.sequence );
			EXPECT_EQ( header.rounding, e.rounding );
			EXPECT_EQ( header.intraDcThreshold, e.dc );
			EXPECT_EQ( header.quantiser, e.quantiser );
			EXPECT_EQ( header.forwardFCode, e.forward );
			EXPECT_EQ( header.backwardFCode, e.backward );
			EXPECT_EQ( header.interlaced, c.layer.interlaced );
			EXPECT_EQ( header.topFieldFirst, e.topFieldFirst );
			EXPECT_EQ( header.alternateScan, e.alternateScan );
			EXPECT_EQ( header.sprite, c.layer.sprite == 2 );
			EXPECT_EQ( header.warpingPoints, c.layer.warpingPoints );
			if ( header.sequence ) {
				EXPECT_EQ( header.ignoredBit, 0u );
				EXPECT_EQ( header.warpingAccuracy, c.layer.warpingAccuracy );
				EXPECT_FALSE( header.mpegQuant );
			}
			if ( e.type == 3 ) {
				EXPECT_EQ( header.warpX, ( std::vector<s32>{ 3, -2 } ) );
				EXPECT_EQ( header.warpY, ( std::vector<s32>{ 0, 7 } ) );
			}
			ExpectBodyAfterHeader( result.frames[i].bytes, header, c.planes[i] );
		}
	}
}

TEST( ToolM4vRewriter, CopiesQuantiserMatricesExactlyAsCoded ) {
	std::vector<u8> full;
	for ( u32 i = 0; i < 64; i++ ) {
		full.push_back( static_cast<u8>( 8 + i ) );
	}
	const std::vector<u8> early = { 8, 17, 0 };
	const std::vector<u8> earlyAtEnd = { 9, 10, 11, 12, 13, 14, 15, 16, 17, 0 };
	struct Case {
		const char* name;
		std::vector<u8> intra;
		std::vector<u8> inter;
	};
	const Case cases[] = {
		{ "no matrix loaded", {}, {} },
		{ "both matrices in full", full, full },
		{ "intra ended early, inter default", early, {} },
		{ "intra default, inter ended early", {}, earlyAtEnd },
		{ "both ended early", earlyAtEnd, early },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		TestLayer layer;
		layer.mpegQuant = true;
		layer.intraMatrix = c.intra;
		layer.interMatrix = c.inter;
		M4vTestStream stream;
		stream.Layer( layer );
		stream.Plane( layer, Plane( 0, 0 ) );
		stream.Plane( layer, Plane( 1, 1 ) );
		stream.Plane( layer, Plane( 0, 2 ) );
		const ToolM4vRewriteResult result = RewriteOrFail( stream );
		ASSERT_EQ( result.frames.size(), 3u );
		CompactHeaderReader reader;
		for ( size_t i = 0; i < 3; i++ ) {
			CompactHeader header;
			ASSERT_TRUE( reader.Read( result.frames[i].bytes, &header ) );
			EXPECT_EQ( header.sequence, i != 1 );
			if ( !header.sequence ) {
				continue;
			}
			EXPECT_TRUE( header.mpegQuant );
			EXPECT_EQ( header.intraLoaded, !c.intra.empty() );
			EXPECT_EQ( header.interLoaded, !c.inter.empty() );
			EXPECT_EQ( header.intraValues, c.intra );
			EXPECT_EQ( header.interValues, c.inter );
			EXPECT_EQ( header.ignoredBit, 0u );
			ExpectBodyAfterHeader( result.frames[i].bytes, header, Plane( 0, 0 ) );
		}
	}
}

TEST( ToolM4vRewriter, WritesSpriteTrajectoriesAsMagnitudeAndSign ) {
	struct Case {
		std::vector<s32> x;
		std::vector<s32> y;
		u32 accuracy;
	};
	const Case cases[] = {
		{ { 1 }, { -1 }, 0 },
		{ { 0, 5 }, { -6, 0 }, 1 },
		{ { -300, 16383, -1 }, { 16383, -16383, 2 }, 3 },
		{ {}, {}, 2 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.x.size() );
		TestLayer layer;
		layer.verid = 2;
		layer.sprite = 2;
		layer.warpingPoints = static_cast<u32>( c.x.size() );
		layer.warpingAccuracy = c.accuracy;
		TestPlane sprite = Plane( 3, 1 );
		sprite.warpX = c.x;
		sprite.warpY = c.y;
		sprite.rounding = 1;
		M4vTestStream stream;
		stream.Layer( layer );
		stream.Plane( layer, Plane( 0, 0 ) );
		stream.Plane( layer, sprite );
		const ToolM4vRewriteResult result = RewriteOrFail( stream );
		ASSERT_EQ( result.frames.size(), 2u );
		CompactHeaderReader reader;
		CompactHeader header;
		ASSERT_TRUE( reader.Read( result.frames[0].bytes, &header ) );
		EXPECT_TRUE( header.sprite );
		EXPECT_EQ( header.warpingPoints, c.x.size() );
		EXPECT_EQ( header.warpingAccuracy, c.accuracy );
		ASSERT_TRUE( reader.Read( result.frames[1].bytes, &header ) );
		EXPECT_EQ( header.type, 3u );
		EXPECT_EQ( header.rounding, 1u );
		EXPECT_EQ( header.warpX, c.x );
		EXPECT_EQ( header.warpY, c.y );
		ExpectBodyAfterHeader( result.frames[1].bytes, header, sprite );
	}
}

TEST( ToolM4vRewriter, CountsTimesAcrossModuloTimeBaseGovsAndBFrames ) {
	// Each step is a plane {type, modulo, increment} or a GOV (type 9, its
	// seconds in increment), with the time expected for the plane.
	struct Step {
		u32 type, modulo, increment, expected;
	};
	const u32 gov = 9;
	struct Case {
		const char* name;
		u32 resolution;
		std::vector<Step> steps;
	};
	const Case cases[] = {
		{ "references carry the seconds", 30,
		  { { 0, 0, 0, 0 }, { 1, 1, 3, 33 }, { 1, 0, 9, 39 }, { 1, 2, 0, 90 } } },
		{ "B frames count from the older reference", 30,
		  { { 0, 0, 0, 0 }, { 1, 1, 3, 33 }, { 2, 0, 29, 29 }, { 2, 1, 1, 31 }, { 1, 1, 0, 60 }, { 2, 0, 15, 45 } } },
		{ "a GOV resets the base of the next reference and its B frames", 30,
		  { { 0, 0, 0, 0 }, { 1, 1, 3, 33 }, { gov, 0, 10, 0 }, { 0, 0, 6, 306 }, { 2, 0, 3, 303 },
			{ 1, 2, 0, 360 }, { 2, 1, 5, 335 } } },
		{ "hours and minutes of the time code", 1000,
		  { { gov, 0, 3723, 0 }, { 0, 0, 500, 3723500 }, { 1, 1, 0, 3724000 }, { 2, 0, 999, 3723999 } } },
		{ "times wrap at 32 bits", 65535,
		  { { gov, 0, 65537, 0 }, { 0, 0, 1, 0 }, { 1, 1, 65534, 65535u * 65538u + 65534u } } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		TestLayer layer;
		layer.resolution = c.resolution;
		M4vTestStream stream;
		stream.Layer( layer );
		std::vector<u32> expected;
		for ( const Step& step : c.steps ) {
			if ( step.type == gov ) {
				stream.Gov( step.increment );
				continue;
			}
			TestPlane plane = Plane( step.type, step.increment );
			plane.modulo = step.modulo;
			stream.Plane( layer, plane );
			expected.push_back( step.expected );
		}
		const ToolM4vRewriteResult result = RewriteOrFail( stream );
		ASSERT_EQ( result.frames.size(), expected.size() );
		CompactHeaderReader reader;
		for ( size_t i = 0; i < expected.size(); i++ ) {
			CompactHeader header;
			ASSERT_TRUE( reader.Read( result.frames[i].bytes, &header ) );
			EXPECT_EQ( header.time, expected[i] ) << "frame " << i;
			EXPECT_EQ( result.frames[i].time, expected[i] ) << "frame " << i;
		}
	}
}

TEST( ToolM4vRewriter, RefusesStreamsTheDecoderCannotTakeNamingTheField ) {
	struct Case {
		const char* expected;
		std::function<void( TestLayer&, TestPlane& )> change;
	};
	const Case cases[] = {
		{ "quarter_sample", []( TestLayer& l, TestPlane& ) { l.verid = 2; l.quarterSample = true; } },
		{ "data_partitioned", []( TestLayer& l, TestPlane& ) { l.dataPartitioned = true; } },
		{ "resync marker", []( TestLayer&, TestPlane& p ) { p.type = 1; p.forwardFCode = 2; p.resyncMarkerBits = 18; } },
		{ "resync marker", []( TestLayer&, TestPlane& p ) { p.type = 0; p.resyncMarkerBits = 17; } },
		{ "resync marker", []( TestLayer& l, TestPlane& p ) { l.resyncMarkerDisable = true; p.type = 2; p.forwardFCode = 1; p.backwardFCode = 4; p.resyncMarkerBits = 20; } },
		{ "vop_coded is 0", []( TestLayer&, TestPlane& p ) { p.coded = false; } },
		{ "no_of_sprite_warping_points", []( TestLayer& l, TestPlane& ) { l.verid = 2; l.sprite = 2; l.warpingPoints = 4; } },
		{ "video_object_layer_shape", []( TestLayer& l, TestPlane& ) { l.shape = 1; } },
		{ "not_8_bit", []( TestLayer& l, TestPlane& ) { l.notEightBit = true; } },
		{ "obmc_disable", []( TestLayer& l, TestPlane& ) { l.obmcDisable = false; } },
		{ "complexity_estimation_disable", []( TestLayer& l, TestPlane& ) { l.complexityEstimationDisable = false; } },
		{ "newpred_enable", []( TestLayer& l, TestPlane& ) { l.verid = 2; l.newpred = true; } },
		{ "reduced_resolution_vop_enable", []( TestLayer& l, TestPlane& ) { l.verid = 2; l.reducedResolution = true; } },
		{ "scalability", []( TestLayer& l, TestPlane& ) { l.scalability = true; } },
		{ "static sprites", []( TestLayer& l, TestPlane& ) { l.verid = 2; l.sprite = 1; } },
		{ "sprite_brightness_change", []( TestLayer& l, TestPlane& ) { l.verid = 2; l.sprite = 2; l.brightnessChange = true; } },
		{ "vop_coding_type S", []( TestLayer&, TestPlane& p ) { p.type = 3; } },
		{ "vop_quant is 0", []( TestLayer&, TestPlane& p ) { p.quantiser = 0; } },
		{ "vop_fcode_forward is 0", []( TestLayer&, TestPlane& p ) { p.type = 1; p.forwardFCode = 0; } },
		{ "vop_time_increment is not below", []( TestLayer& l, TestPlane& p ) { l.resolution = 25; p.increment = 30; } },
		{ "intra_quant_mat ends before", []( TestLayer& l, TestPlane& ) { l.mpegQuant = true; l.intraMatrix = { 0 }; } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.expected );
		TestLayer layer;
		TestPlane plane = Plane( 0, 0 );
		c.change( layer, plane );
		M4vTestStream stream;
		stream.Layer( layer );
		// The plane under test follows an I plane, so that only its own
		// fault can refuse it.
		stream.Plane( layer, Plane( 0, 0 ) );
		stream.Plane( layer, plane );
		ToolM4vRewriteResult result;
		std::string error;
		EXPECT_FALSE( ToolM4vRewriter::Rewrite( stream.Bytes().data(), stream.Bytes().size(), {}, &result, &error ) );
		EXPECT_NE( error.find( c.expected ), std::string::npos ) << error;
	}
}

TEST( ToolM4vRewriter, RefusesBrokenStreamLayouts ) {
	TestLayer layer;
	TestLayer wider = layer;
	wider.width = 64;
	struct Case {
		const char* expected;
		std::function<void( M4vTestStream& )> build;
	};
	const Case cases[] = {
		{ "no video object layer", [&]( M4vTestStream& s ) { s.Plane( layer, Plane( 0, 0 ) ); } },
		{ "not an I-VOP", [&]( M4vTestStream& s ) { s.Layer( layer ); s.Plane( layer, Plane( 1, 0 ) ); } },
		{ "changes the layer", [&]( M4vTestStream& s ) { s.Layer( layer ); s.Plane( layer, Plane( 0, 0 ) ); s.Layer( wider ); } },
		{ "cut short", [&]( M4vTestStream& s ) { s.Layer( layer ); s.Raw( { 0, 0, 1, 0xB6, 0x10 } ); } },
		{ "cut short", [&]( M4vTestStream& s ) { s.Raw( { 0, 0, 1, 0x20, 0x00, 0x80 } ); } },
		{ "does not begin with a start code", [&]( M4vTestStream& s ) { s.Raw( { 7 } ); s.Layer( layer ); s.Plane( layer, Plane( 0, 0 ) ); } },
		{ "start code 0xB7", [&]( M4vTestStream& s ) { s.Layer( layer ); s.Raw( { 0, 0, 1, 0xB7, 0xFF } ); } },
		{ "no video object plane", [&]( M4vTestStream& s ) { s.Layer( layer ); } },
		{ "no video object plane", []( M4vTestStream& ) {} },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.expected );
		M4vTestStream stream;
		c.build( stream );
		ToolM4vRewriteResult result;
		std::string error;
		EXPECT_FALSE( ToolM4vRewriter::Rewrite( stream.Bytes().data(), stream.Bytes().size(), {}, &result, &error ) );
		EXPECT_NE( error.find( c.expected ), std::string::npos ) << error;
	}
}

TEST( ToolM4vRewriter, AcceptsZeroRunsThatAreNotTheirPlanesResyncMarker ) {
	// A P plane with f-code 3 has an 19-bit marker; 16 zeros and a 1 on a
	// byte boundary are not one.
	TestLayer layer;
	TestPlane plane = Plane( 1, 1 );
	plane.forwardFCode = 3;
	plane.resyncMarkerBits = 17;
	M4vTestStream stream;
	stream.Layer( layer );
	stream.Plane( layer, Plane( 0, 0 ) );
	stream.Plane( layer, plane );
	EXPECT_EQ( RewriteOrFail( stream ).frames.size(), 2u );
}

TEST( ToolM4vRewriter, TurnsNotCodedPlanesIntoEmptyPFramesOnRequest ) {
	TestLayer layer;
	layer.width = 40;	// 3 x 2 macroblocks
	layer.height = 20;
	TestPlane notCoded = Plane( 1, 2 );
	notCoded.coded = false;
	M4vTestStream stream;
	stream.Layer( layer );
	TestPlane first = Plane( 0, 0 );
	first.quantiser = 9;
	stream.Plane( layer, first );
	stream.Plane( layer, notCoded );
	const ToolM4vRewriteResult result = RewriteOrFail( stream, true );
	ASSERT_EQ( result.frames.size(), 2u );
	CompactHeaderReader reader;
	CompactHeader header;
	ASSERT_TRUE( reader.Read( result.frames[0].bytes, &header ) );
	ASSERT_TRUE( reader.Read( result.frames[1].bytes, &header ) );
	EXPECT_EQ( header.type, 1u );
	EXPECT_EQ( header.forwardFCode, 1u );
	EXPECT_EQ( header.time, 2u );
	EXPECT_GE( header.quantiser, 1u );
	for ( u32 i = 0; i < 6; i++ ) {
		EXPECT_EQ( BitAt( result.frames[1].bytes, header.payloadBit + i ), 1u );
	}
	for ( u64 bit = header.payloadBit + 6; bit < result.frames[1].bytes.size() * 8; bit++ ) {
		EXPECT_EQ( BitAt( result.frames[1].bytes, bit ), 0u );
	}
}

TEST( ToolM4vRewriter, ListsFramesInFileOrder ) {
	TestLayer layer;
	layer.resolution = 25;
	M4vTestStream stream;
	stream.Layer( layer );
	stream.Plane( layer, Plane( 0, 0 ) );
	TestPlane p = Plane( 1, 2 );
	p.forwardFCode = 2;
	stream.Plane( layer, p );
	TestPlane b = Plane( 2, 1 );
	b.forwardFCode = 1;
	b.backwardFCode = 3;
	stream.Plane( layer, b );
	EXPECT_EQ( ToolM4vRewriter::FrameList( RewriteOrFail( stream ) ), "time_resolution 25\nI 0 0 0\nP 2 0 2\nB 1 3 1\n" );
}
