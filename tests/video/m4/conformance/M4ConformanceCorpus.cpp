#include "M4ConformanceCorpus.h"

#include "../M4TestHooks.h"
#include "../M4TestMovieFrames.h"
#include "tools/lib/movie/ToolM4vRewriter.h"
#include "tools/movie/MovieCorpusPath.h"
#include "video/m4/M4Image.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::vector<u8> ReadWholeFile( const std::string& path ) {
	std::ifstream file( path, std::ios::binary );
	return std::vector<u8>( std::istreambuf_iterator<char>( file ), std::istreambuf_iterator<char>() );
}

char TypeLetter( const u32 type ) {
	static const char kLetters[4] = { 'I', 'P', 'B', 'S' };
	return kLetters[type & 3];
}

} // namespace

bool LoadConformanceMovie( const std::string& nameOrPath, ConformanceMovie* movie ) {
	const bool isPath = nameOrPath.find( '/' ) != std::string::npos;
	const std::vector<u8> file = ReadWholeFile( isPath ? nameOrPath : ( MovieCorpusPath() / ( nameOrPath + ".vid" ) ).string() );
	const size_t first = movie->frames.size();
	if ( !M4TestReadMovieFrames( file, &movie->width, &movie->height, &movie->frames ) ) {
		return false;
	}
	for ( size_t i = first; i < movie->frames.size(); ++i ) {
		const std::vector<u8>& frame = movie->frames[i];
		movie->types += TypeLetter( VIDGetFrameType( frame.data(), static_cast<u32>( frame.size() ) ) );
	}
	return movie->width != 0 && !movie->frames.empty();
}

bool LoadRewrittenStream( const std::string& path, ConformanceMovie* movie ) {
	const std::vector<u8>	stream = ReadWholeFile( path );
	ToolM4vRewriteOptions	options{};
	ToolM4vRewriteResult	result;
	std::string				error;
	if ( stream.empty() || !ToolM4vRewriter::Rewrite( stream.data(), stream.size(), options, &result, &error ) ) {
		return false;
	}
	movie->width = result.vol.width;
	movie->height = result.vol.height;
	for ( const ToolRewrittenFrame& frame : result.frames ) {
		movie->frames.push_back( frame.bytes );
		movie->types += TypeLetter( frame.codingType );
	}
	return !movie->frames.empty();
}

std::vector<PlanarPicture> LoadPlanarFile( const std::string& path, const u32 width, const u32 height ) {
	const std::vector<u8>		file = ReadWholeFile( path );
	const u64					luma = static_cast<u64>( width ) * height;
	const u64					chroma = static_cast<u64>( width / 2 ) * ( height / 2 );
	std::vector<PlanarPicture>	pictures;
	for ( u64 at = 0; at + luma + 2 * chroma <= file.size(); at += luma + 2 * chroma ) {
		PlanarPicture picture;
		picture.width = width;
		picture.height = height;
		picture.planes[0].assign( file.begin() + static_cast<std::ptrdiff_t>( at ), file.begin() + static_cast<std::ptrdiff_t>( at + luma ) );
		picture.planes[1].assign( file.begin() + static_cast<std::ptrdiff_t>( at + luma ),
								  file.begin() + static_cast<std::ptrdiff_t>( at + luma + chroma ) );
		picture.planes[2].assign( file.begin() + static_cast<std::ptrdiff_t>( at + luma + chroma ),
								  file.begin() + static_cast<std::ptrdiff_t>( at + luma + 2 * chroma ) );
		pictures.push_back( std::move( picture ) );
	}
	return pictures;
}

PlanarPicture CopyVisiblePlanes( const VIDImage& image ) {
	PlanarPicture picture;
	picture.width = image.width;
	picture.height = image.height;
	const u8* const origins[3] = { image.y, image.u, image.v };
	for ( u32 p = 0; p < 3; p++ ) {
		const u32 w = p == 0 ? image.width : image.width / 2u;
		const u32 h = p == 0 ? image.height : image.height / 2u;
		const u32 stride = p == 0 ? image.texWidth : image.texWidth / 2u;
		picture.planes[p].resize( static_cast<size_t>( w ) * h );
		for ( u32 y = 0; y < h; y++ ) {
			for ( u32 x = 0; x < w; x++ ) {
				picture.planes[p][static_cast<size_t>( y ) * w + x] = origins[p][M4TiledOffset( x, y, stride )];
			}
		}
	}
	return picture;
}

PlaneDifference ComparePlane( const PlanarPicture& picture, const PlanarPicture& reference, const u32 plane ) {
	PlaneDifference		result;
	const u32			w = plane == 0 ? reference.width : reference.width / 2u;
	const u32			mbSize = plane == 0 ? 16 : 8;
	const std::vector<u8>& a = picture.planes[plane];
	const std::vector<u8>& b = reference.planes[plane];
	f64 squares = 0.0;
	s64 firstBad = -1;
	for ( size_t i = 0; i < a.size() && i < b.size(); i++ ) {
		const s32 d = std::abs( static_cast<s32>( a[i] ) - static_cast<s32>( b[i] ) );
		squares += static_cast<f64>( d ) * d;
		result.maxDifference = d > static_cast<s32>( result.maxDifference ) ? static_cast<u32>( d ) : result.maxDifference;
		result.beyondTwo += d > 2 ? 1 : 0;
		if ( d > 8 ) {
			const s64 mbIndex = static_cast<s64>( ( i / w ) / mbSize ) * 1000 + static_cast<s64>( ( i % w ) / mbSize );
			if ( firstBad < 0 || mbIndex < firstBad ) {
				firstBad = mbIndex;
			}
		}
	}
	result.samples = a.size() < b.size() ? a.size() : b.size();
	if ( a.size() != b.size() ) {
		result.maxDifference = 255;
	}
	if ( firstBad >= 0 ) {
		result.firstBadMbY = static_cast<s32>( firstBad / 1000 );
		result.firstBadMbX = static_cast<s32>( firstBad % 1000 );
	}
	const f64 mse = result.samples == 0 ? 0.0 : squares / static_cast<f64>( result.samples );
	result.psnr = mse == 0.0 ? INFINITY : 10.0 * std::log10( 255.0 * 255.0 / mse );
	return result;
}

std::string DisplayOrder( const std::string& fileOrder ) {
	std::string order;
	char		held = 0;
	for ( const char type : fileOrder ) {
		if ( type == 'B' ) {
			order += type;
			continue;
		}
		if ( held != 0 ) {
			order += held;
		}
		held = type;
	}
	if ( held != 0 ) {
		order += held;
	}
	return order;
}

std::string ProbeTypes( const std::string& path ) {
	std::ifstream	file( path );
	std::string		line;
	std::string		types;
	while ( std::getline( file, line ) ) {
		const size_t comma = line.find( ',' );
		if ( comma != std::string::npos && comma + 1 < line.size() ) {
			types += line[comma + 1];
		}
	}
	return types;
}

bool DecodeMovie( const ConformanceMovie& movie, const u32 flags, std::vector<PlanarPicture>* outputs ) {
	const VIDDecoderSetup setup = M4TestDecoderSetup( static_cast<u16>( movie.width ), static_cast<u16>( movie.height ), flags, true );
	M4Decoder* const decoder = VIDCreateDecoder( &setup );
	if ( decoder == nullptr ) {
		return false;
	}
	for ( const std::vector<u8>& frame : movie.frames ) {
		VIDImage* image = nullptr;
		VIDVideoDecode( decoder, frame.data(), static_cast<u32>( frame.size() ), &image );
		if ( image == nullptr ) {
			VIDDestroyDecoder( decoder );
			return false;
		}
		outputs->push_back( CopyVisiblePlanes( *image ) );
	}
	VIDDestroyDecoder( decoder );
	return true;
}

bool FFmpegAvailable() {
	return std::system( "command -v ffmpeg >/dev/null 2>&1" ) == 0;
}

bool RunCommand( const std::string& command ) {
	return std::system( command.c_str() ) == 0;
}
