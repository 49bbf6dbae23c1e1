// Speed of whole-movie decoding against FFmpeg's single-threaded MPEG-4
// decoder on the same 640 x 448 streams, in one run: the committed
// benchmark stream and, when the ffmpeg program is on the path, two longer
// clips generated next to this program (never committed). Each clip is
// rewritten into compact frames by the movie tools; ours decodes those
// from memory through VIDVideoDecode, FFmpeg decodes the original packets
// from memory through libavcodec with one thread and no conversion. The
// counters give frames per second and milliseconds per frame for both,
// ratio (our time over FFmpeg's) and budget (our time over the 33.3 ms of
// a 30 fps movie). The counters use the thread's processor time, so that
// other work on a shared machine does not tilt the ratio; the iteration
// time the library reports is our wall-clock time. Before a long clip is timed, its first 30 pictures are
// checked against FFmpeg's, so a wrong decode is never timed.
#if defined( ENGINE_HAVE_LIBAVCODEC )

#include "tools/lib/movie/ToolM4vRewriter.h"
#include "tools/movie/MovieCorpusPath.h"
#include "video/m4/M4Image.h"
#include "video/m4/VIDDecoder.h"

#include <benchmark/benchmark.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

void* BenchAlloc( u32 size ) { return std::malloc( size ); }

f64 ThreadSeconds() {
	timespec now{};
	clock_gettime( CLOCK_THREAD_CPUTIME_ID, &now );
	return static_cast<f64>( now.tv_sec ) + 1e-9 * static_cast<f64>( now.tv_nsec );
}
void BenchFree( void* block ) { std::free( block ); }

struct Clip {
	Clip() = default;
	Clip( const Clip& ) = delete;
	Clip& operator=( const Clip& ) = delete;
	~Clip() {
		for ( AVPacket*& packet : packets ) {
			av_packet_free( &packet );
		}
	}

	std::string						name;
	std::string						m4v;
	u32								width = 0;
	u32								height = 0;
	std::vector<std::vector<u8>>	frames;		// compact frames, file order
	std::vector<AVPacket*>			packets;	// FFmpeg's packets of the .m4v
	bool							usable = false;
	std::string						problem;
};

bool ReadPackets( Clip& clip ) {
	AVFormatContext* format = nullptr;
	if ( avformat_open_input( &format, clip.m4v.c_str(), nullptr, nullptr ) < 0 ) {
		return false;
	}
	avformat_find_stream_info( format, nullptr );
	AVPacket* packet = av_packet_alloc();
	while ( av_read_frame( format, packet ) >= 0 ) {
		clip.packets.push_back( av_packet_clone( packet ) );
		av_packet_unref( packet );
	}
	av_packet_free( &packet );
	avformat_close_input( &format );
	return !clip.packets.empty();
}

bool Rewrite( Clip& clip ) {
	std::ifstream			file( clip.m4v, std::ios::binary );
	const std::vector<u8>	stream( ( std::istreambuf_iterator<char>( file ) ), std::istreambuf_iterator<char>() );
	ToolM4vRewriteOptions	options{};
	ToolM4vRewriteResult	result;
	std::string				error;
	if ( stream.empty() || !ToolM4vRewriter::Rewrite( stream.data(), stream.size(), options, &result, &error ) ) {
		clip.problem = "rewriter: " + error;
		return false;
	}
	clip.width = result.vol.width;
	clip.height = result.vol.height;
	for ( const ToolRewrittenFrame& frame : result.frames ) {
		clip.frames.push_back( frame.bytes );
	}
	return true;
}

// Decodes every packet with a fresh single-threaded context; onPicture
// sees each picture in display order. Returns the picture count.
template<typename OnPicture>
u32 DecodeWithFFmpeg( const Clip& clip, const bool simpleTransform, OnPicture onPicture ) {
	const AVCodec* const	codec = avcodec_find_decoder( AV_CODEC_ID_MPEG4 );
	AVCodecContext*			context = avcodec_alloc_context3( codec );
	context->thread_count = 1;
	if ( simpleTransform ) {
		context->idct_algo = FF_IDCT_SIMPLE;
	}
	avcodec_open2( context, codec, nullptr );
	AVFrame*	frame = av_frame_alloc();
	u32			count = 0;
	auto drain = [&]() {
		while ( avcodec_receive_frame( context, frame ) >= 0 ) {
			onPicture( frame, count );
			count++;
		}
	};
	for ( AVPacket* packet : clip.packets ) {
		avcodec_send_packet( context, packet );
		drain();
	}
	avcodec_send_packet( context, nullptr );
	drain();
	av_frame_free( &frame );
	avcodec_free_context( &context );
	return count;
}

template<typename OnPicture>
u32 DecodeWithOurs( const Clip& clip, OnPicture onPicture ) {
	VIDDecoderSetup setup{};
	setup.size = sizeof( VIDDecoderSetup );
	setup.width = static_cast<u16>( clip.width );
	setup.height = static_cast<u16>( clip.height );
	setup.flags = VID_DECODER_FLAG_REORDER;
	setup.alloc = BenchAlloc;
	setup.free = BenchFree;
	M4Decoder* const	decoder = VIDCreateDecoder( &setup );
	u32					count = 0;
	for ( const std::vector<u8>& frame : clip.frames ) {
		VIDImage* image = nullptr;
		VIDVideoDecode( decoder, frame.data(), static_cast<u32>( frame.size() ), &image );
		onPicture( image, count );
		count++;
	}
	VIDDestroyDecoder( decoder );
	return count;
}

// The first pictures of ours (after the black one) against FFmpeg's at
// the large-stream limits: 48 dB, |d| <= 8, at most 0.05 % beyond 2.
bool CheckFirstPictures( Clip& clip, const u32 pictures ) {
	std::vector<std::vector<u8>> theirs;
	DecodeWithFFmpeg( clip, true, [&]( const AVFrame* frame, const u32 index ) {
		if ( index >= pictures ) {
			return;
		}
		std::vector<u8> planes;
		for ( u32 p = 0; p < 3; p++ ) {
			const u32 w = p == 0 ? clip.width : clip.width / 2;
			const u32 h = p == 0 ? clip.height : clip.height / 2;
			for ( u32 y = 0; y < h; y++ ) {
				planes.insert( planes.end(), frame->data[p] + static_cast<size_t>( y ) * frame->linesize[p], frame->data[p] + static_cast<size_t>( y ) * frame->linesize[p] + w );
			}
		}
		theirs.push_back( std::move( planes ) );
	} );
	bool ok = true;
	DecodeWithOurs( clip, [&]( const VIDImage* image, const u32 index ) {
		if ( index == 0 || index > theirs.size() || !ok ) {
			return;
		}
		const std::vector<u8>& reference = theirs[index - 1];
		size_t at = 0;
		for ( u32 p = 0; p < 3 && ok; p++ ) {
			const u32 w = p == 0 ? clip.width : clip.width / 2;
			const u32 h = p == 0 ? clip.height : clip.height / 2;
			const u32 stride = p == 0 ? image->texWidth : image->texWidth / 2u;
			const u8* const origin = p == 0 ? image->y : ( p == 1 ? image->u : image->v );
			f64 squares = 0.0;
			u32 beyondTwo = 0;
			u32 largest = 0;
			for ( u32 y = 0; y < h; y++ ) {
				for ( u32 x = 0; x < w; x++ ) {
					const s32 d = std::abs( static_cast<s32>( origin[M4TiledOffset( x, y, stride )] ) - reference[at++] );
					squares += static_cast<f64>( d ) * d;
					beyondTwo += d > 2 ? 1 : 0;
					largest = static_cast<u32>( d ) > largest ? static_cast<u32>( d ) : largest;
				}
			}
			const f64 mse = squares / ( static_cast<f64>( w ) * h );
			const f64 psnr = mse == 0.0 ? 99.0 : 10.0 * std::log10( 255.0 * 255.0 / mse );
			if ( psnr < 48.0 || largest > 8 || beyondTwo * 2000.0 > static_cast<f64>( w ) * h ) {
				char text[160];
				std::snprintf( text, sizeof( text ), "picture %u plane %u: %.2f dB, max %u", index - 1, p, psnr, largest );
				clip.problem = text;
				ok = false;
			}
		}
	} );
	return ok;
}

std::filesystem::path ProgramFolder() {
	std::error_code error;
	const std::filesystem::path self = std::filesystem::read_symlink( "/proc/self/exe", error );
	return error ? std::filesystem::current_path() : self.parent_path();
}

Clip& LoadClip( const std::string& name ) {
	// Loaded once for every benchmark that decodes it, freed at exit.
	static std::vector<std::unique_ptr<Clip>> clips;
	for ( const std::unique_ptr<Clip>& clip : clips ) {
		if ( clip->name == name ) {
			return *clip;
		}
	}
	Clip* const clip = clips.emplace_back( std::make_unique<Clip>() ).get();
	clip->name = name;
	if ( name == "bench" ) {
		clip->m4v = ( MovieCorpusPath() / "bench.m4v" ).string();
	} else {
		const std::filesystem::path folder = ProgramFolder() / "m4clips";
		std::filesystem::create_directories( folder );
		clip->m4v = ( folder / ( name + ".m4v" ) ).string();
		if ( !std::filesystem::exists( clip->m4v ) ) {
			if ( std::system( "command -v ffmpeg >/dev/null 2>&1" ) != 0 ) {
				clip->problem = "ffmpeg is not on the path";
				return *clip;
			}
			const std::string source = name == "clip" ? "-f lavfi -i testsrc2=size=640x448:rate=30 -t 20"
													  : "-f lavfi -i \"mandelbrot=size=640x448:rate=30\" -t 10 -vf \"noise=alls=12:allf=t\"";
			const std::string quality = name == "clip" ? "-q:v 4" : "-q:v 3";
			const std::string command = "ffmpeg -nostdin -loglevel error -y " + source + " -c:v mpeg4 -threads 1 " + quality + " -bf 2 -f m4v " + clip->m4v;
			if ( std::system( command.c_str() ) != 0 ) {
				clip->problem = "ffmpeg could not make the clip";
				return *clip;
			}
		}
	}
	if ( !Rewrite( *clip ) || !ReadPackets( *clip ) ) {
		if ( clip->problem.empty() ) {
			clip->problem = "cannot read " + clip->m4v;
		}
		return *clip;
	}
	if ( name != "bench" && !CheckFirstPictures( *clip, 30 ) ) {
		return *clip;
	}
	clip->usable = true;
	return *clip;
}

void DecodeMovieAgainstFFmpeg( benchmark::State& state, const char* name ) {
	Clip& clip = LoadClip( name );
	if ( !clip.usable ) {
		state.SkipWithError( clip.problem.c_str() );
		return;
	}
	f64 ourSeconds = 0.0;
	f64 theirSeconds = 0.0;
	u32 ourFrames = 0;
	u32 theirFrames = 0;
	for ( auto _ : state ) {
		const auto	start = std::chrono::steady_clock::now();
		const f64	startCpu = ThreadSeconds();
		ourFrames = DecodeWithOurs( clip, []( const VIDImage* image, u32 ) { benchmark::DoNotOptimize( image ); } );
		const auto	middle = std::chrono::steady_clock::now();
		const f64	middleCpu = ThreadSeconds();
		theirFrames = DecodeWithFFmpeg( clip, false, []( const AVFrame* frame, u32 ) { benchmark::DoNotOptimize( frame ); } );
		ourSeconds += middleCpu - startCpu;
		theirSeconds += ThreadSeconds() - middleCpu;
		state.SetIterationTime( std::chrono::duration<f64>( middle - start ).count() );
	}
	// Ours shows one black picture first and never the last reference, so
	// both decoders hand out as many pictures as the clip has frames.
	if ( ourFrames != theirFrames ) {
		state.SkipWithError( "the decoders gave different frame counts" );
		return;
	}
	const f64 iterations = static_cast<f64>( state.iterations() );
	const f64 ourMs = 1000.0 * ourSeconds / ( iterations * ourFrames );
	const f64 theirMs = 1000.0 * theirSeconds / ( iterations * theirFrames );
	state.counters["frames"] = ourFrames;
	state.counters["ours_fps"] = 1000.0 / ourMs;
	state.counters["ours_ms"] = ourMs;
	state.counters["ffmpeg_fps"] = 1000.0 / theirMs;
	state.counters["ffmpeg_ms"] = theirMs;
	state.counters["ratio"] = ourMs / theirMs;
	state.counters["budget"] = ourMs / ( 1000.0 / 30.0 );
}

BENCHMARK_CAPTURE( DecodeMovieAgainstFFmpeg, bench, "bench" )->UseManualTime()->Unit( benchmark::kMillisecond );
BENCHMARK_CAPTURE( DecodeMovieAgainstFFmpeg, clip, "clip" )->UseManualTime()->Unit( benchmark::kMillisecond );
BENCHMARK_CAPTURE( DecodeMovieAgainstFFmpeg, hard, "hard" )->UseManualTime()->Unit( benchmark::kMillisecond );

} // namespace

#endif
