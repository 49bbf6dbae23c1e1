#include "tools/lib/movie/ToolM4vStartCodes.h"

namespace {

constexpr u64 PREFIX_BYTES = 3;

bool PrefixAt( const u8* data, const u64 size, const u64 position ) {
	return position + PREFIX_BYTES < size && data[position] == 0 && data[position + 1] == 0 && data[position + 2] == 1;
}

}

std::vector<ToolM4vUnit> ToolM4vStartCodes::Split( const u8* data, const u64 size, u64* leadingBytes ) {
	std::vector<ToolM4vUnit> units;
	*leadingBytes = size;
	if ( data == nullptr ) {
		*leadingBytes = 0;
		return units;
	}
	for ( u64 position = 0; position < size; position++ ) {
		if ( !PrefixAt( data, size, position ) ) {
			continue;
		}
		if ( units.empty() ) {
			*leadingBytes = position;
		} else {
			ToolM4vUnit& previous = units.back();
			previous.size = position - previous.offset;
		}
		ToolM4vUnit unit;
		unit.code = data[position + PREFIX_BYTES];
		unit.offset = position + PREFIX_BYTES + 1;
		unit.size = size - unit.offset;
		units.push_back( unit );
		position += PREFIX_BYTES;
	}
	return units;
}
