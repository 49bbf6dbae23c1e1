/*
===============================================================================

	Builder of relocatable ELF images, the form of logic modules.

	Makes an ELF32 big-endian PowerPC or an ELF64 little-endian x86-64
	relocatable object from a code section, symbols and relocations with
	addends: sections 0 (null), ".text", any extra sections, ".rela.text",
	".symtab", ".strtab" and ".shstrtab", each as asked. The image's
	layout is reported so that tests can damage one field at a time, and
	Put writes a field in the image's own width and byte order.

	The builder knows the format from the ELF standard alone; it shares no
	code with the engine's reader.

===============================================================================
*/
#ifndef TOOL_ELF_BUILDER_H
#define TOOL_ELF_BUILDER_H

#include "datatypes/base/DTTypes.h"

#include <string>
#include <vector>

enum class ToolElfMachine { PowerPC, X86_64 };

// Section index a defined symbol names: the code section.
constexpr u16 TOOL_ELF_TEXT_SECTION = 1;

struct ToolElfSymbol {
	std::string				name;
	u64						value = 0;
	// 0 for an undefined symbol.
	u16						section = TOOL_ELF_TEXT_SECTION;
};

struct ToolElfRelocation {
	u64						offset = 0;
	u32						type = 0;
	// Index into the symbols, 1 for the first one given (0 is the null symbol).
	u32						symbol = 0;
	s64						addend = 0;
};

struct ToolElfSection {
	std::string				name;
	std::vector<u8>			bytes;
};

// Where the fields of a built image are.
struct ToolElfLayout {
	bool					wide = false;
	bool					bigEndian = true;
	u32						headerBytes = 0;
	size_t					shoffAt = 0;
	size_t					shnumAt = 0;
	size_t					shstrndxAt = 0;
	size_t					machineAt = 18;
	size_t					sectionTable = 0;
	u32						sectionBytes = 0;
	// Offsets inside a section header.
	u32						shNameAt = 0;
	u32						shOffsetAt = 0;
	u32						shSizeAt = 0;
	u32						shEntsizeAt = 0;
	// Section indices; 0 when absent.
	u32						text = 0;
	u32						rela = 0;
	u32						symtab = 0;
	u32						strtab = 0;
	u32						shstrtab = 0;
	u32						sectionCount = 0;
	// First byte of each section's data, by index.
	std::vector<size_t>		dataAt;
	u32						relaBytes = 0;
	u32						rInfoAt = 0;
	u32						symBytes = 0;
	u32						stValueAt = 0;
	u32						stShndxAt = 0;

	size_t					SectionHeader( u32 index ) const { return sectionTable + index * sectionBytes; }
	// Width of an address-sized field.
	u32						AddressBytes() const { return wide ? 8 : 4; }
};

class ToolElfBuilder {
public:
	explicit				ToolElfBuilder( ToolElfMachine machine );

	std::vector<u8>			text;
	std::vector<ToolElfSymbol>		symbols;
	std::vector<ToolElfRelocation>	relocations;
	// Sections placed after ".text" (a second ".text", data ...).
	std::vector<ToolElfSection>		extraSections;
	bool					withRelocationSection = true;
	bool					withSymbolSection = true;
	bool					withStringSection = true;

	// The image; layout tells where its fields are.
	std::vector<u8>			Build( ToolElfLayout& layout ) const;
	std::vector<u8>			Build() const;

	// Writes value as a bytes-wide field at offset in the layout's order.
	static void				Put( std::vector<u8>& image, const ToolElfLayout& layout, size_t offset, u64 value, u32 bytes );
	// Reads the same.
	static u64				Get( const std::vector<u8>& image, const ToolElfLayout& layout, size_t offset, u32 bytes );

private:
	ToolElfMachine			machine;
};

#endif
