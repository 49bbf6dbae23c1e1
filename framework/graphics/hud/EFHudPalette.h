/*
===============================================================================

	HUD palette ("EF_FONTS_PAL", class 62), loaded from GLOBAL.PAL and
	FONT<n>.PAL: colour groups that HUD windows and texts name by index,
	so that logic can recolour, blend and fade many of them at once.

	A colour group holds four colours (one per corner of a quad or glyph)
	and the state of its fade. Group indices with bit 31 set name group
	(index & 0x7FFFFFFF) of the manager's global palette; others name a
	group of the palette in a given slot (-1 the global palette). Indices
	and slots that name no group are ignored: copies, blends and fades on
	them do nothing and ColorIsFading gives false.

	The stored palette's slot is its instance id (signed, -1 global). A
	slot outside -1..9 installs nothing and the load gives -2.

===============================================================================
*/
#ifndef EF_HUD_PALETTE_H
#define EF_HUD_PALETTE_H

#include "datatypes/descriptor/DTFontsPalDescriptor.h"
#include "graphics3d/core/RwRGBA.h"

constexpr s32 EF_HUD_PALETTE_CLASS_ID	= 62;
// Slot of the global palette.
constexpr s32 EF_HUD_GLOBAL_PALETTE		= -1;
// A group index with this bit names a group of the global palette.
constexpr u32 EF_HUD_GLOBAL_GROUP		= 0x80000000;

// Fade flags of a colour group.
constexpr u32 EF_HUD_FADE_RUNNING		= 0x80000000;
constexpr u32 EF_HUD_FADE_BACK_AND_FORTH	= 0x10000;
constexpr u32 EF_HUD_FADE_CHANNELS		= 0x0F;		// 1 red, 2 green, 4 blue, 8 alpha
constexpr u32 EF_HUD_FADE_COLORS		= 0xF0;		// 0x10 colour 0 .. 0x80 colour 3

constexpr u32 EF_HUD_GROUP_COLORS		= 4;

// One stored group: four colours of bytes r, g, b, a.
struct EFFontColorGroup {
	u8						bytes[EF_HUD_GROUP_COLORS * 4];
};
static_assert( sizeof( EFFontColorGroup ) == DT_FONTS_PAL_COLOR_BYTES, "a stored group is 16 bytes" );

struct EFHudColorGroup {
	RwRGBA					aColors[EF_HUD_GROUP_COLORS];
	u32						uiFlags;
	f32						fElapsed;
	f32						fDuration;
	u32						uiSlot;
	u32						uiDestination;
	u32						uiFrom;
	u32						uiTo;
};

class EFHudPalette : public DTFontsPalDescriptor {
public:
							EFHudPalette();
							~EFHudPalette() override;

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;

	// The stored description, then AddPalette under the instance id; the
	// stored entries are freed. -2 for a slot outside -1..9; without a
	// HUD manager the description is kept and nothing installed.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;
	// True while the HUD manager holds it (it deletes it).
	bool					IsOwnedElsewhere() const override;

	// count groups from 16-byte entries (null: black), no fade running.
	void					Init( u32 count, const EFFontColorGroup * groups );

	u32						GetGroupCount() const { return muiGroupCount; }
	// Group index of this palette; null past the count.
	EFHudColorGroup *		GetGroup( u32 index ) const;

	// Colours of mask bits 4-7, channels of bits 0-3, from source into
	// destination; indices follow the slot rule above.
	static void				ColorCopy( s32 slot, u32 destination, u32 source, u32 mask );
	// destination = from + integer part of t x (to - from), per channel.
	static void				ColorBlend( s32 slot, u32 destination, u32 from, u32 to, f32 t, u32 mask );
	static void				ColorFadeStart( s32 slot, u32 destination, u32 from, u32 to, f32 duration, u32 mask );
	static void				ColorFadeStop( s32 slot, u32 index );
	static bool				ColorIsFading( s32 slot, u32 index );

	// Advances every running fade of this palette by dt seconds.
	void					Update( f32 dt );

private:
	EFHudColorGroup *		mpoGroups;
	u32						muiGroupCount;
};

#endif
