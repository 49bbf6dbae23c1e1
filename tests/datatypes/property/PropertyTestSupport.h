/*
===============================================================================

	Helpers for the variant and property tests: variants of any type code
	built through the flags word, inline values loaded from big-endian
	bytes, and memory streams over owned copies of test bytes.

===============================================================================
*/
#ifndef PROPERTY_TEST_SUPPORT_H
#define PROPERTY_TEST_SUPPORT_H

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/property/DTProperty.h"

#include <cstring>
#include <memory>
#include <vector>

// The flags word of a type code with the given extra information.
inline u32 PropertyFlags( const u32 type, const u32 extra = 0 ) {
	return ( type << DT_VARIANT_TYPE_SHIFT ) | extra;
}

// A variant of any type code over pointer (null for the inline codes).
inline DTVariant PropertyVariant( const u32 type, void* pointer, const u32 extra = 0 ) {
	DTVariant variant( pointer, 0 );
	variant.ForceFlags( PropertyFlags( type, extra ) );
	return variant;
}

// A memory stream that keeps its own copy of the bytes.
class PropertyMemory {
public:
	explicit PropertyMemory( const std::vector<u8>& bytes )
		: copy( bytes.begin(), bytes.end() ),
		  stream( copy.empty() ? nullptr : copy.data(), static_cast<s32>( copy.size() ) ) {}

	DTMemoryPersistStream& Stream() { return stream; }

private:
	std::vector<char>		copy;
	DTMemoryPersistStream	stream;
};

// A property whose inline value holds bits, as a 32-bit inline field
// loaded from the stored big-endian word, then retyped to type.
inline std::unique_ptr<DTProperty> InlineProperty( const u32 type, const u32 bits ) {
	auto property = std::make_unique<DTProperty>( "INLINE", PropertyVariant( DT_VARIANT_U32, nullptr ), false, 0 );
	const std::vector<u8> stored = { static_cast<u8>( bits >> 24 ), static_cast<u8>( bits >> 16 ),
									 static_cast<u8>( bits >> 8 ), static_cast<u8>( bits ) };
	PropertyMemory memory( stored );
	property->LoadFromStream( memory.Stream() );
	property->ForceFlags( PropertyFlags( type ) );
	return property;
}

// The first n bytes of the inline value of b over the inline value of a,
// as the host lays a 32-bit value out.
inline u32 InlineMix( const u32 a, const u32 b, const size_t n ) {
	u32 result = a;
	std::memcpy( &result, &b, n );
	return result;
}

#endif
