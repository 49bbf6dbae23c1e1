/*
	The 3D library's chunk streams: frame lists, cameras, images and
	textures read from a memory stream. The first byte of an input picks
	the reader; the rest is the stream, searched for that reader's chunk.

	The library runs over the host test device with the C library's
	allocator and no free lists, so that the sanitizers see every block.
*/
#include "FuzzTarget.h"

#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwCameraChunk.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameList.h"
#include "graphics3d/core/RwImage.h"
#include "graphics3d/core/RwImageChunk.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/core/RwTextureChunk.h"
#include "tools/lib/ToolChunkWriter.h"

namespace {

enum RwReader : u8 { READ_FRAME_LIST, READ_CAMERA, READ_IMAGE, READ_TEXTURE, READER_COUNT };

void ReadFrameList( RwStream* stream ) {
	if ( !RwStreamFindChunk( stream, rwID_FRAMELIST, nullptr, nullptr ) ) {
		return;
	}
	RwFrameList list = { nullptr, 0 };
	if ( _rwFrameListStreamRead( stream, &list ) == nullptr ) {
		return;
	}
	// Children come after their parents: the last frame is always a leaf.
	for ( s32 i = list.numFrames - 1; i >= 0; i-- ) {
		RwFrameDestroy( list.frames[i] );
	}
	_rwFrameListDeinitialize( &list );
}

void ReadChunk( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	FuzzRwStart( false );
	std::vector<u8> copy( data + 1, data + size );
	RwMemory memory = { copy.data(), static_cast<u32>( copy.size() ) };
	RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
	FuzzCheck( stream != nullptr, "a memory stream does not open" );
	switch ( data[0] % READER_COUNT ) {
	case READ_FRAME_LIST:
		ReadFrameList( stream );
		break;
	case READ_CAMERA:
		if ( RwStreamFindChunk( stream, rwID_CAMERA, nullptr, nullptr ) ) {
			if ( RwCamera* const camera = RwCameraStreamRead( stream ) ) {
				RwCameraDestroy( camera );
			}
		}
		break;
	case READ_IMAGE:
		if ( RwStreamFindChunk( stream, rwID_IMAGE, nullptr, nullptr ) ) {
			if ( RwImage* const image = RwImageStreamRead( stream ) ) {
				RwImageDestroy( image );
			}
		}
		break;
	default:
		if ( RwStreamFindChunk( stream, rwID_TEXTURE, nullptr, nullptr ) ) {
			if ( RwTexture* const texture = RwTextureStreamRead( stream ) ) {
				RwTextureDestroy( texture );
			}
		}
		break;
	}
	RwStreamClose( stream, nullptr );
	RwError ignored = { 0, 0 };
	RwErrorGet( &ignored );
}

std::vector<u8> Finish( const u8 reader, ToolChunkWriter& writer ) {
	std::vector<u8> bytes;
	FuzzCheck( writer.Finish( bytes ), "a seed chunk does not close" );
	bytes.insert( bytes.begin(), reader );
	return bytes;
}

std::vector<u8> FrameListSeed() {
	ToolChunkWriter writer;
	writer.BeginChunk( rwID_FRAMELIST );
	writer.BeginChunk( rwID_STRUCT );
	writer.WriteU32( 3 );
	const s32 parents[] = { -1, 0, 1 };
	for ( const s32 parent : parents ) {
		for ( const f32 value : { 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 2.0f, 0.0f, -1.0f } ) {
			writer.WriteF32( value );
		}
		writer.WriteS32( parent );
		writer.WriteU32( 0 );
	}
	writer.EndChunk();
	for ( u32 i = 0; i < 3; i++ ) {
		writer.BeginChunk( rwID_EXTENSION );
		writer.EndChunk();
	}
	writer.EndChunk();
	return Finish( READ_FRAME_LIST, writer );
}

std::vector<u8> CameraSeed( const u32 projection ) {
	ToolChunkWriter writer;
	writer.BeginChunk( rwID_CAMERA );
	writer.BeginChunk( rwID_STRUCT );
	for ( const f32 value : { 2.0f, 0.5f, 0.25f, -0.125f, 0.5f, 250.0f, 100.0f } ) {
		writer.WriteF32( value );
	}
	writer.WriteU32( projection );
	writer.EndChunk();
	writer.BeginChunk( rwID_EXTENSION );
	writer.EndChunk();
	writer.EndChunk();
	return Finish( READ_CAMERA, writer );
}

std::vector<u8> ImageSeed( const s32 depth ) {
	const s32 width = 3;
	const s32 height = 2;
	const s32 stride = depth == 32 ? width * 4 : width;
	ToolChunkWriter writer;
	writer.BeginChunk( rwID_IMAGE );
	writer.BeginChunk( rwID_STRUCT );
	writer.WriteS32( width );
	writer.WriteS32( height );
	writer.WriteS32( depth );
	writer.WriteS32( stride );
	std::vector<u8> pixels( static_cast<size_t>( stride * height ) );
	for ( size_t i = 0; i < pixels.size(); i++ ) {
		pixels[i] = static_cast<u8>( i * 37 % ( depth == 4 ? 16 : 256 ) );
	}
	writer.WriteBytes( pixels );
	if ( depth != 32 ) {
		writer.WriteBytes( std::vector<u8>( static_cast<size_t>( 4 ) << depth, 0x80 ) );
	}
	writer.EndChunk();
	writer.EndChunk();
	return Finish( READ_IMAGE, writer );
}

std::vector<u8> TextureSeed() {
	ToolChunkWriter writer;
	writer.BeginChunk( rwID_TEXTURE );
	writer.BeginChunk( rwID_STRUCT );
	writer.WriteU32( 0x00000102 );
	writer.EndChunk();
	writer.WriteStringChunk( "brick" );
	writer.WriteStringChunk( "" );
	writer.BeginChunk( rwID_EXTENSION );
	writer.EndChunk();
	writer.EndChunk();
	return Finish( READ_TEXTURE, writer );
}

} // namespace

FUZZ_TARGET( rw_chunks ) {
	ReadChunk( data, size );
}

static void FuzzSeeds_rw_chunks( std::vector<FuzzSeed>& seeds ) {
	seeds.push_back( { "frame-list", FrameListSeed() } );
	seeds.push_back( { "camera-perspective", CameraSeed( 1 ) } );
	seeds.push_back( { "camera-parallel", CameraSeed( 2 ) } );
	seeds.push_back( { "image-4", ImageSeed( 4 ) } );
	seeds.push_back( { "image-8", ImageSeed( 8 ) } );
	seeds.push_back( { "image-32", ImageSeed( 32 ) } );
	seeds.push_back( { "texture", TextureSeed() } );
}
