#include "framework/logic/EFLogicLinker.h"

#include "datatypes/file/DTFile.h"

#include <cstring>

namespace {

const char * const TEXT_NAME		= ".text";
const char * const SYMTAB_NAME		= ".symtab";
const char * const STRTAB_NAME		= ".strtab";
const char * const RELA_TEXT_NAME	= ".rela.text";
const char * const MEMCPY_NAME		= "memcpy";

const char * const CONSTRUCTOR_SUFFIX	= "Constructor";
const char * const DESTRUCTOR_SUFFIX	= "Destructor";
const char * const REGISTER_SUFFIX		= "Register";

// Index of each of the four sections the link uses.
enum SectionSlot : u32 { SLOT_TEXT, SLOT_SYMTAB, SLOT_STRTAB, SLOT_RELA, SLOT_COUNT };
const char * const SLOT_NAMES[SLOT_COUNT] = { TEXT_NAME, SYMTAB_NAME, STRTAB_NAME, RELA_TEXT_NAME };

const char * ShownName( const char * objectName ) {
	return objectName != nullptr ? objectName : "";
}

s32 Refuse( const char * objectName, const char * reason ) {
	DTPrintf( "LOGIC MODULE %s REFUSED: %s\n", ShownName( objectName ), reason );
	return EF_LINK_BAD_IMAGE;
}

// True when [offset, offset + bytes) lies inside a range of size bytes.
bool Inside( const u64 offset, const u64 bytes, const u64 size ) {
	return offset <= size && bytes <= size - offset;
}

// True when the string at offset ends with a zero inside the table.
bool TerminatedInside( const u8 * table, const u64 tableBytes, const u64 offset ) {
	if ( offset >= tableBytes ) {
		return false;
	}
	return std::memchr( table + offset, 0, static_cast<size_t>( tableBytes - offset ) ) != nullptr;
}

struct SectionView {
	u64		offset;
	u64		size;
	u64		entsize;
};

// Reads section index's header; the caller has checked the table.
SectionView ReadSection( const EFElfFormat & format, const u8 * table, const u32 index ) {
	const u8 * header = table + static_cast<u64>( index ) * format.sectionBytes;
	return { format.Address( header + format.shOffsetAt ), format.Address( header + format.shSizeAt ),
			 format.Address( header + format.shEntsizeAt ) };
}

const u8 * SymbolAt( const EFElfImage & sections, const u64 index ) {
	return sections.symbols + index * sections.format->symBytes;
}

const char * SymbolName( const EFElfImage & sections, const u8 * symbol ) {
	const u32 name = sections.format->Word( symbol );
	return reinterpret_cast<const char *>( sections.strings + name );
}

bool IsUndefined( const EFElfImage & sections, const u8 * symbol ) {
	return sections.format->Half( symbol + sections.format->stShndxAt ) == EF_ELF_SHN_UNDEF;
}

// Records the undefined names as the link does: symbol-table order, named
// symbols only, at most eight, each cut to fit its entry.
void CollectNullSymbols( const EFElfImage & sections, EFLinkResult & result ) {
	for ( u64 i = 0; i < sections.symbolCount; i++ ) {
		const u8 * symbol = SymbolAt( sections, i );
		if ( sections.format->Word( symbol ) == 0 || !IsUndefined( sections, symbol ) ) {
			continue;
		}
		if ( result.nullSymbolsCount < EF_LINK_MAX_NULL_SYMBOLS ) {
			char * entry = result.nullSymbols[result.nullSymbolsCount];
			std::strncpy( entry, SymbolName( sections, symbol ), EF_LINK_NULL_SYMBOL_CHARS - 1 );
			entry[EF_LINK_NULL_SYMBOL_CHARS - 1] = '\0';
			result.nullSymbolsCount++;
		}
	}
}

bool IsEntry( const char * name, const char * objectName ) {
	return EFLogicLinker::IsEntryName( name, objectName, CONSTRUCTOR_SUFFIX ) ||
		   EFLogicLinker::IsEntryName( name, objectName, DESTRUCTOR_SUFFIX ) ||
		   EFLogicLinker::IsEntryName( name, objectName, REGISTER_SUFFIX );
}

s32 CheckSymbols( const EFElfImage & sections, const char * objectName ) {
	const EFElfFormat & format = *sections.format;
	for ( u64 i = 0; i < sections.symbolCount; i++ ) {
		const u8 * symbol = SymbolAt( sections, i );
		if ( !TerminatedInside( sections.strings, sections.stringBytes, format.Word( symbol ) ) ) {
			return Refuse( objectName, "symbol name outside its table" );
		}
		if ( !IsEntry( SymbolName( sections, symbol ), objectName ) ) {
			continue;
		}
		if ( IsUndefined( sections, symbol ) || format.Address( symbol + format.stValueAt ) >= sections.textBytes ) {
			return Refuse( objectName, "entry point not defined inside the code" );
		}
	}
	return EF_LINK_OK;
}

s32 CheckRelocations( const EFElfImage & sections, const char * objectName, const bool refuseUnresolved ) {
	const EFElfFormat & format = *sections.format;
	bool unresolved = false;
	for ( u64 i = 0; i < sections.relocationCount; i++ ) {
		const u8 * relocation = sections.relocations + i * format.relaBytes;
		const u64 place = format.Address( relocation );
		const u64 info = format.Address( relocation + format.rInfoAt );
		const u32 type = format.RelocationType( info );
		const u64 symbolIndex = format.RelocationSymbol( info );
		if ( !format.isKnown( type ) ) {
			DTPrintf( "LOGIC MODULE %s REFUSED: relocation type %u\n", ShownName( objectName ), type );
			return EF_LINK_BAD_IMAGE;
		}
		if ( symbolIndex >= sections.symbolCount ) {
			return Refuse( objectName, "relocation symbol out of range" );
		}
		if ( format.fieldBytes( type ) != 0 && !Inside( place, format.fieldBytes( type ), sections.textBytes ) ) {
			return Refuse( objectName, "relocation place outside the code" );
		}
		const u8 * symbol = SymbolAt( sections, symbolIndex );
		if ( format.fieldBytes( type ) != 0 && IsUndefined( sections, symbol ) && format.Word( symbol ) != 0 &&
			 std::strcmp( SymbolName( sections, symbol ), MEMCPY_NAME ) != 0 ) {
			unresolved = true;
		}
	}
	if ( unresolved && refuseUnresolved ) {
		EFLinkResult names = {};
		CollectNullSymbols( sections, names );
		DTPrintf( "LOGIC MODULE %s REFUSED: it needs names the engine does not give:\n", ShownName( objectName ) );
		for ( u32 i = 0; i < names.nullSymbolsCount; i++ ) {
			DTPrintf( "    %s\n", names.nullSymbols[i] );
		}
		return EF_LINK_UNRESOLVED;
	}
	return EF_LINK_OK;
}

} // namespace

bool EFLogicLinker::IsEntryName( const char * name, const char * objectName, const char * suffix ) {
	const char * object = ShownName( objectName );
	const size_t length = std::strlen( object );
	return std::strncmp( name, object, length ) == 0 && std::strcmp( name + length, suffix ) == 0;
}

s32 EFLogicLinker::Inspect( const u8 * image, const u64 size, const char * objectName, const bool refuseUnresolved,
							EFElfImage & sections ) {
	sections = {};
	const EFElfFormat * format = EFElfFormat::Identify( image, size );
	if ( format == nullptr ) {
		return Refuse( objectName, "not an object file of a known machine" );
	}
	sections.format = format;

	const u64 tableOffset = format->Address( image + format->shoffAt );
	const u32 count = format->Half( image + format->shnumAt );
	const u32 namesIndex = format->Half( image + format->shstrndxAt );
	if ( !Inside( tableOffset, static_cast<u64>( count ) * format->sectionBytes, size ) ) {
		return Refuse( objectName, "section table outside the image" );
	}
	if ( namesIndex >= count ) {
		return Refuse( objectName, "section name table index out of range" );
	}
	const u8 * table = image + tableOffset;
	const SectionView names = ReadSection( *format, table, namesIndex );
	if ( !Inside( names.offset, names.size, size ) ) {
		return Refuse( objectName, "section name table outside the image" );
	}

	u32 found[SLOT_COUNT] = {};
	for ( u32 i = 1; i < count; i++ ) {
		const u32 name = format->Word( table + static_cast<u64>( i ) * format->sectionBytes + format->shNameAt );
		if ( !TerminatedInside( image + names.offset, names.size, name ) ) {
			return Refuse( objectName, "section name outside its table" );
		}
		const char * text = reinterpret_cast<const char *>( image + names.offset + name );
		for ( u32 slot = 0; slot < SLOT_COUNT; slot++ ) {
			if ( found[slot] == 0 && std::strcmp( text, SLOT_NAMES[slot] ) == 0 ) {
				found[slot] = i;
				break;
			}
		}
	}
	SectionView views[SLOT_COUNT] = {};
	for ( u32 slot = 0; slot < SLOT_COUNT; slot++ ) {
		if ( found[slot] == 0 ) {
			continue;
		}
		views[slot] = ReadSection( *format, table, found[slot] );
		if ( !Inside( views[slot].offset, views[slot].size, size ) ) {
			return Refuse( objectName, "section outside the image" );
		}
	}
	if ( found[SLOT_TEXT] == 0 ) {
		return Refuse( objectName, "no code section" );
	}
	sections.text = image + views[SLOT_TEXT].offset;
	sections.textBytes = views[SLOT_TEXT].size;

	if ( found[SLOT_RELA] != 0 && ( found[SLOT_SYMTAB] == 0 || found[SLOT_STRTAB] == 0 ) ) {
		return Refuse( objectName, "relocations without symbols" );
	}
	if ( found[SLOT_SYMTAB] != 0 ) {
		if ( views[SLOT_SYMTAB].entsize != format->symBytes ) {
			return Refuse( objectName, "symbol size" );
		}
		sections.symbolCount = views[SLOT_SYMTAB].size / format->symBytes;
		if ( sections.symbolCount > 0 && found[SLOT_STRTAB] == 0 ) {
			return Refuse( objectName, "symbols without names" );
		}
		sections.symbols = sections.symbolCount > 0 ? image + views[SLOT_SYMTAB].offset : nullptr;
	}
	if ( found[SLOT_STRTAB] != 0 ) {
		sections.strings = image + views[SLOT_STRTAB].offset;
		sections.stringBytes = views[SLOT_STRTAB].size;
	}
	if ( found[SLOT_RELA] != 0 ) {
		if ( views[SLOT_RELA].entsize != format->relaBytes ) {
			return Refuse( objectName, "relocation size" );
		}
		sections.relocationCount = views[SLOT_RELA].size / format->relaBytes;
		sections.relocations = image + views[SLOT_RELA].offset;
	}

	const s32 symbols = CheckSymbols( sections, objectName );
	if ( symbols != EF_LINK_OK ) {
		return symbols;
	}
	return CheckRelocations( sections, objectName, refuseUnresolved );
}

s32 EFLogicLinker::Link( const EFElfImage & sections, const char * objectName, u8 * block, const u64 base,
						 const u64 memcpyAddress, EFLinkResult & result ) {
	result = {};
	const EFElfFormat & format = *sections.format;
	if ( sections.textBytes > 0 ) {
		std::memcpy( block, sections.text, static_cast<size_t>( sections.textBytes ) );
	}

	for ( u64 i = 0; i < sections.relocationCount; i++ ) {
		const u8 * relocation = sections.relocations + i * format.relaBytes;
		const u64 info = format.Address( relocation + format.rInfoAt );
		const u8 * symbol = SymbolAt( sections, format.RelocationSymbol( info ) );
		EFElfRelocation r;
		r.type = format.RelocationType( info );
		r.place = format.Address( relocation );
		r.symbolValue = format.Address( symbol + format.stValueAt );
		r.addend = format.Addend( relocation + format.rAddendAt );
		r.againstMemcpy = std::strcmp( SymbolName( sections, symbol ), MEMCPY_NAME ) == 0;
		if ( format.fieldBytes( r.type ) != 0 && format.apply( block, r, base, memcpyAddress ) ) {
			result.markersStored++;
		}
	}

	CollectNullSymbols( sections, result );
	for ( u64 i = 0; i < sections.symbolCount; i++ ) {
		const u8 * symbol = SymbolAt( sections, i );
		const char * name = SymbolName( sections, symbol );
		const u64 address = base + format.Address( symbol + format.stValueAt );
		// The later of two equal names wins, as in the symbol walk.
		if ( IsEntryName( name, objectName, CONSTRUCTOR_SUFFIX ) ) {
			result.constructor = address;
		} else if ( IsEntryName( name, objectName, DESTRUCTOR_SUFFIX ) ) {
			result.destructor = address;
		} else if ( IsEntryName( name, objectName, REGISTER_SUFFIX ) ) {
			result.registerLib = address;
		}
	}
	return result.markersStored != 0 ? EF_LINK_MARKER_STORED : EF_LINK_OK;
}

s32 EFLogicLinker::LinkPowerPC( const u8 * image, const u64 size, const char * objectName, u8 * block,
								const u64 blockBytes, const u32 base, const u32 memcpyAddress, EFLinkResult & result ) {
	result = {};
	EFElfImage sections;
	const s32 inspected = Inspect( image, size, objectName, false, sections );
	if ( inspected != EF_LINK_OK ) {
		return inspected;
	}
	if ( sections.format != &gElfFormatPowerPC ) {
		return Refuse( objectName, "not a PowerPC image" );
	}
	if ( sections.textBytes > blockBytes ) {
		return EF_LINK_NO_MEMORY;
	}
	return Link( sections, objectName, block, base, memcpyAddress, result );
}
