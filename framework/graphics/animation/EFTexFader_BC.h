/*
===============================================================================

	Portable half of the texture fader: the list of active fade entries.

	Entries form one doubly linked list whose head is the static
	FirstActiveAtomic; new entries are pushed at the head. An entry is
	zero-filled engine memory. The first time an entry is given a fade it
	counts once on its object's muiTexFaderRefCount (the object draws
	through the fader while that is above 0); freeing a counted entry
	takes that count back, so an object never draws through the fader for
	ever because a fade was restarted.

===============================================================================
*/
#ifndef EF_TEX_FADER_BC_H
#define EF_TEX_FADER_BC_H

#include "datatypes/base/DTTypes.h"

class EF3dObj;
struct RpAtomic;
struct RpMaterial;
struct RwTexture;

// Levels of detail a fade handles.
constexpr u32 EF_TF_LEVELS				= 3;
// Request flags.
constexpr u32 EF_TF_NOTIFY				= 0x1;
constexpr u32 EF_TF_KEEP_DESTINATION	= 0x2;
constexpr u32 EF_TF_BLEND_INVERSE		= 0x4;
constexpr u32 EF_TF_PAUSED				= 0x80000000;

struct _TFEntry {
	_TFEntry *				mpNext;
	_TFEntry *				mpPrevious;
	u32						muiFlags;
	EF3dObj *				mpObject;
	u32						muiCurrentLod;
	RpAtomic *				mpAtomic[EF_TF_LEVELS];
	RpMaterial *			mpMaterial[EF_TF_LEVELS];
	RwTexture *				mpSrcTexture[EF_TF_LEVELS];
	RwTexture *				mpDestTexture[EF_TF_LEVELS];
	RwTexture *				mpSavedTexture;
	// The first word: the entry counts on its object; the second unused.
	u32						muiCounted;
	u32						muiUnused;
	f32						mfSrcRatio;
	f32						mfDestRatio;
	f32						mfSrcRate;
	f32						mfDestRate;
	f32						mfSrcEnd;
	f32						mfDestEnd;
	f32						mfTime;
	f32						mfElapsed;
	void *					mpNotifyData;
};

class EFTexFader_BC {
public:
							EFTexFader_BC();
	// Terminate.
	virtual					~EFTexFader_BC();
	// Frees every entry.
	virtual void			Terminate();

	// A zeroed entry pushed at the head; null when memory fails.
	static _TFEntry *		AddEntry();
	// Unlinks and frees the entry (its count on the object goes).
	static void				DelEntry( _TFEntry * entry );
	// The object's first entry whose level-0 material shows a texture
	// named name (any case); null for a null name.
	static _TFEntry *		FindEntry( const EF3dObj * object, const char * name );
	// Sets (non-zero) or clears the pause of every entry of the object.
	static void				Pause( const EF3dObj * object, u32 paused );

	static _TFEntry *		FirstActiveAtomic;
};

#endif
