/*
===============================================================================

	Stored description of a HUD palette: "NB_COLORS" colours of 16 bytes
	each, in the block "COLOR_TABLE" (read only when the count is not 0).
	The colours are kept as the stored big-endian bytes; the palette code
	decodes them.

===============================================================================
*/
#ifndef DT_FONTS_PAL_DESCRIPTOR_H
#define DT_FONTS_PAL_DESCRIPTOR_H

#include "datatypes/descriptor/DTBaseInstanceDescriptor.h"

// Bytes of one stored colour.
constexpr u32 DT_FONTS_PAL_COLOR_BYTES	= 16;

class DTFontsPalDescriptor : public DTBaseInstanceDescriptor {
public:
							DTFontsPalDescriptor();
	// Frees the colour table.
	virtual					~DTFontsPalDescriptor();

	// Members, then the colour table; the results added.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;

	const u8 *				GetColorTable() const { return mpColorTable; }
	u32						GetColorTableBytes() const { return muiColorTableBytes; }

	u32						mui32NbColors;

protected:
	// Frees the colour table; the count stays.
	void					FreeTable();

private:
	u8 *					mpColorTable;
	u32						muiColorTableBytes;
};

#endif
