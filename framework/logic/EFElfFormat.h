/*
===============================================================================

	The two object-file formats a logic module may come in.

	A module is a relocatable ELF image whose code sits in one ".text"
	section. The console's modules are ELF32 big-endian PowerPC images; the
	host's are ELF64 little-endian x86-64 images built by the tools. The
	link flow is the same for both: only how fields are decoded and which
	relocations exist differ, and both live in the format record below.

	Decoding reads field by field at fixed offsets; no struct is laid over
	image bytes. Every accessor takes a pointer the caller has already
	checked to lie inside the image with the record's size.

===============================================================================
*/
#ifndef EF_ELF_FORMAT_H
#define EF_ELF_FORMAT_H

#include "datatypes/base/DTTypes.h"

// Machine numbers of the ELF header.
constexpr u16 EF_ELF_MACHINE_POWERPC	= 20;
constexpr u16 EF_ELF_MACHINE_X86_64		= 62;

// Identification bytes.
constexpr u32 EF_ELF_IDENT_BYTES		= 16;
constexpr u8  EF_ELF_CLASS_32			= 1;
constexpr u8  EF_ELF_CLASS_64			= 2;
constexpr u8  EF_ELF_DATA_LITTLE		= 1;
constexpr u8  EF_ELF_DATA_BIG			= 2;
constexpr u32 EF_ELF_MACHINE_AT			= 18;

// Section index of an undefined symbol.
constexpr u16 EF_ELF_SHN_UNDEF			= 0;

// The marker stored where a module would reach memcpy by a data address.
constexpr u32 EF_LINK_MEMCPY_MARKER		= 0xDEADFEED;

// One relocation as the flow hands it to a format: place, symbol value and
// addend are raw image values; base and memcpy are target addresses.
struct EFElfRelocation {
	u32						type;
	u64						place;			// offset in the code block
	u64						symbolValue;	// offset in the code block
	s64						addend;
	bool					againstMemcpy;
};

struct EFElfFormat {
	const char *			name;
	u16						machine;
	u8						elfClass;
	u8						dataEncoding;

	// ELF header: its size and where the section table is described.
	u32						headerBytes;
	u32						shoffAt;
	u32						shnumAt;
	u32						shstrndxAt;

	// Section header.
	u32						sectionBytes;
	u32						shNameAt;
	u32						shOffsetAt;
	u32						shSizeAt;
	u32						shEntsizeAt;

	// Relocation with addend.
	u32						relaBytes;
	u32						rInfoAt;
	u32						rAddendAt;

	// Symbol.
	u32						symBytes;
	u32						stValueAt;
	u32						stShndxAt;

	bool					bigEndian;
	// Addresses, offsets and sizes are 64-bit.
	bool					wide;

	// Bytes a relocation type patches; 0 for a type the flow skips.
	u32						( *fieldBytes )( u32 type );
	// True for a type this format can apply at all; a refused type fails
	// the whole image.
	bool					( *isKnown )( u32 type );
	// Patches block + place. True when a marker value was stored in place
	// of an address the engine cannot give.
	bool					( *apply )( u8 * block, const EFElfRelocation & relocation, u64 base, u64 memcpyAddress );

	u16						Half( const u8 * p ) const;
	u32						Word( const u8 * p ) const;
	// A 32-bit or 64-bit address-sized field.
	u64						Address( const u8 * p ) const;
	s64						Addend( const u8 * p ) const;
	u32						RelocationType( u64 info ) const;
	u64						RelocationSymbol( u64 info ) const;

	// The format of an image by its identification bytes and machine, or
	// null: too short, not ELF, or another class, byte order or machine.
	static const EFElfFormat *	Identify( const u8 * image, u64 size );
};

extern const EFElfFormat	gElfFormatPowerPC;
extern const EFElfFormat	gElfFormatX86_64;

// PowerPC relocation types the flow applies.
constexpr u32 EF_R_PPC_ADDR32		= 1;
constexpr u32 EF_R_PPC_ADDR16_LO	= 4;
constexpr u32 EF_R_PPC_ADDR16_HA	= 6;
constexpr u32 EF_R_PPC_REL24		= 10;
constexpr u32 EF_R_PPC_REL32		= 26;

// The only x86-64 type a host module may carry.
constexpr u32 EF_R_X86_64_64		= 1;

#endif
