/*
===============================================================================

	Platform half of the texture fader: its material plug-in
	(0x69690000: u32 flags, f32 ratio), the fades' timing and the drawing
	of faded atomics.

	A faded atomic is drawn twice, once with each entry's source texture
	at its source opacity and once with its destination texture at its
	destination opacity, the material colour modulating both; the
	material then gets its own texture back. An entry whose time is over
	ends at its next drawing: with flag 0x2 the destination texture stays
	and the entry goes, otherwise it stays and keeps drawing both layers;
	with flag 0x1 the owner hears NO_TEX_FADER at once. Drawing allocates
	nothing, and entries may be deleted while they are walked.

	A fade of time 0 keeps rates of 0 (no infinity is ever stored): it
	ends at its first drawing with its start ratios.

===============================================================================
*/
#ifndef EF_TEX_FADER_RW_H
#define EF_TEX_FADER_RW_H

#include "framework/graphics/animation/EFTexFader_BC.h"
#include "framework/logic/api/LogicApiRecords.h"
#include "graphics3d/core/RwPlugin.h"

constexpr u32 EF_TF_PLUGIN_ID			= 0x69690000;

// The material plug-in's data.
struct EFTexFaderMaterialData {
	u32						muiFlags;
	f32						mfRatio;
};

class EFTexFader_SP : public EFTexFader_BC {
public:
	// Registers the material plug-in; 1, or 0 when the library refuses.
	static s32				InitPlugIn();
	// The plug-in data of a material, null before registration.
	static EFTexFaderMaterialData *	GetMaterialData( RpMaterial * material );
	// Texture, alpha = 255 x ratio (saturating) and plug-in data; nothing
	// for a null material or texture.
	static void				MaterialPlugInUpdate( RpMaterial * material, RwTexture * texture, f32 ratio, u32 flags );

	void					Terminate() override;
	virtual void			KillEntry( _TFEntry * entry );
	// Starts (or restarts) a fade; 1.
	virtual u32				FadeTo( EF3dObj * object, _sTexFaderParams * params );
	virtual void			Update( f32 dt );
	virtual void			FadeAtomic( EF3dObj * object, RpAtomic * atomic, u32 lod );
	virtual _TFEntry *		CreateEntry( EF3dObj * object );
	// Deletes every entry of the object.
	virtual void			DestroyEntry( EF3dObj * object );

	// Among the object's atomics of level lod, the first material whose
	// texture is named name (any case); null for a null name.
	static RpMaterial *		FindMaterial( _TFEntry * entry, u32 lod, const char * name );

	// The material plug-in's offset; it reads -1 once the library has
	// closed, so a later library without the plug-in is never written at it.
	static RwPluginOffset	muiTFPOffset;
};

#endif
