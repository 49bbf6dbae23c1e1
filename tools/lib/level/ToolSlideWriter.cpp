#include "tools/lib/level/ToolSlideWriter.h"

#include <algorithm>

namespace {

constexpr u32 RECORD_BYTES		= 256;
constexpr u32 NAME_STRIDE		= 51;
constexpr u32 READER_BUFFER		= 0x400000;

}

std::vector<u8> ToolSlideRecord( const std::array<std::string, 5>& strips ) {
	std::vector<u8> record( RECORD_BYTES, 0 );
	for ( u32 k = 0; k < strips.size(); k++ ) {
		const size_t length = std::min<size_t>( strips[k].size(), NAME_STRIDE - 1 );
		std::copy_n( strips[k].begin(), length, record.begin() + k * NAME_STRIDE );
	}
	return record;
}

ToolSlide ToolSolidSlide( const std::string& prefix, const s32 width, const s32 height, const u8 shade ) {
	ToolSlide slide;
	for ( u32 k = 0; k < slide.pictures.size(); k++ ) {
		const std::string name = prefix + "_" + std::to_string( k );
		slide.pictures[k] = { name, ToolPalettisedImage( width, height, 8, { { shade, static_cast<u8>( 40 * k ), 0, 255 } } ) };
		slide.strips[k] = name;
	}
	return slide;
}

bool ToolWriteSlideFile( const std::vector<ToolSlide>& slides, std::vector<u8>& out,
						 const ToolSlideVariant_e variant ) {
	out.clear();
	for ( size_t i = 0; i < slides.size(); i++ ) {
		for ( const ToolTextureRecord& picture : slides[i].pictures ) {
			if ( !ToolAppendTextureRecord( picture, out ) ) {
				return false;
			}
		}
		std::array<std::string, 5> strips = slides[i].strips;
		if ( variant == TOOL_SLIDE_MISLABELLED && i == 0 ) {
			strips[2] = "NOT_IN_THIS_SLIDE";
		}
		const std::vector<u8> record = ToolSlideRecord( strips );
		out.insert( out.end(), record.begin(), record.end() );
	}
	if ( variant == TOOL_SLIDE_TRUNCATED ) {
		out.resize( out.size() - RECORD_BYTES / 2 );
	} else if ( variant == TOOL_SLIDE_OVERSIZED ) {
		out.resize( READER_BUFFER + 1, 0 );
	}
	return true;
}

std::vector<u8> ToolSampleSlideFile( const u32 file, const ToolSlideVariant_e variant ) {
	std::vector<ToolSlide> slides;
	for ( u32 i = 0; i < 3; i++ ) {
		const u32 slide = file * 3 + i;
		slides.push_back( ToolSolidSlide( "SL" + std::to_string( slide ), 128, 448, static_cast<u8>( slide ) ) );
	}
	std::vector<u8> out;
	ToolWriteSlideFile( slides, out, variant );
	return out;
}
