/*
===============================================================================

	The level's text table ("EF_TEXTS", class 59), loaded from TEXT.TX.

	Once its descriptor has loaded, the table becomes the HUD manager's
	text table; a failed load returns its code and installs nothing, so
	the loader may destroy it. Texts are read from the first language's
	tables only: entry i of the index is the big-endian byte offset of
	text i in that language's text block.

===============================================================================
*/
#ifndef EF_TEXT_H
#define EF_TEXT_H

#include "datatypes/descriptor/DTTextsDescriptor.h"

constexpr s32 EF_TEXT_CLASS_ID = 59;

class EFText : public DTTextsDescriptor {
public:
	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;

	// Descriptor load, then installation in the HUD manager.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;
	// True while the HUD manager holds it as its text table (it deletes it).
	bool					IsOwnedElsewhere() const override;

	// The first language's text index, or null when index is not below
	// NB_TEXTES, when the index entry is not held or when its offset lies
	// outside the text block.
	const u8 *				GetText( u32 index ) const;
};

#endif
