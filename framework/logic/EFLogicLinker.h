/*
===============================================================================

	Linker of logic modules.

	A module is a relocatable ELF image (see EFElfFormat). Linking copies
	its first ".text" section into a code block, applies the relocations of
	its first ".rela.text", binds the one external name a module may use,
	memcpy, to the engine's memcpy, records up to eight undefined names and
	finds the three entry points "<object>Constructor",
	"<object>Destructor" and "<object>Register" by the module's object
	name. The value of every defined symbol is an offset into ".text"; the
	tools merge a module's code and data into that one section. Other
	sections are ignored.

	The work is split in two so that nothing is written before the image
	is known to be sound: Inspect checks every offset, size, index, name
	and relocation place the link will use; Link then cannot step outside
	the image or the block. The caller allocates the block in between,
	sized by Inspect, and flushes it afterwards.

	Addresses are target addresses: the base the block is linked for and
	the address memcpy has there. On the host they are the block's and
	memcpy's own addresses; for a PowerPC image they are 32-bit console
	addresses and the block is only a host buffer, so PowerPC code can be
	linked (and compared) without ever running.

===============================================================================
*/
#ifndef EF_LOGIC_LINKER_H
#define EF_LOGIC_LINKER_H

#include "datatypes/base/DTTypes.h"
#include "framework/logic/EFElfFormat.h"

// Undefined names recorded per module, and the characters kept of each
// (terminator included).
constexpr u32 EF_LINK_MAX_NULL_SYMBOLS		= 8;
constexpr u32 EF_LINK_NULL_SYMBOL_CHARS		= 64;

// Results of the linker; 0 is success.
constexpr s32 EF_LINK_OK					= 0;
constexpr s32 EF_LINK_BAD_IMAGE				= 1;	// failed a check; nothing written
constexpr s32 EF_LINK_MARKER_STORED			= 2;	// a memcpy reference got the marker
constexpr s32 EF_LINK_UNRESOLVED			= 3;	// uses an undefined name besides memcpy
constexpr s32 EF_LINK_FOREIGN_CODE			= 4;	// code this host cannot run
constexpr s32 EF_LINK_NO_MEMORY				= 5;	// no code block
constexpr s32 EF_LINK_NOT_IN_MEMORY			= 6;	// the stream is not a memory stream

// The sections of an image that passed Inspect.
struct EFElfImage {
	const EFElfFormat *		format;
	const u8 *				text;
	u64						textBytes;
	const u8 *				symbols;		// null when there is no ".symtab"
	u64						symbolCount;
	const u8 *				strings;		// ".strtab"
	u64						stringBytes;
	const u8 *				relocations;	// null when there is no ".rela.text"
	u64						relocationCount;
};

// What a link produced, in target addresses.
struct EFLinkResult {
	u64						constructor;
	u64						destructor;
	u64						registerLib;
	u32						nullSymbolsCount;
	char					nullSymbols[EF_LINK_MAX_NULL_SYMBOLS][EF_LINK_NULL_SYMBOL_CHARS];
	// Relocations that stored the marker instead of an address.
	u32						markersStored;
};

class EFLogicLinker {
public:
	// Checks the image and finds its sections. refuseUnresolved also fails
	// an image whose relocations use an undefined name other than memcpy,
	// printing the names it records. Prints why an image is refused,
	// naming the module. EF_LINK_OK or EF_LINK_BAD_IMAGE / EF_LINK_UNRESOLVED.
	static s32				Inspect( const u8 * image, u64 size, const char * objectName, bool refuseUnresolved,
									 EFElfImage & sections );

	// Copies the code into block (sections.textBytes bytes), relocates it
	// for base and fills result. EF_LINK_OK, or EF_LINK_MARKER_STORED when
	// a memcpy reference could not be bound (the bytes are still written).
	static s32				Link( const EFElfImage & sections, const char * objectName, u8 * block, u64 base,
								  u64 memcpyAddress, EFLinkResult & result );

	// Both steps for a PowerPC image at a console base, into a host buffer
	// of blockBytes. Undefined names resolve to the block's start.
	static s32				LinkPowerPC( const u8 * image, u64 size, const char * objectName, u8 * block,
										 u64 blockBytes, u32 base, u32 memcpyAddress, EFLinkResult & result );

	// True when name is objectName followed by suffix.
	static bool				IsEntryName( const char * name, const char * objectName, const char * suffix );
};

#endif
