/*
===============================================================================

	A plain HUD window, the base of the typed ones, with its stream form.

	Window record: u32 id, u32 background colour group, f32 border x and
	y, f32 design x, y, width and height; typed windows append their own
	fields. A tree is a window's record, a u32 child count, then per child
	u32 flags, priority and type and the child's own tree. Loading stops
	at the first failed read or at a child the manager cannot make, and
	then fails.

===============================================================================
*/
#ifndef EF_HUD_WINDOW_H
#define EF_HUD_WINDOW_H

#include "framework/graphics/hud/EFHudWindowRW.h"

class DTBasePersistStream;

class EFHudWindow : public EFHudWindow_SP {
public:
	// Both take a handle from the manager (0 when the table is full).
							EFHudWindow( HudWinType_e type, u32 flags, u32 priority );
							EFHudWindow( u32 flags, u32 priority );
	// Unlinks the window, frees its handle and deletes its subtree.
							~EFHudWindow() override;

	// Non-zero when every field was read (written).
	virtual u32				LoadWindowType( DTBasePersistStream & stream );
	virtual u32				SaveWindowType( DTBasePersistStream & stream );

	// This window's record, then its children made under it and loaded.
	u32						LoadWindowAndChild( DTBasePersistStream & stream );
};

#endif
