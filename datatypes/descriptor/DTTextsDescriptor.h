/*
===============================================================================

	Stored description of the game's texts in every language.

	After the members "NB_LANGUES" and "NB_TEXTES", when neither is 0, come
	for each language in turn: the block "TEXTS_TABLE" of 4 x "NB_TEXTES"
	bytes (the text index), a u32 byte size S, one character, and the block
	"TEXTS" of S bytes. The results of the size and character reads are
	not added to the result. The blocks are kept as the stored big-endian
	bytes; the text code decodes them.

	A language count whose smallest stored form cannot be in the bytes the
	stream still holds gives DT_PERSIST_READ_PAST_END (added) and nothing
	more is read.

===============================================================================
*/
#ifndef DT_TEXTS_DESCRIPTOR_H
#define DT_TEXTS_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"

// Bytes of one text index entry.
constexpr u32 DT_TEXTS_INDEX_ENTRY_BYTES	= 4;

class DTTextsDescriptor : public DTBaseInstanceDescriptor {
public:
							DTTextsDescriptor();
	// Frees the tables.
	virtual					~DTTextsDescriptor();

	// Members, then each language's blocks; the results added.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;

	// Languages whose tables are held.
	u32						GetLanguageCount() const { return muiLanguageCount; }
	// A language's blocks and their byte sizes; null and 0 out of range.
	const u8 *				GetTextIndex( const u32 language ) const;
	u32						GetTextIndexBytes( const u32 language ) const;
	const u8 *				GetTexts( const u32 language ) const;
	u32						GetTextsBytes( const u32 language ) const;

	u32						mui32NbLangues;
	u32						mui32NbTextes;

private:
	struct _sLanguage {
		u8 *				mpIndex;
		u32					muiIndexBytes;
		u8 *				mpTexts;
		u32					muiTextsBytes;
	};

	_sLanguage *			mpLanguages;
	u32						muiLanguageCount;

	void					FreeTables();
	s32						LoadLanguage( DTBasePersistStream & stream, _sLanguage & language );
};

#endif
