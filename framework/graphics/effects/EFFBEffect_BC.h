/*
===============================================================================

	Portable half of a frame-buffer effect: a handle and a flags word whose
	bit 31 enables it. Parameters are set and read through SetParams and
	GetParams by parameter number.

===============================================================================
*/
#ifndef EF_FB_EFFECT_BC_H
#define EF_FB_EFFECT_BC_H

#include "datatypes/base/DTTypes.h"

constexpr u32 EF_FB_EFFECT_ENABLED = 0x80000000;

class EFFBEffect_BC {
public:
							EFFBEffect_BC();
	virtual					~EFFBEffect_BC() {}

	u32						GetHandle() const { return mui32Handle; }
	void					Enable( u32 enable );
	virtual void			SetParams( u32 param, const void* value );
	virtual void			GetParams( u32 param, void* value ) const;

protected:
	u32						mui32Handle;
	u32						mui32Flags;
};

#endif
