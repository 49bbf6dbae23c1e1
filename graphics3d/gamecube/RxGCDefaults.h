/*
===============================================================================

	Defaults of the console's all-in-one rendering nodes: colour channels
	(lighting), per-mesh material colours, texture environment, the
	default render callback and the wait before an instance's memory is
	freed.

	Channel 0 (GX_COLOR0A0) takes directional and point lights, channel 1
	(GX_COLOR1A1) spot lights; two channels and two TEV stages are used
	only when both kinds light the object. An unlit object that is not
	pre-lit and has no ambient draws in opaque black, or (0, 0, 0, material
	alpha) when it modulates by material colour. A mesh without material
	draws as a new material would: no texture, white, surface ambient 1.0.
	Colour products are truncated and keep their low byte.

	Freeing an instance waits until the graphics processor has passed the
	draw-sync token stamped on it, issuing that token first when it is the
	current one (the token then advances, wrapping at 57344).

===============================================================================
*/
#ifndef RX_GC_DEFAULTS_H
#define RX_GC_DEFAULTS_H

#include "graphics3d/core/RwRGBA.h"
#include "graphics3d/gamecube/RxGCInstance.h"

struct RpMaterial;

extern const RwRGBA	opaqueWhite;
extern const RwRGBA	opaqueBlack;
extern const RwRGBA	transparentBlack;

void	_rxGCChannelLightingSetup( const RxGCInstanceContext* state );
// A null material is a new material's colour and surface ambient.
void	_rxGCChannelMaterialSetup( const RxGCInstanceContext* state, const RpMaterial* material );
void	_rxGCTevDefaultSetup( const RxGCInstanceContext* state );
// The steps of drawing: the token, vertex set-up, transform (or a direct
// matrix index per vertex), channels and TEV; whether material colours
// are set per mesh; one mesh's texture, material colours and list.
void	_rxGCRenderBegin( void* object, RxGCInstanceContext* state, bool matrixIndexDirect );
bool	_rxGCRenderNeedsMaterials( const RxGCInstanceContext* state );
void	_rxGCRenderMesh( const RxGCInstanceContext* state, u32 index, bool materials );
// Draws an atomic or a world sector (of the current world); the object.
void*	_rxGCDefaultRenderCallback( void* object, RxGCInstanceContext* state );
// Destroy callback of instances.
void	_rxGCResEntryWaitDone( RwResEntry* entry );

#endif
