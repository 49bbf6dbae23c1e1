#include "tools/lib/movie/ToolM4vRewriter.h"

#include "tools/lib/movie/ToolBitWriter.h"
#include "tools/lib/movie/ToolCompactFrameWriter.h"
#include "tools/lib/movie/ToolM4vHeaderParser.h"
#include "tools/lib/movie/ToolM4vStartCodes.h"

#include <cstdio>
#include <cstring>

namespace {

bool Fail( std::string* error, const std::string& message ) {
	if ( error != nullptr ) {
		*error = message;
	}
	return false;
}

std::string At( const char* what, const u64 offset ) {
	char text[64];
	std::snprintf( text, sizeof( text ), "%s at byte %llu: ", what, static_cast<unsigned long long>( offset ) );
	return text;
}

bool SameMatrix( const ToolM4vCodedMatrix& a, const ToolM4vCodedMatrix& b ) {
	return a.loaded == b.loaded && a.count == b.count && std::memcmp( a.values, b.values, sizeof( a.values ) ) == 0;
}

// Everything a compact frame or the movie header takes from the layer.
bool SameLayer( const ToolM4vVol& a, const ToolM4vVol& b ) {
	return a.timeResolution == b.timeResolution && a.width == b.width && a.height == b.height &&
		   a.interlaced == b.interlaced && a.sprite == b.sprite && a.warpingPoints == b.warpingPoints &&
		   a.warpingAccuracy == b.warpingAccuracy && a.mpegQuant == b.mpegQuant &&
		   SameMatrix( a.intraMatrix, b.intraMatrix ) && SameMatrix( a.interMatrix, b.interMatrix );
}

// Seconds bookkeeping of modulo_time_base.
struct TimeBase {
	u64		reference;			// what the next I, P or S plane counts from
	u64		previousReference;	// what the last I, P or S plane counted from
};

u32 PlaneTime( TimeBase& base, const ToolM4vVol& vol, const ToolM4vVop& vop ) {
	u64 seconds;
	if ( vop.codingType == TOOL_M4V_B ) {
		seconds = base.previousReference + vop.moduloTimeBase;
	} else {
		base.previousReference = base.reference;
		base.reference += vop.moduloTimeBase;
		seconds = base.reference;
	}
	return static_cast<u32>( seconds * vol.timeResolution + vop.timeIncrement );
}

}

char ToolM4vRewriter::TypeLetter( const u32 codingType ) {
	static const char letters[4] = { 'I', 'P', 'B', 'S' };
	return letters[codingType & 3u];
}

bool ToolM4vRewriter::Rewrite( const u8* data, const u64 size, const ToolM4vRewriteOptions& options,
							   ToolM4vRewriteResult* result, std::string* error ) {
	u64 leading = 0;
	const std::vector<ToolM4vUnit> units = ToolM4vStartCodes::Split( data, size, &leading );
	for ( u64 i = 0; i < leading; i++ ) {
		if ( data[i] != 0 ) {
			return Fail( error, "the stream does not begin with a start code" );
		}
	}
	result->frames.clear();
	std::memset( &result->vol, 0, sizeof( result->vol ) );

	u32 objectVerid = 1;
	bool haveLayer = false;
	TimeBase base = { 0, 0 };
	u32 lastQuantiser = 1;
	std::string message;

	for ( const ToolM4vUnit& unit : units ) {
		const u8* payload = data + unit.offset;
		if ( unit.code <= TOOL_M4V_VIDEO_OBJECT_LAST || unit.code == TOOL_M4V_SEQUENCE_START ||
			 unit.code == TOOL_M4V_SEQUENCE_END || unit.code == TOOL_M4V_USER_DATA ) {
			continue;
		}
		if ( unit.code == TOOL_M4V_VISUAL_OBJECT ) {
			if ( !ToolM4vHeaderParser::ParseVisualObject( payload, unit.size, &objectVerid, &message ) ) {
				return Fail( error, At( "visual object", unit.offset ) + message );
			}
			continue;
		}
		if ( unit.code >= TOOL_M4V_VOL_FIRST && unit.code <= TOOL_M4V_VOL_LAST ) {
			ToolM4vVol vol;
			if ( !ToolM4vHeaderParser::ParseVol( payload, unit.size, objectVerid, &vol, &message ) ) {
				return Fail( error, At( "video object layer", unit.offset ) + message );
			}
			if ( haveLayer && !SameLayer( vol, result->vol ) ) {
				return Fail( error, At( "video object layer", unit.offset ) + "a repeated layer header changes the layer" );
			}
			result->vol = vol;
			haveLayer = true;
			continue;
		}
		if ( unit.code == TOOL_M4V_GOV ) {
			ToolM4vGov gov;
			if ( !ToolM4vHeaderParser::ParseGov( payload, unit.size, &gov, &message ) ) {
				return Fail( error, At( "group of VOP", unit.offset ) + message );
			}
			base.reference = gov.seconds;
			continue;
		}
		if ( unit.code != TOOL_M4V_VOP ) {
			char text[64];
			std::snprintf( text, sizeof( text ), "start code 0x%02X is not supported", unit.code );
			return Fail( error, At( "unit", unit.offset ) + text );
		}
		if ( !haveLayer ) {
			return Fail( error, At( "video object plane", unit.offset ) + "no video object layer header before it" );
		}

		const ToolM4vVol& vol = result->vol;
		ToolM4vVop vop;
		if ( !ToolM4vHeaderParser::ParseVop( payload, unit.size, vol, &vop, &message ) ) {
			return Fail( error, At( "video object plane", unit.offset ) + message );
		}
		const u32 time = PlaneTime( base, vol, vop );

		std::vector<u8> notCodedBits;
		const u8* macroblocks = payload;
		u64 firstBit = vop.headerBits;
		u64 endBit = unit.size * 8u;
		if ( !vop.coded ) {
			if ( !options.notCodedAsP ) {
				return Fail( error, At( "video object plane", unit.offset ) + "vop_coded is 0 (N-VOP)" );
			}
			// A P frame of not-coded macroblocks: one 1 bit each.
			const u32 macroblockCount = ( ( vol.width + 15u ) / 16u ) * ( ( vol.height + 15u ) / 16u );
			ToolBitWriter bits;
			for ( u32 i = 0; i < macroblockCount; i++ ) {
				bits.Write( 1, 1 );
			}
			firstBit = 0;
			endBit = bits.BitCount();
			notCodedBits = bits.Finish();
			macroblocks = notCodedBits.data();
			vop.codingType = TOOL_M4V_P;
			vop.rounding = 0;
			vop.intraDcThreshold = 0;
			vop.quantiser = lastQuantiser;
			vop.forwardFCode = 1;
			vop.backwardFCode = 0;
		} else if ( ToolM4vHeaderParser::HasResyncMarker( payload, unit.size, vop ) ) {
			return Fail( error, At( "video object plane", unit.offset ) + "macroblock data holds a resync marker" );
		}
		if ( result->frames.empty() && vop.codingType != TOOL_M4V_I ) {
			return Fail( error, At( "video object plane", unit.offset ) + "the first plane is not an I-VOP" );
		}
		lastQuantiser = vop.quantiser;

		const bool sequenceFlag = result->frames.empty() || vop.codingType == TOOL_M4V_I;
		const ToolCompactFrame compact = ToolCompactFrameWriter::Build( vol, vop, sequenceFlag, time, macroblocks, firstBit, endBit );

		ToolRewrittenFrame frame;
		frame.codingType = vop.codingType;
		frame.forwardFCode = vop.forwardFCode;
		frame.backwardFCode = vop.backwardFCode;
		frame.time = time;
		frame.topFieldFirst = vop.topFieldFirst;
		frame.alternateVerticalScan = vop.alternateVerticalScan;
		frame.bytes = compact.bytes;
		frame.headerBits = compact.headerBits;
		frame.sourceOffset = unit.offset;
		frame.sourceSize = unit.size;
		frame.sourceHeaderBits = vop.headerBits;
		result->frames.push_back( frame );
	}
	if ( result->frames.empty() ) {
		return Fail( error, "the stream holds no video object plane" );
	}
	return true;
}

std::string ToolM4vRewriter::FrameList( const ToolM4vRewriteResult& result ) {
	std::string list = "time_resolution " + std::to_string( result.vol.timeResolution ) + "\n";
	for ( const ToolRewrittenFrame& frame : result.frames ) {
		char line[64];
		std::snprintf( line, sizeof( line ), "%c %u %u %u\n", TypeLetter( frame.codingType ), frame.forwardFCode,
					   frame.backwardFCode, frame.time );
		list += line;
	}
	return list;
}
