/*
===============================================================================

	Shadow manager (global object goShadowMgr). For each rendered camera
	Begin walks the casters in list order and makes, per caster in view
	that casts shadows, a drop-down shadow (logic flag 0x400: the
	"DefaultDropShadow" texture thrown straight down, or the silhouette
	when the parameters ask for it) and a cast shadow from every visible
	directional, point or spot light in range (logic flag 0x800), at most
	eight shadows in all. A shadow that cannot have a texture is not made
	and does not use up its entry.

===============================================================================
*/
#ifndef EF_SHADOW_MGR_H
#define EF_SHADOW_MGR_H

#include "framework/graphics/effects/EFShadowMgrRW.h"

class EFShadowMgr : public EFShadowMgr_SP {
public:
	// Makes this camera's shadows as projector occurrences. 1.
	u32						Begin( EFLightMgr * lights, u32 camera );

	// One cast shadow of the light: 0, or -1 without effect (a light of
	// another type, out of range, inside the caster's sphere, or a
	// resolution without a texture).
	s32						Prepare( EFLight * light, _sShadowEntry & entry, const _sObjectEntry & caster,
									 const _ShadowParams & params );

private:
	// The drop-down shadow: true when one was made.
	bool					DropDown( const _sObjectEntry & caster, const _ShadowParams & params );
};

extern EFShadowMgr	goShadowMgr;

#endif
