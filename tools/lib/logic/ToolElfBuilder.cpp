#include "tools/lib/logic/ToolElfBuilder.h"

namespace {

constexpr u32 SHT_PROGBITS	= 1;
constexpr u32 SHT_SYMTAB	= 2;
constexpr u32 SHT_STRTAB	= 3;
constexpr u32 SHT_RELA		= 4;
constexpr u16 ET_REL		= 1;

size_t Aligned( const size_t offset ) {
	return ( offset + 7 ) & ~static_cast<size_t>( 7 );
}

u32 AddString( std::vector<u8>& table, const std::string& text ) {
	const u32 at = static_cast<u32>( table.size() );
	table.insert( table.end(), text.begin(), text.end() );
	table.push_back( 0 );
	return at;
}

struct PlannedSection {
	std::string				name;
	u32						type;
	std::vector<u8>			bytes;
	u64						entsize;
	u32						link;
	u32						info;
};

} // namespace

ToolElfBuilder::ToolElfBuilder( const ToolElfMachine machine ) : machine( machine ) {
}

void ToolElfBuilder::Put( std::vector<u8>& image, const ToolElfLayout& layout, const size_t offset, const u64 value,
						  const u32 bytes ) {
	for ( u32 i = 0; i < bytes; i++ ) {
		const u32 shift = layout.bigEndian ? ( bytes - 1 - i ) * 8 : i * 8;
		image[offset + i] = static_cast<u8>( value >> shift );
	}
}

u64 ToolElfBuilder::Get( const std::vector<u8>& image, const ToolElfLayout& layout, const size_t offset, const u32 bytes ) {
	u64 value = 0;
	for ( u32 i = 0; i < bytes; i++ ) {
		const u32 shift = layout.bigEndian ? ( bytes - 1 - i ) * 8 : i * 8;
		value |= static_cast<u64>( image[offset + i] ) << shift;
	}
	return value;
}

std::vector<u8> ToolElfBuilder::Build() const {
	ToolElfLayout layout;
	return Build( layout );
}

std::vector<u8> ToolElfBuilder::Build( ToolElfLayout& layout ) const {
	const bool wide = machine == ToolElfMachine::X86_64;
	layout = ToolElfLayout();
	layout.wide = wide;
	layout.bigEndian = !wide;
	layout.headerBytes = wide ? 64 : 52;
	layout.shoffAt = wide ? 40 : 32;
	layout.shnumAt = wide ? 60 : 48;
	layout.shstrndxAt = wide ? 62 : 50;
	layout.sectionBytes = wide ? 64 : 40;
	layout.shNameAt = 0;
	layout.shOffsetAt = wide ? 24 : 16;
	layout.shSizeAt = wide ? 32 : 20;
	layout.shEntsizeAt = wide ? 56 : 36;
	layout.relaBytes = wide ? 24 : 12;
	layout.rInfoAt = wide ? 8 : 4;
	layout.symBytes = wide ? 24 : 16;
	layout.stValueAt = wide ? 8 : 4;
	layout.stShndxAt = wide ? 6 : 14;
	const u32 addressBytes = layout.AddressBytes();

	// Sections in order, then their indices.
	std::vector<PlannedSection> planned;
	planned.push_back( { "", 0, {}, 0, 0, 0 } );
	planned.push_back( { ".text", SHT_PROGBITS, text, 0, 0, 0 } );
	layout.text = 1;
	for ( const ToolElfSection& extra : extraSections ) {
		planned.push_back( { extra.name, SHT_PROGBITS, extra.bytes, 0, 0, 0 } );
	}
	u32 next = static_cast<u32>( planned.size() );
	layout.rela = withRelocationSection ? next++ : 0;
	layout.symtab = withSymbolSection ? next++ : 0;
	layout.strtab = withStringSection ? next++ : 0;
	layout.shstrtab = next++;
	layout.sectionCount = next;

	std::vector<u8> strings( 1, 0 );
	std::vector<u8> symbolBytes( layout.symBytes, 0 );
	for ( const ToolElfSymbol& symbol : symbols ) {
		std::vector<u8> entry( layout.symBytes, 0 );
		const u32 name = symbol.name.empty() ? 0 : AddString( strings, symbol.name );
		Put( entry, layout, 0, name, 4 );
		Put( entry, layout, layout.stValueAt, symbol.value, addressBytes );
		Put( entry, layout, layout.stShndxAt, symbol.section, 2 );
		// Global binding, function or no type.
		entry[wide ? 4 : 12] = static_cast<u8>( ( 1 << 4 ) | ( symbol.section != 0 ? 2 : 0 ) );
		symbolBytes.insert( symbolBytes.end(), entry.begin(), entry.end() );
	}
	std::vector<u8> relocationBytes;
	for ( const ToolElfRelocation& relocation : relocations ) {
		std::vector<u8> entry( layout.relaBytes, 0 );
		const u64 info = wide ? ( static_cast<u64>( relocation.symbol ) << 32 ) | relocation.type
							  : ( static_cast<u64>( relocation.symbol ) << 8 ) | ( relocation.type & 0xFF );
		Put( entry, layout, 0, relocation.offset, addressBytes );
		Put( entry, layout, layout.rInfoAt, info, addressBytes );
		Put( entry, layout, layout.rInfoAt + addressBytes, static_cast<u64>( relocation.addend ), addressBytes );
		relocationBytes.insert( relocationBytes.end(), entry.begin(), entry.end() );
	}
	if ( withRelocationSection ) {
		planned.push_back( { ".rela.text", SHT_RELA, relocationBytes, layout.relaBytes, layout.symtab, layout.text } );
	}
	if ( withSymbolSection ) {
		planned.push_back( { ".symtab", SHT_SYMTAB, symbolBytes, layout.symBytes, layout.strtab, 1 } );
	}
	if ( withStringSection ) {
		planned.push_back( { ".strtab", SHT_STRTAB, strings, 0, 0, 0 } );
	}
	std::vector<u8> sectionNames( 1, 0 );
	std::vector<u32> nameOffsets;
	for ( const PlannedSection& section : planned ) {
		nameOffsets.push_back( section.name.empty() ? 0 : AddString( sectionNames, section.name ) );
	}
	nameOffsets.push_back( AddString( sectionNames, ".shstrtab" ) );
	planned.push_back( { ".shstrtab", SHT_STRTAB, sectionNames, 0, 0, 0 } );

	std::vector<u8> image( layout.headerBytes, 0 );
	layout.dataAt.assign( planned.size(), 0 );
	for ( size_t i = 1; i < planned.size(); i++ ) {
		image.resize( Aligned( image.size() ), 0 );
		layout.dataAt[i] = image.size();
		image.insert( image.end(), planned[i].bytes.begin(), planned[i].bytes.end() );
	}
	image.resize( Aligned( image.size() ), 0 );
	layout.sectionTable = image.size();
	image.resize( image.size() + planned.size() * layout.sectionBytes, 0 );
	for ( size_t i = 1; i < planned.size(); i++ ) {
		const size_t header = layout.SectionHeader( static_cast<u32>( i ) );
		Put( image, layout, header + layout.shNameAt, nameOffsets[i], 4 );
		Put( image, layout, header + 4, planned[i].type, 4 );
		Put( image, layout, header + layout.shOffsetAt, layout.dataAt[i], addressBytes );
		Put( image, layout, header + layout.shSizeAt, planned[i].bytes.size(), addressBytes );
		Put( image, layout, header + layout.shSizeAt + addressBytes, planned[i].link, 4 );
		Put( image, layout, header + layout.shSizeAt + addressBytes + 4, planned[i].info, 4 );
		Put( image, layout, header + layout.shEntsizeAt, planned[i].entsize, addressBytes );
	}

	const u8 ident[] = { 0x7F, 'E', 'L', 'F', static_cast<u8>( wide ? 2 : 1 ), static_cast<u8>( wide ? 1 : 2 ), 1 };
	for ( size_t i = 0; i < sizeof( ident ); i++ ) {
		image[i] = ident[i];
	}
	Put( image, layout, 16, ET_REL, 2 );
	Put( image, layout, layout.machineAt, wide ? 62 : 20, 2 );
	Put( image, layout, 20, 1, 4 );
	Put( image, layout, layout.shoffAt, layout.sectionTable, addressBytes );
	Put( image, layout, wide ? 52 : 40, layout.headerBytes, 2 );
	Put( image, layout, wide ? 58 : 46, layout.sectionBytes, 2 );
	Put( image, layout, layout.shnumAt, planned.size(), 2 );
	Put( image, layout, layout.shstrndxAt, layout.shstrtab, 2 );
	return image;
}
