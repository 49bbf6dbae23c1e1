#include "M4HandMadeFrames.h"

#include "../M4TestHooks.h"
#include "tools/lib/movie/ToolCompactFrameWriter.h"
#include "video/m4/M4Decoder.h"

#include <algorithm>

std::vector<u8> BuildHandFrame( const HandFrame& header, ToolBitWriter& body ) {
	ToolM4vVol vol{};
	vol.timeResolution = 30;
	ToolM4vVop vop{};
	vop.codingType = header.type;
	vop.quantiser = header.quantiser;
	vop.intraDcThreshold = header.intraDcThreshold;
	vop.forwardFCode = header.forwardFCode;
	vop.backwardFCode = header.backwardFCode;
	const u64 bits = body.BitCount();
	const std::vector<u8> data = body.Finish();
	return ToolCompactFrameWriter::Build( vol, vop, header.sequence, header.time, data.data(), 0, bits ).bytes;
}

void WriteFlatIntraMacroBlock( ToolBitWriter& writer, const s32* dcs, const bool separateDc, const bool inFrameP, const u32 type,
							   const u32 quantChange, const u32 stuffing ) {
	if ( inFrameP ) {
		writer.Write( 0, 1 );		// coded
	}
	u32 cbpy = 0;
	u32 cbpc = 0;
	for ( u32 b = 0; b < 6; b++ ) {
		const bool coded = !separateDc && dcs[b] != 0;
		if ( coded ) {
			if ( b < 4 ) {
				cbpy |= 8u >> b;
			} else {
				cbpc |= b == 4 ? 2u : 1u;
			}
		}
	}
	ToolM4CodeWriter::WriteMcbpc( writer, !inFrameP, type, cbpc, stuffing );
	writer.Write( 0, 1 );			// no AC prediction
	ToolM4CodeWriter::WriteCbpy( writer, cbpy, true );
	if ( type == 4 ) {
		writer.Write( quantChange, 2 );
	}
	for ( u32 b = 0; b < 6; b++ ) {
		if ( separateDc ) {
			ToolM4CodeWriter::WriteDC( writer, dcs[b], b < 4 );
		} else if ( dcs[b] != 0 ) {
			ToolM4CodeWriter::WriteCoefficient( writer, true, 1, 0, dcs[b] );
		}
	}
}

HandDecoder::HandDecoder( const u16 width, const u16 height, const u32 flags ) {
	const VIDDecoderSetup setup = M4TestDecoderSetup( width, height, flags, true );
	decoder = VIDCreateDecoder( &setup );
}

HandDecoder::~HandDecoder() {
	VIDDestroyDecoder( decoder );
}

PlanarPicture HandDecoder::Decode( const std::vector<u8>& frame ) {
	VIDVideoDecode( decoder, frame.data(), static_cast<u32>( frame.size() ), &last );
	return last != nullptr ? CopyVisiblePlanes( *last ) : PlanarPicture();
}

bool IsFlat( const PlanarPicture& picture, const u8 luma, const u8 chroma ) {
	const auto equals = []( const std::vector<u8>& plane, const u8 value ) {
		return !plane.empty() && std::all_of( plane.begin(), plane.end(), [value]( const u8 v ) { return v == value; } );
	};
	return equals( picture.planes[0], luma ) && equals( picture.planes[1], chroma ) && equals( picture.planes[2], chroma );
}
