/*
===============================================================================

	Little-endian chunk writer for the 3D library's streams.

	Library data is a tree of chunks: a 12-byte header of three
	little-endian words (type id, payload length, library stamp) followed
	by the payload, which may hold further chunks. Chunks are opened and
	closed like brackets; closing one patches its payload length, so a
	parent's length always covers its children's headers and payloads.

	Chunks are stamped with library version 0x34003 and build 0xFFFF unless
	the caller asks for another stamp. Finish refuses an image whose chunks
	are not all closed.

===============================================================================
*/
#ifndef TOOL_CHUNK_WRITER_H
#define TOOL_CHUNK_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

// Chunk type ids of the library core.
constexpr u32 TOOL_CHUNK_STRUCT      = 0x01;
constexpr u32 TOOL_CHUNK_STRING      = 0x02;
constexpr u32 TOOL_CHUNK_EXTENSION   = 0x03;

// The version and build this system stamps on the chunks it writes.
constexpr u32 TOOL_CHUNK_VERSION     = 0x34003;
constexpr u32 TOOL_CHUNK_BUILD       = 0xFFFF;

// Type id, payload length and stamp, one 32-bit word each.
constexpr u32 TOOL_CHUNK_HEADER_SIZE = 12;

class ToolChunkWriter {
public:
	// The stamp word for a library version and build number.
	static u32				EncodeStamp( u32 version, u32 build );

	// Opens a chunk stamped with this system's version and build.
	void					BeginChunk( u32 type );
	// Opens a chunk with a stamp word given as it is stored.
	void					BeginChunkStamped( u32 type, u32 stamp );
	// Closes the innermost open chunk and patches its payload length;
	// false when no chunk is open.
	bool					EndChunk();
	size_t					OpenChunkCount() const { return openHeaders.size(); }

	// Payload words and halfwords, least significant byte first.
	void					WriteU32( u32 value );
	void					WriteS32( s32 value );
	void					WriteF32( f32 value );
	void					WriteU16( u16 value );
	void					WriteBytes( std::span<const u8> bytes );

	// A complete string chunk: the text and its terminating zero. Refused
	// when the text holds a zero byte.
	bool					WriteStringChunk( std::string_view text );

	size_t					Size() const { return bytes.size(); }
	// Hands the image over when every chunk is closed; false otherwise,
	// and the writer keeps its state.
	bool					Finish( std::vector<u8>& out );

private:
	u8*						Grow( size_t count );

	std::vector<u8>			bytes;
	std::vector<size_t>		openHeaders;	// offsets of the open chunks' headers, outermost first
};

#endif
