/*
===============================================================================

	Stored description of a palette dictionary: one buffer of palettes and,
	for each texture that uses them, its name and one offset per state.

	After the members "PAL_BUF_SIZE", "NB_STATES" and "NB_TEXTURES" come the
	block "PALETTE_BUFFER" of "PAL_BUF_SIZE" bytes, kept as the stored
	big-endian bytes, then "NB_TEXTURES" entries of: the texture's name as a
	stored string of up to 200 characters, one character, and a long array
	"OFFSETS" whose first "NB_STATES" values the entry keeps (as numbers;
	states the array does not reach get 0).

	The loader reports nothing: its result is always 0. Counts that cannot
	be true (more entries than the stream can hold, or more offsets per
	entry than a data block may have) load no entries.

===============================================================================
*/
#ifndef DT_PALETTE_DICTIONNARY_DESCRIPTOR_H
#define DT_PALETTE_DICTIONNARY_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"
#include "datatypes/containers/DTString.h"

// Characters of a texture name.
constexpr s32 DT_PALETTE_NAME_MAX	= 200;

class DTPaletteDictionnaryDescriptor : public DTBaseInstanceDescriptor {
public:
	struct _sEntry {
		DTString			moName;
		// "NB_STATES" offsets.
		s32 *				mpOffsets;

							_sEntry() : mpOffsets( nullptr ) {}
	};

							DTPaletteDictionnaryDescriptor();
	// Frees the buffer and the entries.
	virtual					~DTPaletteDictionnaryDescriptor();

	// Members, the palette buffer and the entries; always 0.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;

	const u8 *				GetPaletteBuffer() const { return mpPaletteBuffer; }
	u32						GetPaletteBufferBytes() const { return muiPaletteBufferBytes; }
	u32						GetEntryCount() const { return muiEntryCount; }
	// Entry index, or null out of range.
	const _sEntry *			GetEntry( const u32 index ) const;

	u32						mui32PalBufSize;
	u32						mui32NbStates;
	u32						mui32NbTextures;

private:
	u8 *					mpPaletteBuffer;
	u32						muiPaletteBufferBytes;
	_sEntry *				mpEntries;
	u32						muiEntryCount;

	void					FreeAll();
	bool					EntriesFit( const DTBasePersistStream & stream ) const;
	void					LoadEntry( DTBasePersistStream & stream, _sEntry & entry );
};

#endif
