/*
===============================================================================

	Shared helpers of the level-object tests: loading an object from a
	memory copy of stored bytes, and a hex reader for the fixtures that pin
	the stored format independently of the writer.

===============================================================================
*/
#ifndef LEVEL_TEST_SUPPORT_H
#define LEVEL_TEST_SUPPORT_H

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/streamable/DTStreamable.h"
#include "support/TestHexBytes.h"
#include "tools/lib/ToolBigEndianWriter.h"

#include <cstring>
#include <string>
#include <vector>

// What a load from memory gave: the result and the bytes it consumed.
struct MemoryLoadResult {
	s32		result;
	s32		consumed;
};

// Loads with the object's own Load over a private copy of bytes.
template <class LoadFunction>
MemoryLoadResult LoadFromBytes( const std::vector<u8>& bytes, LoadFunction load ) {
	std::vector<char> copy( bytes.begin(), bytes.end() );
	DTMemoryPersistStream stream( copy.empty() ? nullptr : copy.data(), static_cast<s32>( copy.size() ) );
	const s32 result = load( stream );
	return { result, stream.GetPosition() };
}

inline MemoryLoadResult LoadObject( DTStreamable& object, const std::vector<u8>& bytes ) {
	return LoadFromBytes( bytes, [&object]( DTMemoryPersistStream& stream ) { return object.Load( stream ); } );
}

inline std::vector<u8> Concat( std::vector<u8> a, const std::vector<u8>& b ) {
	a.insert( a.end(), b.begin(), b.end() );
	return a;
}

#endif
