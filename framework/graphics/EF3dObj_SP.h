/*
===============================================================================

	Platform half of a 3D object: blending colour, the joint transforms,
	the transparent bucket, the playing texture animations and the
	texture fader's hold on the object, and the atomic look-up by level
	of detail.

===============================================================================
*/
#ifndef EF_3D_OBJ_SP_H
#define EF_3D_OBJ_SP_H

#include "datatypes/containers/DTSimpleLinkList.h"
#include "framework/graphics/EF3dObj_BC.h"

class DTTransfo;
class EFTextureAnimNode;
struct RpAtomic;

// Transparent bucket of a new object.
constexpr u32 EF_3D_OBJ_DEFAULT_PRIORITY	= 32;

// muiFreeFlag: the second transform set is free.
constexpr u32 EF_3D_OBJ_TRANSFO_FREE		= 0x2;

class EF3dObj_SP : public EF3dObj_BC {
public:
							EF3dObj_SP();
	virtual					~EF3dObj_SP();

	// The first atomic of the clump whose level of detail is lod, or null.
	RpAtomic *				LodGetAtomic( u32 lod ) const;
	// Stores the factors; state 0x400 unless all four are exactly 1.
	void					SetBlendingColor( f32 red, f32 green, f32 blue, f32 alpha );
	// The render callback of initialised atomics: draws nothing, so that
	// the library's own world rendering leaves them to their object.
	static RpAtomic *		EmptyRender( RpAtomic * atomic );

	u8						mbWorkaround;
	f32						mfBlendingColor[4];
	u32						muiFreeFlag;
	DTTransfo *				mppTransfo[2];
	u32						muiTransparentPriority;
	DTSimpleLinkList<EFTextureAnimNode>	mpPlayingTextAnim;
	u32						muiTexFaderRefCount;
};

#endif
