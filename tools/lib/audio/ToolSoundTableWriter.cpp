#include "tools/lib/audio/ToolSoundTableWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"

namespace {

constexpr size_t HEADER_BYTES = 16;
constexpr size_t RECORD_COUNT_OFFSET = 12;
constexpr u32 HUGE_COUNT = 0x7FFFFFFF;

void WriteHeader( ToolBigEndianWriter& out, const ToolSoundTableHeader& header, const size_t records ) {
	out.WriteU32( header.magic );
	out.WriteU32( header.platform );
	out.WriteU32( ( header.major << 16 ) | ( header.minor & 0xFFFF ) );
	out.WriteU32( header.recordCount.value_or( static_cast<u32>( records ) ) );
}

void WriteNameAndElements( ToolBigEndianWriter& out, const std::string& name, const std::optional<u32> nameLength,
						   const std::vector<u32>& elements, const std::optional<u32> elementCount ) {
	out.WriteU32( nameLength.value_or( static_cast<u32>( name.size() ) ) );
	out.WriteBytes( { reinterpret_cast<const u8*>( name.data() ), name.size() } );
	if ( elementCount.value_or( static_cast<u32>( elements.size() ) ) == 0 ) {
		return;
	}
	for ( const u32 element : elements ) {
		out.WriteU32( element );
	}
}

}

std::vector<u8> ToolWriteSoundEventTable( const std::vector<ToolSoundEventRecord>& records,
										  const ToolSoundTableHeader& header ) {
	ToolBigEndianWriter out;
	WriteHeader( out, header, records.size() );
	for ( const ToolSoundEventRecord& r : records ) {
		out.WriteU32( r.unused0 );
		out.WriteU32( r.unused4 );
		out.WriteU32( r.spatialMode );
		out.WriteU32( r.selectionMode );
		out.WriteF32( r.nearDistance );
		out.WriteF32( r.nearVolume );
		out.WriteF32( r.farDistance );
		out.WriteF32( r.farVolume );
		out.WriteF32( r.cutOffDistance );
		out.WriteU32( r.elementCount.value_or( static_cast<u32>( r.elements.size() ) ) );
		out.WriteU32( r.groupMask );
		out.WriteU32( r.instances );
		out.WriteU8( r.loop );
		out.WriteU8( r.killable );
		out.WriteU8( r.stopOutOfRange );
		out.WriteU8( r.unused51 );
		out.WriteU32( r.setMask );
		out.WriteU32( r.dspEffect );
		WriteNameAndElements( out, r.name, r.nameLength, r.elements, r.elementCount );
	}
	return out.Take();
}

std::vector<u8> ToolWriteSoundContainerTable( const std::vector<ToolSoundContainerRecord>& records,
											  const ToolSoundTableHeader& header ) {
	ToolBigEndianWriter out;
	WriteHeader( out, header, records.size() );
	for ( const ToolSoundContainerRecord& r : records ) {
		out.WriteU32( r.unused0 );
		out.WriteU32( r.unused4 );
		out.WriteU32( r.playMode );
		out.WriteU32( r.elementCount.value_or( static_cast<u32>( r.elements.size() ) ) );
		out.WriteU32( r.instances );
		out.WriteU32( r.loop );
		WriteNameAndElements( out, r.name, r.nameLength, r.elements, r.elementCount );
	}
	return out.Take();
}

std::vector<std::vector<u8>> ToolMalformedSoundTables( const std::vector<u8>& table ) {
	std::vector<std::vector<u8>> variants;
	if ( table.size() < HEADER_BYTES ) {
		return variants;
	}
	for ( const size_t keep : { size_t( 8 ), HEADER_BYTES, HEADER_BYTES + 30, table.size() - 1 } ) {
		if ( keep < table.size() ) {
			variants.emplace_back( table.begin(), table.begin() + static_cast<std::ptrdiff_t>( keep ) );
		}
	}
	std::vector<u8> hugeCount = table;
	hugeCount[RECORD_COUNT_OFFSET] = static_cast<u8>( HUGE_COUNT >> 24 );
	hugeCount[RECORD_COUNT_OFFSET + 1] = 0xFF;
	hugeCount[RECORD_COUNT_OFFSET + 2] = 0xFF;
	hugeCount[RECORD_COUNT_OFFSET + 3] = 0xFF;
	variants.push_back( hugeCount );
	return variants;
}
