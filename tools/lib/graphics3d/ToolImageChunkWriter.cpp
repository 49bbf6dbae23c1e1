#include "tools/lib/graphics3d/ToolImageChunkWriter.h"

#include "tools/lib/ToolChunkWriter.h"

s32 ToolImage::Stride() const {
	if ( stride != 0 ) {
		return stride;
	}
	return depth == 32 ? width * 4 : depth == 8 ? width : ( width + 1 ) / 2;
}

bool ToolWriteImageChunk( const ToolImage& image, std::vector<u8>& out ) {
	const size_t pixelBytes = static_cast<size_t>( image.Stride() ) * static_cast<size_t>( image.height );
	const size_t entries = image.depth == 32 ? 0 : size_t( 1 ) << image.depth;
	if ( image.pixels.size() < pixelBytes || image.palette.size() < entries ) {
		return false;
	}
	ToolChunkWriter writer;
	writer.BeginChunk( TOOL_CHUNK_IMAGE );
	writer.BeginChunk( TOOL_CHUNK_STRUCT );
	writer.WriteS32( image.width );
	writer.WriteS32( image.height );
	writer.WriteS32( image.depth );
	writer.WriteS32( image.Stride() );
	writer.WriteBytes( std::span<const u8>( image.pixels.data(), pixelBytes ) );
	for ( size_t i = 0; i < entries; i++ ) {
		writer.WriteBytes( std::span<const u8>( image.palette[i].data(), 4 ) );
	}
	writer.EndChunk();
	writer.EndChunk();
	return writer.Finish( out );
}

ToolImage ToolSolidImage( const s32 width, const s32 height, const std::array<u8, 4> colour ) {
	ToolImage image;
	image.width = width;
	image.height = height;
	image.depth = 32;
	for ( s32 i = 0; i < width * height; i++ ) {
		image.pixels.insert( image.pixels.end(), colour.begin(), colour.end() );
	}
	return image;
}

ToolImage ToolPalettisedImage( const s32 width, const s32 height, const s32 depth,
							   const std::vector<std::array<u8, 4>>& palette ) {
	ToolImage image;
	image.width = width;
	image.height = height;
	image.depth = depth;
	image.pixels.assign( static_cast<size_t>( image.Stride() ) * static_cast<size_t>( height ), 0 );
	image.palette = palette;
	image.palette.resize( size_t( 1 ) << depth, { 0xFF, 0xFF, 0xFF, 0xFF } );
	return image;
}
