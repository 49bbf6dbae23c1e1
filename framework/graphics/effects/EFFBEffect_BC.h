/*
===============================================================================

	Portable half of a frame-buffer effect: a flags word (bit 31 enables
	the effect, bits 0-29 are the passes it runs in, bit 30 is kept) and
	the handle its manager gave it.

	Virtual operations after the destructor, in slot order: IsActive, Init,
	Term, Update, SetParams, GetParams, GetPosition.

===============================================================================
*/
#ifndef EF_FB_EFFECT_BC_H
#define EF_FB_EFFECT_BC_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

class DTMatrix;
class EFCamera;

constexpr u32 EF_FB_EFFECT_ENABLED		= 0x80000000;
constexpr u32 EF_FB_EFFECT_KEPT_FLAGS	= 0xC0000000;

class EFFBEffect_BC {
public:
							EFFBEffect_BC();
	virtual					~EFFBEffect_BC() {}

	// Whether the effect draws for the camera of that clip slot.
	virtual bool			IsActive( u32 cameraIndex ) const = 0;
	virtual void			Init( const EFCamera& camera ) = 0;
	virtual void			Term() = 0;
	// 0, or -1 when what the effect draws is missing.
	virtual s32				Update( f32 dt, EFCamera& camera ) = 0;
	virtual void			SetParams( u32 type, const void* params ) = 0;
	virtual void			GetParams( u32 type, void* params ) const = 0;
	// The effect's place transformed by matrix.
	virtual DTVector3d		GetPosition( const DTMatrix* matrix ) const = 0;

	void					Enable( u32 on );
	u32						GetFlags() const { return mui32Flags; }
	// The pass bits: bits 30 and 31 stay as they are.
	void					SetFlags( u32 flags ) { mui32Flags = ( mui32Flags & EF_FB_EFFECT_KEPT_FLAGS ) | flags; }
	u32						GetHandle() const { return mui32Handle; }
	void					SetHandle( u32 handle ) { mui32Handle = handle; }

protected:
	u32						mui32Flags;
	u32						mui32Handle;
};

#endif
