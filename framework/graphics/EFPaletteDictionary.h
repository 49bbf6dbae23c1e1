/*
===============================================================================

	Palette dictionary of a level ("EF_PALETTE_DICTIONARY", class 87): one
	buffer of palettes and, per palettised texture, the byte offset of its
	palette in every palette state. Constructing or loading one hands it
	to the palette manager, which owns it from then on.

	A palette is 16 or 256 words 0xRRGGBBAA, stored big-endian in the
	buffer. A lookup is refused (null) for a state the dictionary does not
	have, or a palette that would end outside the buffer.

===============================================================================
*/
#ifndef EF_PALETTE_DICTIONARY_H
#define EF_PALETTE_DICTIONARY_H

#include "datatypes/descriptor/DTPaletteDictionnaryDescriptor.h"

constexpr s32 EF_PALETTE_DICTIONARY_CLASS_ID	= 87;

class EFPaletteDictionary : public DTPaletteDictionnaryDescriptor {
public:
							EFPaletteDictionary();
	// Unregisters itself when the manager still holds it.
							~EFPaletteDictionary() override;

	static void *			Instanciate();
	s32						GetClassID() const override;
	const char *			GetClassName() const override;

	// The stored dictionary; registers it with the palette manager.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;
	// True while the palette manager holds it: its loader must not delete it.
	bool					IsOwnedElsewhere() const override;

	// The first palette of that texture name (case ignored) in that state,
	// entries words long; null when missing or out of the buffer.
	const u8 *				GetPalette( const char * name, unsigned long state, u32 entries ) const;
};

#endif
