#include "tools/lib/movie/ToolCompactFrameWriter.h"

#include "tools/lib/movie/ToolBitReader.h"
#include "tools/lib/movie/ToolBitWriter.h"

namespace {

constexpr u32 LEADING_ZERO_BITS		= 16;	// keeps the frame type at bits 16-17
constexpr u32 WARPING_MAGNITUDE_MASK	= 0x3FFF;
constexpr u32 PAYLOAD_ALIGNMENT		= 4;

}

void ToolCompactFrameWriter::WriteMatrix( ToolBitWriter& writer, const ToolM4vCodedMatrix& matrix ) {
	writer.Write( matrix.loaded ? 1u : 0u, 1 );
	if ( !matrix.loaded ) {
		return;
	}
	for ( u32 i = 0; i < matrix.count && i < TOOL_M4V_MATRIX_SIZE; i++ ) {
		writer.Write( matrix.values[i], 8 );
	}
}

void ToolCompactFrameWriter::WriteSequence( ToolBitWriter& writer, const ToolM4vVol& vol ) {
	const bool sprite = vol.sprite == TOOL_M4V_SPRITE_GMC;
	writer.Write( sprite ? 1u : 0u, 1 );
	if ( sprite ) {
		writer.Write( vol.warpingPoints, 2 );
		writer.Write( vol.warpingAccuracy, 2 );
	}
	writer.Write( vol.mpegQuant ? 1u : 0u, 1 );
	if ( vol.mpegQuant ) {
		WriteMatrix( writer, vol.intraMatrix );
		WriteMatrix( writer, vol.interMatrix );
	}
	writer.Write( vol.interlaced ? 1u : 0u, 1 );
	writer.Write( 0, 1 );
}

void ToolCompactFrameWriter::WriteWarpingComponent( ToolBitWriter& writer, const s32 value ) {
	const u32 magnitude = static_cast<u32>( value < 0 ? -static_cast<s64>( value ) : value );
	writer.Write( magnitude & WARPING_MAGNITUDE_MASK, 14 );
	writer.Write( value < 0 ? 1u : 0u, 1 );
}

ToolCompactFrame ToolCompactFrameWriter::Build( const ToolM4vVol& vol, const ToolM4vVop& vop, const bool sequenceFlag,
												const u32 time, const u8* data, const u64 firstBit, const u64 endBit ) {
	ToolBitWriter writer;
	writer.Write( 0, LEADING_ZERO_BITS );
	writer.Write( vop.codingType, 2 );
	writer.Write( sequenceFlag ? 1u : 0u, 1 );
	if ( sequenceFlag ) {
		WriteSequence( writer, vol );
	}
	const bool keepsRounding = vop.codingType == TOOL_M4V_P || vop.codingType == TOOL_M4V_S;
	writer.Write( keepsRounding ? vop.rounding : 0u, 1 );
	writer.Write( vop.intraDcThreshold, 3 );
	writer.Write( vop.quantiser, 5 );
	if ( vop.codingType != TOOL_M4V_I ) {
		writer.Write( vop.forwardFCode, 3 );
	}
	if ( vop.codingType == TOOL_M4V_B ) {
		writer.Write( vop.backwardFCode, 3 );
	}
	writer.Write( time, 32 );
	if ( vop.codingType == TOOL_M4V_S ) {
		for ( u32 i = 0; i < vol.warpingPoints && i < TOOL_M4V_MAX_WARPING_POINTS; i++ ) {
			WriteWarpingComponent( writer, vop.warpX[i] );
			WriteWarpingComponent( writer, vop.warpY[i] );
		}
	}
	if ( vol.interlaced ) {
		writer.Write( vop.topFieldFirst ? 1u : 0u, 1 );
		writer.Write( vop.alternateVerticalScan ? 1u : 0u, 1 );
	}

	ToolCompactFrame frame;
	frame.headerBits = writer.BitCount();
	writer.PadToByte();
	if ( data != nullptr && endBit > firstBit ) {
		ToolBitReader reader( data, ( endBit + 7u ) / 8u );
		reader.Skip( firstBit );
		writer.Copy( reader, endBit - firstBit );
	}
	frame.bytes = writer.Finish();
	while ( frame.bytes.size() % PAYLOAD_ALIGNMENT != 0 ) {
		frame.bytes.push_back( 0 );
	}
	return frame;
}
