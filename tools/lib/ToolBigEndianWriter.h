/*
===============================================================================

	Big-endian writer for the engine's stored data.

	Builds a byte image in the console's own byte order, field by field, in
	the forms the engine's binary persist streams read back: plain scalars,
	strings as a 32-bit length followed by the text and its terminating
	zero, counted arrays and counted data blocks. Size fields can be
	reserved first and patched once what they measure has been written.

	Writes that the engine could not read back as written (a string longer
	than its read buffer, a patch past the end) are refused with a false
	result and leave the image unchanged.

===============================================================================
*/
#ifndef TOOL_BIG_ENDIAN_WRITER_H
#define TOOL_BIG_ENDIAN_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The engine reads a stored string into a buffer of this many bytes,
// terminating zero included; longer strings would leave their tail in the
// stream and shift every field after them.
constexpr u32 TOOL_STORED_STRING_MAX = 2048;

class ToolBigEndianWriter {
public:
	// Scalars, most significant byte first.
	void					WriteU8( u8 value );
	void					WriteS8( s8 value );
	void					WriteU16( u16 value );
	void					WriteS16( s16 value );
	void					WriteU32( u32 value );
	void					WriteS32( s32 value );
	void					WriteU64( u64 value );
	void					WriteS64( s64 value );
	void					WriteF32( f32 value );
	void					WriteF64( f64 value );

	// Raw bytes, copied as they are.
	void					WriteBytes( std::span<const u8> bytes );
	void					WriteZeros( size_t count );

	// A stored string: u32 length (text plus its zero), the text, a zero.
	// Refused when the text holds a zero byte or does not fit the reader's buffer.
	bool					WriteString( std::string_view text );

	// Counted arrays: s32 element count, then the elements.
	void					WriteFloatArray( std::span<const f32> values );
	void					WriteLongArray( std::span<const s32> values );
	bool					WriteStringArray( std::span<const std::string> texts );

	// A counted data block: s32 byte count, then the bytes.
	bool					WriteDataBlock( std::span<const u8> bytes );

	// Pads with zeros up to the next multiple of alignment, counted from
	// the start of the image. The alignment must be a power of two.
	bool					AlignTo( u32 alignment );

	// Writes a zero u32 to patch later and returns its offset.
	size_t					ReserveU32();
	// Overwrites the u32 at offset; false when it does not lie in the image.
	bool					PatchU32( size_t offset, u32 value );
	// Patches the u32 at field with the byte count written since from.
	bool					PatchSizeSince( size_t field, size_t from );

	size_t					Size() const { return bytes.size(); }
	const std::vector<u8>&	Bytes() const { return bytes; }
	// Hands the image over and leaves the writer empty.
	std::vector<u8>			Take();

private:
	u8*						Grow( size_t count );

	std::vector<u8>			bytes;
};

#endif
